// The highlight frame's window on Windows: a borderless popup (WS_EX_LAYERED | WS_EX_TRANSPARENT
// | WS_EX_TOPMOST | WS_EX_NOACTIVATE, a tool window so that it has no taskbar button) painted in
// the frame's colour, with the label's rectangle painted in the colour the frame declares
// transparent. Clicks go through it; it is never activated.
#pragma once

#include "aids/highlight_frame_form.h"
// The system headers after the ports.
#include "platform/win32/win32_windows.h"

namespace quellon::app {

class Win32HighlightFrameForm : public aids::HighlightFrameForm {
 public:
  explicit Win32HighlightFrameForm(HINSTANCE instance) : instance_(instance) {}
  ~Win32HighlightFrameForm() override;
  Win32HighlightFrameForm(const Win32HighlightFrameForm&) = delete;
  Win32HighlightFrameForm& operator=(const Win32HighlightFrameForm&) = delete;

  bool LoadFrameWindow() override;
  void UnloadFrameWindow() override;
  bool FrameLoaded() const override { return hwnd_ != nullptr; }
  platform::Hwnd FrameHandle() const override { return platform::win32::FromHwnd(hwnd_); }
  void SetFrameBackColor(std::uint32_t color) override;
  void SetHoleColor(std::uint32_t color) override;
  void PlaceHole(std::int32_t left, std::int32_t top, std::int32_t width,
                 std::int32_t height) override;
  std::int32_t TwipsPerPixelX() const override;

  LRESULT FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Paint();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  COLORREF back_ = RGB(255, 0, 0);
  COLORREF hole_ = RGB(0, 0, 254);
  RECT holeRect_{};
};

}  // namespace quellon::app
