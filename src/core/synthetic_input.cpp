#include "core/synthetic_input.h"

#include <vector>

namespace quellon::core {

std::uint32_t SendKeyPress(platform::Keyboard& keyboard, std::uint32_t vk) {
  const auto key = static_cast<std::uint16_t>(vk);
  return keyboard.SendInput(
      {platform::Input::Key(key, 0), platform::Input::Key(key, platform::KEYEVENTF_KEYUP)});
}

void SendMouseClick(platform::Keyboard& keyboard, platform::WindowSystem& windows, std::int32_t x,
                    std::int32_t y, bool right) {
  platform::MouseParams saved;
  const bool switchedOff =
      keyboard.GetMouseParams(saved) && saved.acceleration != 0 && keyboard.SetMouseParams({});
  platform::Point at;
  if (!windows.GetCursorPos(at)) at = {};
  keyboard.SendInput(
      {platform::Input::Mouse(x - at.x, y - at.y, platform::MOUSEEVENTF_MOVE),
       platform::Input::Mouse(
           0, 0, right ? platform::MOUSEEVENTF_RIGHTDOWN : platform::MOUSEEVENTF_LEFTDOWN),
       platform::Input::Mouse(
           0, 0, right ? platform::MOUSEEVENTF_RIGHTUP : platform::MOUSEEVENTF_LEFTUP)});
  if (switchedOff) keyboard.SetMouseParams(saved);
}

}  // namespace quellon::core
