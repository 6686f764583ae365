// How the controls of the simulated desktop behave, one kind per window class: the messages the
// class answers, the accessible object it gives, what it does with the keys it gets and whether
// Tab stops at it. Each kind lives in its own file and is entered once in the table of
// sim_control.cpp, by the class names it serves.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/sim/sim_window.h"
#include "platform/win_types.h"

namespace quellon::platform {

class SimDesktop;

// Row and character cells of the simulated controls' text, in pixels.
inline constexpr std::int32_t kSimRowHeight = 16;
inline constexpr std::int32_t kSimCharWidth = 8;

class SimControlKind {
 public:
  virtual ~SimControlKind() = default;

  // A message sent to a window of the class; false leaves it to the default window procedure.
  virtual bool Message(SimDesktop&, SimWindow&, std::uint32_t /*message*/, WParam, LParam,
                       LResult& /*result*/) const {
    return false;
  }
  // Fills role, name, value and default action of the window's OBJID_CLIENT object and adds to
  // `state`; false: the object is a plain, focusable client.
  virtual bool Describe(SimDesktop&, SimWindow&, SimAccessible& /*client*/,
                        std::uint32_t& /*state*/) const {
    return false;
  }
  // A key the focused window of the class gets (after Tab has been dealt with).
  virtual void Key(SimDesktop&, SimWindow&, std::uint32_t /*vk*/, bool /*up*/) const {}
  // Whether Tab moves the focus to the window.
  virtual bool TabStop(const SimWindow&) const { return false; }
  // The caret the window shows while focused, in client coordinates; false: none.
  virtual bool Caret(const SimWindow&, Rect& /*rect*/) const { return false; }

 protected:
  // The parts of the desktop a control's behaviour reaches into.
  static void UpdateCaret(SimDesktop& d);
  static std::uint16_t& ProgramDeadKey(SimDesktop& d);
};

// The kind of the class `className` (compared without regard to case, as Windows does);
// nullptr for a class without behaviour of its own.
const SimControlKind* SimControlKindFor(std::u16string_view className);

// Windows' controls show a "&" before their mnemonic letter; the accessible name leaves it out.
std::u16string StripMnemonic(const std::u16string& s);

}  // namespace quellon::platform
