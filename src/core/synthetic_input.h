// Synthetic input: a key pressed and released, a mouse click at a screen point. Continuous
// reading presses Down with it, window reading mode and the item list click on what they found.
#pragma once

#include <cstdint>

#include "platform/keyboard.h"
#include "platform/window_system.h"

namespace quellon::core {

// One SendInput call with the press and the release of `vk`. Returns how many inputs were
// inserted (2, or 0 when the input was blocked).
std::uint32_t SendKeyPress(platform::Keyboard& keyboard, std::uint32_t vk);

// Moves the pointer to (x, y) and clicks there with the left or right button, in one SendInput
// call. The pointer's acceleration is switched off around the move, so that the relative move
// lands exactly, and put back afterwards.
void SendMouseClick(platform::Keyboard& keyboard, platform::WindowSystem& windows, std::int32_t x,
                    std::int32_t y, bool right);

}  // namespace quellon::core
