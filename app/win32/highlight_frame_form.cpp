#include "highlight_frame_form.h"

#include <algorithm>
#include <cstdint>

namespace quellon::app {
namespace {

constexpr wchar_t kClassName[] = L"QuellonFrame";

LRESULT CALLBACK FrameThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Win32HighlightFrameForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form != nullptr) return form->FrameProc(hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

Win32HighlightFrameForm::~Win32HighlightFrameForm() {
  UnloadFrameWindow();
}

bool Win32HighlightFrameForm::LoadFrameWindow() {
  if (hwnd_ != nullptr) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FrameThunk;
  wc.hInstance = instance_;
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when the class exists
  hwnd_ = CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
      kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance_, this);
  return hwnd_ != nullptr;
}

void Win32HighlightFrameForm::UnloadFrameWindow() {
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  DestroyWindow(hwnd);
}

void Win32HighlightFrameForm::SetFrameBackColor(std::uint32_t color) {
  back_ = static_cast<COLORREF>(color & 0xFFFFFF);
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32HighlightFrameForm::SetHoleColor(std::uint32_t color) {
  hole_ = static_cast<COLORREF>(color & 0xFFFFFF);
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32HighlightFrameForm::PlaceHole(std::int32_t left, std::int32_t top, std::int32_t width,
                                        std::int32_t height) {
  const auto end = [](std::int32_t from, std::int32_t size) {
    return static_cast<LONG>(
        std::clamp<std::int64_t>(std::int64_t{from} + size, INT32_MIN, INT32_MAX));
  };
  holeRect_ = RECT{left, top, end(left, width), end(top, height)};
  if (hwnd_ == nullptr) return;
  InvalidateRect(hwnd_, nullptr, TRUE);
  // The frame has just been moved. Wine keeps the transparent colour's shape of a layered window
  // as it was when the window was shown, so a frame moved while shown would vanish (its new
  // pixels all treated as transparent). Hidden, given its colour key again while hidden (as when
  // it was first shown), shown again (never activated) and painted at once, it takes its new
  // place on every system, also on a busy one.
  if (IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, SW_HIDE);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (GetLayeredWindowAttributes(hwnd_, &key, &alpha, &flags)) {
      SetLayeredWindowAttributes(hwnd_, key, alpha, flags);
    }
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
  }
}

std::int32_t Win32HighlightFrameForm::TwipsPerPixelX() const {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return 1440 / (dpi > 0 ? dpi : 96);
}

void Win32HighlightFrameForm::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client{};
  GetClientRect(hwnd_, &client);
  HBRUSH back = CreateSolidBrush(back_);
  FillRect(dc, &client, back);
  DeleteObject(back);
  HBRUSH hole = CreateSolidBrush(hole_);
  FillRect(dc, &holeRect_, hole);
  DeleteObject(hole);
  EndPaint(hwnd_, &ps);
}

LRESULT Win32HighlightFrameForm::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT:
      if (hwnd == hwnd_) {
        Paint();
        return 0;
      }
      break;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quellon::app
