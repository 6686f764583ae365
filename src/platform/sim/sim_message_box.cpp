// Message boxes of other programs: a top-level dialog (class "#32770") with the text as a static
// and a row of buttons.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class Dialog : public SimControlKind {
 public:
  // Only a top-level "#32770" is a dialog; one inside another window is a plain client.
  bool Describe(SimDesktop&, SimWindow& w, SimAccessible& o, std::uint32_t&) const override {
    if (w.parent != 0) return false;
    o.props.role = ROLE_SYSTEM_DIALOG;
    return true;
  }
};

}  // namespace

const SimControlKind& SimMessageBoxKind() {
  static const Dialog kind;
  return kind;
}

Hwnd SimDesktop::ShowMessageBox(Hwnd owner, std::u16string title, std::u16string text,
                                std::vector<std::u16string> buttons) {
  SimWindow* o = Find(TopLevelOf(owner));
  const Rect at =
      o ? Rect{o->rect.left + 50, o->rect.top + 50, o->rect.left + 400, o->rect.top + 200}
        : Rect{400, 300, 750, 450};
  const Hwnd dialog = NewWindow(0, u"#32770", std::move(title), WS_CAPTION, at);
  SimWindow* d = Find(dialog);
  if (o) d->thread = o->thread;
  d->style &= ~WS_VISIBLE;  // created hidden, then shown
  RaiseEvent(EVENT_OBJECT_CREATE, dialog, OBJID_WINDOW, CHILDID_SELF);
  AddStatic(dialog, std::move(text));
  Hwnd first = 0;
  for (auto& caption : buttons) {
    const Hwnd b = AddButton(dialog, std::move(caption), first == 0 ? BS_DEFPUSHBUTTON : 0);
    if (first == 0) first = b;
  }
  d->style |= WS_VISIBLE;
  RaiseEvent(EVENT_OBJECT_SHOW, dialog, OBJID_WINDOW, CHILDID_SELF);
  RaiseEvent(EVENT_SYSTEM_DIALOGSTART, dialog, OBJID_WINDOW, CHILDID_SELF);
  Focus(first != 0 ? first : dialog);
  return dialog;
}

}  // namespace quellon::platform
