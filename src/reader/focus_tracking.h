// Focus tracking: the accessibility event callback fills the focus record of the program state,
// and the 50 ms focus tick turns a recorded change into one announcement. Also the announcement
// of the active window at startup, the "Active control" command and the check-state word.
//
// The tick is a first version: window title when the window changed, dialog text for a push
// button, the object's name and value, "checked" for check and radio buttons, the role's sound
// cue and the waiting greeting in front.
#pragma once

#include <cstdint>
#include <string>

#include "core/program_state.h"
#include "core/speech_output.h"
#include "platform/accessibility.h"
#include "platform/window_system.h"
#include "strings/string_table.h"

namespace quellon::reader {

// What the main window asks of focus tracking.
class FocusAnnouncer {
 public:
  virtual ~FocusAnnouncer() = default;
  // The accessibility event callback: records the focus and raises the flags.
  virtual void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                                 std::int32_t idChild) = 0;
  // The 50 ms focus tick.
  virtual void FocusTick() = 0;
  // Startup: the title of the active window and the text of its dialog, spoken at once.
  virtual void AnnounceForegroundWindow() = 0;
  // The "Active control" command.
  virtual void AnnounceFocusedObject() = 0;
  // The check-state word of the focused button.
  virtual std::u16string CheckStateText() = 0;
  // The "Navigate" commands: the previous or next object of the window.
  virtual void NavigateObject(bool forward) = 0;
};

// Nothing is tracked or said.
class NullFocusAnnouncer final : public FocusAnnouncer {
 public:
  void OnAccessibleEvent(std::uint32_t, platform::Hwnd, std::int32_t, std::int32_t) override {}
  void FocusTick() override {}
  void AnnounceForegroundWindow() override {}
  void AnnounceFocusedObject() override {}
  std::u16string CheckStateText() override { return {}; }
  void NavigateObject(bool) override {}
};

class FocusTracking : public FocusAnnouncer {
 public:
  FocusTracking(core::ProgramState& state, platform::WindowSystem& windows,
                platform::Accessibility& access, const strings::StringTable& strings,
                core::SpeechOutput& output)
      : state_(state), windows_(windows), access_(access), strings_(strings), output_(output) {}

  void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                         std::int32_t idChild) override;
  void FocusTick() override;
  void AnnounceForegroundWindow() override;
  void AnnounceFocusedObject() override;
  std::u16string CheckStateText() override;
  // Object navigation is not built yet: nothing moves.
  void NavigateObject(bool) override {}

 private:
  core::ProgramState& state_;
  platform::WindowSystem& windows_;
  platform::Accessibility& access_;
  const strings::StringTable& strings_;
  core::SpeechOutput& output_;
};

}  // namespace quellon::reader
