// The keyboard port on user32: one WH_KEYBOARD_LL hook for the process, shared by every
// SetLowLevelHook caller (the newest caller is asked first, as Windows orders hooks).
//
// The hook callback runs on the installing thread, inside whatever message wait that thread is
// in, and Windows drops a hook that takes longer than its timeout. The callbacks given to
// SetLowLevelHook must therefore only decide and record: anything slow (speaking, asking other
// programs) is posted to the main window and done after the hook has returned. The callback can
// be re-entered while the thread waits in a cross-process call; it is called anyway (it must
// not wait for itself).
#pragma once

#include <utility>
#include <vector>

#include "platform/keyboard.h"

namespace quellon::platform {

class Win32Keyboard : public Keyboard {
 public:
  Win32Keyboard();
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  KeyboardHook SetLowLevelHook(KeyboardHookProc proc) override;
  bool Unhook(KeyboardHook hook) override;
  std::uint32_t SendInput(const std::vector<Input>& inputs) override;
  std::int16_t GetAsyncKeyState(std::uint32_t vk) override;
  std::int16_t GetKeyState(std::uint32_t vk) override;
  bool GetKeyboardState(KeyboardState& state) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::int32_t ToAsciiEx(std::uint32_t vk, std::uint32_t scan, const KeyboardState& state,
                         std::uint16_t& ch, std::uint32_t flags, KeyboardLayout layout) override;
  KeyboardLayout GetKeyboardLayout(ThreadId thread) override;
  bool AttachThreadInput(ThreadId attach, ThreadId attachTo, bool attachIt) override;
  bool GetMouseParams(MouseParams& params) override;
  bool SetMouseParams(const MouseParams& params) override;

  // Used by the hook thunk: true when a callback swallowed the key.
  bool Dispatch(const KeyEvent& key);

 private:
  std::vector<std::pair<KeyboardHook, KeyboardHookProc>> procs_;  // oldest first
  KeyboardHook nextId_ = 1;
  void* systemHook_ = nullptr;  // HHOOK
};

}  // namespace quellon::platform
