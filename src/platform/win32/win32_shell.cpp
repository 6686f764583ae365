#include "platform/win32/win32_windows.h"

#include <shellapi.h>

#include "platform/win32/win32_shell.h"

namespace quellon::platform {

std::uintptr_t Win32Shell::AppBarMessage(std::uint32_t message, AppBarData& data) {
  APPBARDATA abd{};
  abd.cbSize = sizeof abd;
  abd.hWnd = win32::ToHwnd(data.hwnd);
  abd.uCallbackMessage = data.callbackMessage;
  abd.uEdge = data.edge;
  abd.rc = RECT{data.rect.left, data.rect.top, data.rect.right, data.rect.bottom};
  abd.lParam = data.lParam;
  const UINT_PTR result = SHAppBarMessage(message, &abd);
  data.rect = {abd.rc.left, abd.rc.top, abd.rc.right, abd.rc.bottom};
  data.edge = abd.uEdge;
  return result;
}

}  // namespace quellon::platform
