// Static controls (class "Static"): labels and icons.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

class Static : public SimControlKind {
 public:
  bool Message(SimDesktop&, SimWindow& w, std::uint32_t message, WParam, LParam,
               LResult& result) const override {
    if (message != STM_GETICON) return false;
    result = w.hasIcon ? 1 : 0;
    return true;
  }

  bool Describe(SimDesktop&, SimWindow&, SimAccessible& o, std::uint32_t& state) const override {
    o.props.role = ROLE_SYSTEM_STATICTEXT;
    state |= STATE_SYSTEM_READONLY;
    return true;
  }
};

}  // namespace

const SimControlKind& SimStaticKind() {
  static const Static kind;
  return kind;
}

Hwnd SimDesktop::AddStatic(Hwnd parent, std::u16string text) {
  return AddChild(parent, u"Static", std::move(text));
}

}  // namespace quellon::platform
