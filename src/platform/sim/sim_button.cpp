// Buttons (class "Button"): push buttons, check boxes and radio buttons.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class Button : public SimControlKind {
 public:
  bool Message(SimDesktop&, SimWindow& w, std::uint32_t message, WParam, LParam,
               LResult& result) const override {
    if (message != BM_GETCHECK) return false;
    result = w.check;
    return true;
  }

  bool Describe(SimDesktop&, SimWindow& w, SimAccessible& o, std::uint32_t& state) const override {
    const std::uint32_t type = w.style & BS_TYPEMASK;
    o.props.role = (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) ? ROLE_SYSTEM_CHECKBUTTON
                   : (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
                       ? ROLE_SYSTEM_RADIOBUTTON
                       : ROLE_SYSTEM_PUSHBUTTON;
    o.props.defaultAction = o.props.role == ROLE_SYSTEM_PUSHBUTTON ? u"Press" : u"Check";
    state |= STATE_SYSTEM_FOCUSABLE;
    if (w.check) state |= STATE_SYSTEM_CHECKED;
    if (type == BS_DEFPUSHBUTTON) state |= STATE_SYSTEM_DEFAULT;
    return true;
  }

  // Space toggles an automatic check box and checks an automatic radio button when released.
  void Key(SimDesktop& d, SimWindow& w, std::uint32_t vk, bool up) const override {
    if (!up || vk != VK_SPACE) return;
    const std::uint32_t type = w.style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) d.SetCheck(w.hwnd, w.check == BST_UNCHECKED);
    if (type == BS_AUTORADIOBUTTON && w.check == BST_UNCHECKED) d.SetCheck(w.hwnd, true);
  }

  bool TabStop(const SimWindow&) const override { return true; }
};

}  // namespace

const SimControlKind& SimButtonKind() {
  static const Button kind;
  return kind;
}

Hwnd SimDesktop::AddButton(Hwnd parent, std::u16string text, std::uint32_t buttonStyle) {
  return AddChild(parent, u"Button", std::move(text), buttonStyle);
}

void SimDesktop::SetCheck(Hwnd button, bool checked) {
  SimWindow* win = Find(button);
  if (!win) return;
  win->check = checked ? BST_CHECKED : BST_UNCHECKED;
  RaiseEvent(EVENT_OBJECT_STATECHANGE, button, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace quellon::platform
