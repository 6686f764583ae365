// The command keys and the echo behind the keyboard hook. The hook's gate (DecideKey) decides
// each key on the hook's thread; HandleKey then carries out what the key means on the main
// thread: the echo on every release, the release commands (Ctrl+Shift+F2 the focused object,
// F5 window reading mode, F7 navigation mode, F8 continuous reading, F9 the whole window, F12
// Quellon itself, T the time, Ctrl+C the clipboard, the numeric pad's + and - the info band's
// letters, the caret keys), and on presses Left Ctrl (silence), Delete and Backspace (what they
// are about to delete) and the lock keys. Without the hook, the fallback library's messages run
// the same tables, with nothing swallowed.
#pragma once

#include <memory>

#include "core/program.h"
#include "reader/fallback_keyboard_hook.h"
#include "reader/key_echo.h"
#include "reader/keyboard_handler.h"

namespace quellon::reader {

class KeyboardCommands final : public KeyboardHandler {
 public:
  KeyboardCommands(const core::Program& program, KeyboardParts parts);
  ~KeyboardCommands() override;
  KeyboardCommands(const KeyboardCommands&) = delete;
  KeyboardCommands& operator=(const KeyboardCommands&) = delete;

  void HookKeyboard() override;
  void UnhookKeyboard() override;
  bool IsKeyboardHooked() const override { return hook_ != 0; }
  void OnKeyMessage(std::uint32_t message, platform::WParam wParam,
                    platform::LParam lParam) override;
  void FocusStateChanged() override;

  bool FallbackHookActive() const { return fallbackActive_; }

  // One key the hook delivered (main thread).
  void HandleKey(const platform::KeyMoment& moment);

 private:
  void Released(std::uint32_t vk, std::uint32_t modifierCode, bool fallback);
  void Pressed(std::uint32_t vk, std::uint32_t modifierCode, bool fallback, bool lockToggled);
  void CaretKey(std::uint32_t vk, std::uint32_t modifierCode);
  void ToggleNavigationMode();
  void StopSpeech();
  void ResizeInfoBand(std::int32_t delta);
  void Post(std::uint32_t message, std::uint32_t vk, std::uint32_t modifierCode);
  bool TextRole() const;
  bool ClassHas(std::u16string_view part) const;

  const core::Program& program_;
  KeyboardParts parts_;
  KeyEcho echo_;
  std::shared_ptr<KeyGateState> gate_ = std::make_shared<KeyGateState>();
  platform::KeyboardHook hook_ = 0;
  FallbackKeyboardHook fallback_;
  bool fallbackActive_ = false;
};

}  // namespace quellon::reader
