// The keyboard and synthetic-input port: the low-level keyboard hook, synthetic keys and mouse
// clicks, key state, virtual-key to character translation with keyboard layouts, thread input
// attachment and the mouse acceleration settings around a synthetic click.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/win_types.h"

namespace quellon::platform {

// KBDLLHOOKSTRUCT: the 20-byte record a low-level keyboard hook receives.
struct KeyEvent {
  std::uint32_t vkCode = 0;
  std::uint32_t scanCode = 0;
  std::uint32_t flags = 0;  // LLKHF_...
  std::uint32_t time = 0;
  std::uintptr_t extraInfo = 0;
};
inline constexpr std::uint32_t LLKHF_EXTENDED = 0x01;
inline constexpr std::uint32_t LLKHF_INJECTED = 0x10;
inline constexpr std::uint32_t LLKHF_ALTDOWN = 0x20;
inline constexpr std::uint32_t LLKHF_UP = 0x80;

// A key as the low-level hook saw it, with what belongs to its moment: whether Ctrl and Shift
// were held (as the key events before this one left them), and for the lock keys (Caps Lock, Num
// Lock, Scroll Lock) whether the lock was on before this key.
struct KeyMoment {
  KeyEvent key;
  bool ctrl = false;
  bool shift = false;
  bool lockToggled = false;
};

// What happens to a key after the gate has looked at it.
enum class KeyVerdict {
  kPass,     // it goes on to the focused program at once
  kSwallow,  // the hook returns 1: the focused program never sees it
  // It goes on once the delivery of this key (and of every key before it) has run, or after
  // kHandledWaitMs when the delivering thread is busy: for reading text a key is about to change.
  kPassAfterHandled,
};
inline constexpr std::uint32_t kHandledWaitMs = 150;

// Decides one key. Runs for every key of the desktop on the hook's own thread (on Windows) while
// the whole desktop's keyboard waits: it may only read the moment and atomics, never wait, call
// another program or allocate.
using KeyGateProc = std::function<KeyVerdict(const KeyMoment&)>;
// Receives each key after the gate, on the thread that installed the hook, in the order the keys
// came, as soon as that thread takes its messages again; swallowed keys included.
using KeyDeliveryProc = std::function<void(const KeyMoment&, KeyVerdict)>;
using KeyboardHook = std::uintptr_t;  // 0 is no hook

// One INPUT record for SendInput.
struct Input {
  enum class Kind { kKeyboard, kMouse };
  Kind kind = Kind::kKeyboard;
  // keyboard
  std::uint16_t vk = 0;
  std::uint16_t scan = 0;
  // mouse
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::uint32_t flags = 0;  // KEYEVENTF_... or MOUSEEVENTF_...

  static Input Key(std::uint16_t vk, std::uint32_t flags) {
    Input i;
    i.vk = vk;
    i.flags = flags;
    return i;
  }
  static Input Mouse(std::int32_t dx, std::int32_t dy, std::uint32_t flags) {
    Input i;
    i.kind = Kind::kMouse;
    i.dx = dx;
    i.dy = dy;
    i.flags = flags;
    return i;
  }
};
inline constexpr std::uint32_t KEYEVENTF_EXTENDEDKEY = 0x1;
inline constexpr std::uint32_t KEYEVENTF_KEYUP = 0x2;
inline constexpr std::uint32_t MOUSEEVENTF_MOVE = 0x1;
inline constexpr std::uint32_t MOUSEEVENTF_LEFTDOWN = 0x2;
inline constexpr std::uint32_t MOUSEEVENTF_LEFTUP = 0x4;
inline constexpr std::uint32_t MOUSEEVENTF_RIGHTDOWN = 0x8;
inline constexpr std::uint32_t MOUSEEVENTF_RIGHTUP = 0x10;

// SPI_GETMOUSE / SPI_SETMOUSE: the two thresholds and the acceleration.
struct MouseParams {
  std::int32_t threshold1 = 0;
  std::int32_t threshold2 = 0;
  std::int32_t acceleration = 0;
  friend bool operator==(const MouseParams&, const MouseParams&) = default;
};

// MapVirtualKey map types.
inline constexpr std::uint32_t MAPVK_VK_TO_VSC = 0;
inline constexpr std::uint32_t MAPVK_VSC_TO_VK = 1;
inline constexpr std::uint32_t MAPVK_VK_TO_CHAR = 2;

using KeyboardState = std::array<std::uint8_t, 256>;  // bit 0x80 down, bit 0x01 toggled

class Keyboard {
 public:
  virtual ~Keyboard() = default;

  // SetWindowsHookEx(WH_KEYBOARD_LL) on a thread of its own: `gate` decides every key of the
  // desktop before the focused program sees it, `deliver` then gets it on the installing thread.
  // The newest hook is asked first; a swallowed key goes to no older hook. 0 when it cannot be
  // installed.
  virtual KeyboardHook SetLowLevelHook(KeyGateProc gate, KeyDeliveryProc deliver) = 0;
  virtual bool Unhook(KeyboardHook hook) = 0;

  // SendInput: returns how many records were inserted.
  virtual std::uint32_t SendInput(const std::vector<Input>& inputs) = 0;

  // GetAsyncKeyState: bit 0x8000 when the key is down now (in a hook: before the current key).
  virtual std::int16_t GetAsyncKeyState(std::uint32_t vk) = 0;
  // GetKeyState of the calling thread's input state (with attached threads, the shared one):
  // bit 0x8000 down, bit 0x0001 toggled (Caps Lock, Num Lock on).
  virtual std::int16_t GetKeyState(std::uint32_t vk) = 0;
  virtual bool GetKeyboardState(KeyboardState& state) = 0;

  // MapVirtualKey. With MAPVK_VK_TO_CHAR: the unshifted character (letters as capitals) in the
  // ANSI code page; a dead key has bit 31 set (negative when read as signed); 0 for no character.
  virtual std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) = 0;
  // ToAsciiEx: 1 and the character (ANSI code page) in `ch`; 0 for no character; -1 for a dead
  // key (which the layout then keeps pending for the next call); 2 when a pending dead key could
  // not combine (both characters in ch, low byte first).
  virtual std::int32_t ToAsciiEx(std::uint32_t vk, std::uint32_t scan, const KeyboardState& state,
                                 std::uint16_t& ch, std::uint32_t flags, KeyboardLayout layout) = 0;
  virtual KeyboardLayout GetKeyboardLayout(ThreadId thread) = 0;
  virtual bool AttachThreadInput(ThreadId attach, ThreadId attachTo, bool attachIt) = 0;

  virtual bool GetMouseParams(MouseParams& params) = 0;
  virtual bool SetMouseParams(const MouseParams& params) = 0;
};

}  // namespace quellon::platform
