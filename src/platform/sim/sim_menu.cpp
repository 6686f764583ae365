// Menus: the popup menu window (class "#32768") and the menu events around it.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class PopupMenu : public SimControlKind {
 public:
  bool Describe(SimDesktop&, SimWindow&, SimAccessible& o, std::uint32_t&) const override {
    o.props.role = ROLE_SYSTEM_MENUPOPUP;
    return true;
  }
};

}  // namespace

const SimControlKind& SimPopupMenuKind() {
  static const PopupMenu kind;
  return kind;
}

Hwnd SimDesktop::OpenMenu(Hwnd owner, std::vector<std::shared_ptr<SimAccessible>> items) {
  if (menuPopup_ != 0) CloseMenu();
  menuOwner_ = TopLevelOf(owner);
  focusBeforeMenu_ = focus_;
  RaiseEvent(EVENT_SYSTEM_MENUSTART, menuOwner_, OBJID_MENU, CHILDID_SELF);
  SimWindow* o = Find(menuOwner_);
  const Rect at =
      o ? Rect{o->rect.left + 10, o->rect.top + 40, o->rect.left + 210,
               o->rect.top + 40 + kSimRowHeight * static_cast<std::int32_t>(items.size())}
        : Rect{};
  menuPopup_ = NewWindow(0, u"#32768", u"", WS_BORDER, at);
  SimWindow* popup = Find(menuPopup_);
  popup->thread = o ? o->thread : popup->thread;
  auto client = SimAccessible::Make(ROLE_SYSTEM_MENUPOPUP, u"");
  client->window = menuPopup_;
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto& item = items[i];
    if (item->props.location == Rect{}) {
      const auto row = static_cast<std::int32_t>(i);
      item->props.location = {at.left, at.top + row * kSimRowHeight, at.right,
                              at.top + (row + 1) * kSimRowHeight};
    }
    client->Add(item);
  }
  client->props.location = at;
  SetClientAccessible(menuPopup_, client);
  RaiseEvent(EVENT_SYSTEM_MENUPOPUPSTART, menuPopup_, OBJID_CLIENT, CHILDID_SELF);
  if (!items.empty()) FocusMenuItem(0);
  return menuPopup_;
}

void SimDesktop::FocusMenuItem(std::int32_t index) {
  if (menuPopup_ == 0) return;
  focus_ = menuPopup_;
  UpdateCaret();
  RaiseEvent(EVENT_OBJECT_FOCUS, menuPopup_, OBJID_CLIENT, index + 1);
}

void SimDesktop::CloseMenu() {
  if (menuPopup_ == 0) return;
  RaiseEvent(EVENT_SYSTEM_MENUPOPUPEND, menuPopup_, OBJID_CLIENT, CHILDID_SELF);
  const Hwnd popup = menuPopup_;
  menuPopup_ = 0;
  DestroyWindow(popup);
  RaiseEvent(EVENT_SYSTEM_MENUEND, menuOwner_, OBJID_MENU, CHILDID_SELF);
  focus_ = Find(focusBeforeMenu_) ? focusBeforeMenu_ : 0;
  UpdateCaret();
}

}  // namespace quellon::platform
