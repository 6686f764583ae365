// Bringing a window of this program to the front from the background.
#pragma once

#include "platform/keyboard.h"
#include "platform/window_system.h"

namespace quellon::core {

// Makes the top-level window `hwnd` the foreground window and shows it: restores it when it is
// already in front but minimised; otherwise brings it forward (attaching the input of the
// foreground window's thread for the moment when the threads differ), then restores or shows it.
void BringWindowToFront(platform::WindowSystem& windows, platform::Keyboard& keyboard,
                        platform::Hwnd hwnd);

}  // namespace quellon::core
