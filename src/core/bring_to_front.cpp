#include "core/bring_to_front.h"

namespace quellon::core {

void BringWindowToFront(platform::WindowSystem& windows, platform::Keyboard& keyboard,
                        platform::Hwnd hwnd) {
  const platform::Hwnd foreground = windows.GetForegroundWindow();
  if (foreground == hwnd) {
    if (windows.IsIconic(hwnd)) windows.ShowWindow(hwnd, platform::SW_RESTORE);
    return;
  }
  const platform::ThreadId foregroundThread = windows.GetWindowThreadProcessId(foreground);
  const platform::ThreadId ownThread = windows.GetWindowThreadProcessId(hwnd);
  if (foregroundThread == ownThread) {
    windows.SetForegroundWindow(hwnd);
  } else {
    keyboard.AttachThreadInput(foregroundThread, ownThread, true);
    windows.SetForegroundWindow(hwnd);
    keyboard.AttachThreadInput(foregroundThread, ownThread, false);
  }
  windows.ShowWindow(hwnd, windows.IsIconic(hwnd) ? platform::SW_RESTORE : platform::SW_SHOW);
}

}  // namespace quellon::core
