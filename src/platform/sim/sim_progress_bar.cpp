// Progress bars (class "msctls_progress32").
#include <string>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"
#include "text/text.h"

namespace quellon::platform {
namespace {

class ProgressBar : public SimControlKind {
 public:
  bool Describe(SimDesktop&, SimWindow& w, SimAccessible& o, std::uint32_t& state) const override {
    o.props.role = ROLE_SYSTEM_PROGRESSBAR;
    o.props.value = text::Ascii16(std::to_string(w.progress)) + u"%";
    state |= STATE_SYSTEM_READONLY;
    return true;
  }
};

}  // namespace

const SimControlKind& SimProgressBarKind() {
  static const ProgressBar kind;
  return kind;
}

Hwnd SimDesktop::AddProgressBar(Hwnd parent) {
  return AddChild(parent, u"msctls_progress32", u"");
}

void SimDesktop::SetProgress(Hwnd bar, std::int32_t percent) {
  SimWindow* win = Find(bar);
  if (!win) return;
  win->progress = percent;
  RaiseEvent(EVENT_OBJECT_VALUECHANGE, bar, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace quellon::platform
