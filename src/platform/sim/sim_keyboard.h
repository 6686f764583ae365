// The keyboard port of the simulated desktop: low-level hooks, key state, layouts, synthetic
// input and the mouse parameters.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/keyboard.h"

namespace quellon::platform {

class SimDesktop;

class SimKeyboard : public Keyboard {
 public:
  explicit SimKeyboard(SimDesktop& d) : d_(d) {}
  KeyboardHook SetLowLevelHook(KeyGateProc gate, KeyDeliveryProc deliver) override;
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

 private:
  SimDesktop& d_;
  std::uint16_t pendingDead_ = 0;  // the dead key ToAsciiEx keeps for the next call
};

}  // namespace quellon::platform
