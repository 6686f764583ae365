// The keyboard handler: the low-level keyboard hook with the command keys and the typed-character
// echo, or the fallback hook library's key messages when the hook cannot be installed. Slow work
// leaves the hook callback as private messages to the main window, which hands them back here.
#pragma once

#include <cstdint>

#include "platform/event_loop.h"

namespace quellon::reader {

class KeyboardHandler {
 public:
  virtual ~KeyboardHandler() = default;
  virtual void HookKeyboard() = 0;
  virtual void UnhookKeyboard() = 0;
  // Private messages of the main window: MSG_KEY_RELEASED and MSG_KEY_PRESSED (fallback hook),
  // MSG_CARET_KEY and MSG_NAVIGATE_KEY (posted by the hook callback).
  virtual void OnKeyMessage(std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) = 0;
};

// No hook: no command key works and nothing is echoed.
class NullKeyboardHandler final : public KeyboardHandler {
 public:
  void HookKeyboard() override {}
  void UnhookKeyboard() override {}
  void OnKeyMessage(std::uint32_t, platform::WParam, platform::LParam) override {}
};

}  // namespace quellon::reader
