// The fallback keyboard hook, used when the low-level keyboard hook cannot be installed. It needs
// no hook at all: a thread timer looks at the asynchronous key state every kPollMs and posts one
// message per key that went down or up to the window it was given, with wParam = virtual-key code
// and lParam = the modifier code. Nothing is swallowed.
#pragma once

#include <array>
#include <cstdint>

#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/win_types.h"
#include "reader/modifier_code.h"

namespace quellon::reader {

class FallbackKeyboardHook {
 public:
  // How often the key state is looked at. A key pressed and released again between two looks
  // (shorter than this) goes unnoticed; typing holds a key much longer.
  static constexpr std::uint32_t kPollMs = 20;

  FallbackKeyboardHook(platform::Keyboard& keyboard, platform::EventLoop& loop)
      : keyboard_(keyboard), loop_(loop) {}
  ~FallbackKeyboardHook();
  FallbackKeyboardHook(const FallbackKeyboardHook&) = delete;
  FallbackKeyboardHook& operator=(const FallbackKeyboardHook&) = delete;

  // InstallKeyboardHook(hwnd, install): install non-zero starts reporting keys to hwnd (replacing
  // an earlier install; keys already held at that moment are not reported as pressed); install 0
  // stops. Returns 1 when reporting runs after the call, else 0 (install with no window, or no
  // timer could be made). Reporting also stops by itself when a post to the window fails (the
  // window has gone).
  //
  // Which keys: every virtual key except the mouse buttons; Shift, Ctrl and Alt are reported by
  // their general codes (VK_SHIFT 16, VK_CONTROL 17, VK_MENU 18), whichever side was used. The
  // modifier code is the state after the reported change: a Ctrl press carries Ctrl (2), a Ctrl
  // release does not. Changes seen at one look are posted in this order: modifier presses, other
  // presses, other releases, modifier releases, each group by rising key code, so a command key
  // pressed or released together with its modifiers still carries them.
  std::int32_t InstallKeyboardHook(platform::Hwnd hwnd, std::int32_t install);
  bool Installed() const { return timer_ != 0; }

 private:
  void Stop();
  void Poll();
  bool Post(std::uint32_t message, std::uint32_t vk, bool ctrl, bool shift);
  std::array<bool, 256> Snapshot();

  platform::Keyboard& keyboard_;
  platform::EventLoop& loop_;
  platform::Hwnd hwnd_ = 0;
  platform::TimerId timer_ = 0;
  std::array<bool, 256> down_{};
};

}  // namespace quellon::reader
