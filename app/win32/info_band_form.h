// The info band's window on Windows: a borderless, topmost tool window that is never activated by
// being shown or clicked (WS_EX_NOACTIVATE), holding one multi-line EDIT control in the band's
// font and colours. The edit is subclassed so that its keys reach the band: key presses first
// (Escape and Backspace close the band), key releases after the edit has handled them.
#pragma once

#include <string>

#include "aids/info_band_form.h"
// The system headers after the ports.
#include "platform/win32/win32_windows.h"

namespace quellon::app {

class Win32InfoBandForm : public aids::InfoBandForm {
 public:
  explicit Win32InfoBandForm(HINSTANCE instance) : instance_(instance) {}
  ~Win32InfoBandForm() override;
  Win32InfoBandForm(const Win32InfoBandForm&) = delete;
  Win32InfoBandForm& operator=(const Win32InfoBandForm&) = delete;

  bool LoadBandWindow(aids::InfoBandEvents& events) override;
  void UnloadBandWindow() override;
  bool BandLoaded() const override { return hwnd_ != nullptr; }
  platform::Hwnd BandHandle() const override { return platform::win32::FromHwnd(hwnd_); }
  platform::Hwnd BandTextHandle() const override { return platform::win32::FromHwnd(edit_); }
  void SetBandCaption(std::u16string_view caption) override;
  void ShowBandWindow() override;
  void HideBandWindow() override;
  bool BandWindowVisible() const override;
  void SetBandText(std::u16string_view text) override;
  std::u16string BandText() const override;
  void SetBandFontSize(std::int32_t points) override;
  void SetBandColors(std::uint32_t text, std::uint32_t background) override;
  std::int32_t BandLeft() const override;
  std::int32_t BandTop() const override;
  void SetBandHeight(std::int32_t twips) override;
  void PlaceBandText(std::int32_t left, std::int32_t top, std::int32_t width,
                     std::int32_t height) override;
  void FocusBandText() override;

  platform::Hwnd DockedHandle() const override { return BandHandle(); }
  std::int32_t DockedWidth() const override;
  std::int32_t DockedHeight() const override;
  std::int32_t TwipsPerPixelX() const override;
  std::int32_t TwipsPerPixelY() const override;

  LRESULT BandProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  RECT WindowRect() const;

  HINSTANCE instance_;
  aids::InfoBandEvents* events_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND edit_ = nullptr;
  WNDPROC editProc_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH brush_ = nullptr;
  COLORREF textColor_ = RGB(255, 255, 255);
  COLORREF backColor_ = RGB(0, 0, 0);
};

}  // namespace quellon::app
