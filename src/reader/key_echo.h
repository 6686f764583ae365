// The typed-character echo: each released key is turned into the character it typed and spoken
// by its name, with the Czech acute/caron dead key kept here (never in the focused program's own
// layout state), Space spoken by role, and the Caps Lock and Num Lock announcements.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/program_state.h"
#include "core/speech_output.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/window_system.h"
#include "strings/string_table.h"

namespace quellon::reader {

// The pending dead key of the echo: none, acute, caron.
enum DeadKey : std::int32_t { kNoDeadKey = 0, kAcute = 1, kCaron = 2 };

// The character code a pending dead key makes of a letter key: the letter's virtual-key code
// (capital ASCII) plus the table's offset, in Windows-1250; any key without an entry keeps its
// own code.
std::uint32_t DeadKeyCode(std::int32_t deadKey, std::uint32_t vk);

// Roles whose typing is never echoed: combo boxes, lists and list items.
bool EchoSilentRole(std::int32_t role);

class KeyEcho {
 public:
  // The Czech layout's acute/caron dead key.
  static constexpr std::uint32_t kDeadKeyScan = 13;
  static constexpr std::uint32_t kDeadKeyVk = 191;

  KeyEcho(core::ProgramState& state, platform::Keyboard& keyboard, platform::WindowSystem& windows,
          platform::EventLoop& loop, const strings::StringTable& strings,
          core::SpeechOutput& output, platform::Hwnd mainWindow)
      : state_(state),
        keyboard_(keyboard),
        windows_(windows),
        loop_(loop),
        strings_(strings),
        output_(output),
        mainWindow_(mainWindow) {}

  // The thread of the main window: the echo attaches the focused thread's input to it.
  void SetMainThread(platform::ThreadId thread) { mainThread_ = thread; }

  // The release of a key seen by the low-level hook (`moment` holds Shift as it was then).
  void EchoKey(const platform::KeyMoment& moment, std::uint32_t modifierCode);
  // A Caps Lock or Num Lock press: "<name> on" or "<name> off". `toggledBefore` is whether the
  // lock was on before this press.
  void AnnounceLockKey(const std::u16string& name, bool toggledBefore);
  // The same announcement from the key state of the focused thread (the fallback path, which
  // only has the key's code).
  void AnnounceLockKeyFromState(const std::u16string& name, std::uint32_t vk);
  // The release of a key reported by the fallback hook (wParam the key, lParam the modifier
  // code). Its dead key is kept in ProgramState::FallbackDeadKey.
  // `checkStateText` gives the focused button's check state for Space on a check or radio button.
  void EchoFallbackKey(std::uint32_t vk, std::uint32_t modifierCode,
                       const std::function<std::u16string()>& checkStateText);

  // Every Caps Lock press seen by the hook, in order: the echo's own idea of Caps Lock.
  void NoteCapsLock(bool toggledBefore) { capsLock_ = !toggledBefore; }

 private:
  std::u16string Translate(std::uint32_t vk, std::uint32_t scan, bool shift, bool ctrl);
  void SayCode(std::uint32_t code);

  core::ProgramState& state_;
  platform::Keyboard& keyboard_;
  platform::WindowSystem& windows_;
  platform::EventLoop& loop_;
  const strings::StringTable& strings_;
  core::SpeechOutput& output_;
  platform::Hwnd mainWindow_;
  platform::ThreadId mainThread_ = 0;
  std::int32_t deadKey_ = kNoDeadKey;
  // Caps Lock as the keys seen so far left it (unknown until the first Caps Lock press): the
  // translation uses it instead of the focused thread's state, which may be ahead of the key
  // being echoed.
  std::optional<bool> capsLock_;
};

}  // namespace quellon::reader
