// DirectUI views (class "DirectUIHWND"): windows that draw their own text. They answer no text
// messages; what they show is reached through their accessible objects, and they show a caret.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class DirectUIView : public SimControlKind {
 public:
  bool Describe(SimDesktop&, SimWindow&, SimAccessible& o, std::uint32_t& state) const override {
    o.props.role = ROLE_SYSTEM_PANE;
    state |= STATE_SYSTEM_FOCUSABLE;
    return true;
  }

  bool TabStop(const SimWindow&) const override { return true; }

  bool Caret(const SimWindow& w, Rect& rect) const override {
    if (!w.drawnCaret) return false;
    rect = *w.drawnCaret;
    return true;
  }
};

}  // namespace

const SimControlKind& SimDirectUIViewKind() {
  static const DirectUIView kind;
  return kind;
}

Hwnd SimDesktop::AddDirectUIView(Hwnd parent, Rect rect) {
  return AddChild(parent, u"DirectUIHWND", u"", 0, rect);
}

void SimDesktop::SetDrawnCaret(Hwnd w, Rect caret) {
  SimWindow* win = Find(w);
  if (!win) return;
  win->drawnCaret = caret;
  UpdateCaret();
}

}  // namespace quellon::platform
