// List boxes (class "ListBox"): rows of item texts, one selected.
#include <algorithm>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class ListBox : public SimControlKind {
 public:
  // The items are simple elements of the client object, one row each.
  bool Describe(SimDesktop& d, SimWindow& w, SimAccessible& o,
                std::uint32_t& state) const override {
    const bool focused = d.FocusWindow() == w.hwnd;
    o.props.role = ROLE_SYSTEM_LIST;
    state |= STATE_SYSTEM_FOCUSABLE;
    o.ClearChildren();
    for (std::size_t i = 0; i < w.items.size(); ++i) {
      const auto row = static_cast<std::int32_t>(i);
      SimAccProps item;
      item.role = ROLE_SYSTEM_LISTITEM;
      item.name = w.items[i];
      item.state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
      if (row == w.selected) {
        item.state |= STATE_SYSTEM_SELECTED;
        if (focused) item.state |= STATE_SYSTEM_FOCUSED;
      }
      item.location = {w.rect.left, w.rect.top + row * kSimRowHeight, w.rect.right,
                       w.rect.top + (row + 1) * kSimRowHeight};
      o.AddElement(item);
    }
    return true;
  }

  // Up and Down move the selection, stopping at the first and the last item.
  void Key(SimDesktop& d, SimWindow& w, std::uint32_t vk, bool up) const override {
    if (up || (vk != VK_UP && vk != VK_DOWN) || w.items.empty()) return;
    const std::int32_t last = static_cast<std::int32_t>(w.items.size()) - 1;
    const std::int32_t next = std::clamp(w.selected + (vk == VK_UP ? -1 : 1), 0, last);
    if (next != w.selected) d.SelectListItem(w.hwnd, next);
  }

  bool TabStop(const SimWindow&) const override { return true; }
};

}  // namespace

const SimControlKind& SimListBoxKind() {
  static const ListBox kind;
  return kind;
}

Hwnd SimDesktop::AddListBox(Hwnd parent, std::vector<std::u16string> items) {
  const Hwnd h = AddChild(parent, u"ListBox", u"");
  SimWindow* w = Find(h);
  w->items = std::move(items);
  w->rect.bottom = w->rect.top + kSimRowHeight * std::max<std::int32_t>(
                                                     1, static_cast<std::int32_t>(w->items.size()));
  return h;
}

void SimDesktop::SelectListItem(Hwnd list, std::int32_t index) {
  SimWindow* win = Find(list);
  if (!win || index < 0 || index >= static_cast<std::int32_t>(win->items.size())) return;
  win->selected = index;
  if (focus_ != list) Focus(list);
  RaiseEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, index + 1);
  RaiseEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, index + 1);
}

}  // namespace quellon::platform
