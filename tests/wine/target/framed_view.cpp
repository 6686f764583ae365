#include "framed_view.h"

namespace target {
namespace {

// The focus the frame gets goes on to its view.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETFOCUS) {
    if (HWND view = GetWindow(hwnd, GW_CHILD)) {
      SetFocus(view);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void FramedView::Register(HINSTANCE instance, WNDPROC viewProc) const {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = frameClass;
  RegisterClassW(&wc);
  wc.lpfnWndProc = viewProc;
  wc.lpszClassName = viewClass;
  RegisterClassW(&wc);
}

HWND FramedView::Show(HINSTANCE instance, const wchar_t* title, RECT place, SIZE viewSize) {
  if (!frame || !IsWindow(frame)) {
    frame = CreateWindowExW(0, frameClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, nullptr,
                            nullptr, instance, nullptr);
    view = CreateWindowExW(0, viewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, viewSize.cx, viewSize.cy,
                           frame, nullptr, instance, nullptr);
  }
  SetForegroundWindow(frame);
  SetFocus(view);
  return view;
}

}  // namespace target
