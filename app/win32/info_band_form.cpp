#include "info_band_form.h"

#include <vector>

namespace quellon::app {
namespace {

constexpr wchar_t kClassName[] = L"QuellonInfoBand";

int ScreenDpi(int index) {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, index) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

LRESULT CALLBACK BandThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Win32InfoBandForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form != nullptr) return form->BandProc(hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EditThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Win32InfoBandForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form != nullptr) return form->EditProc(hwnd, message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

Win32InfoBandForm::~Win32InfoBandForm() {
  UnloadBandWindow();
}

bool Win32InfoBandForm::LoadBandWindow(aids::InfoBandEvents& events) {
  if (hwnd_ != nullptr) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = BandThunk;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when the class exists
  const int width = GetSystemMetrics(SM_CXSCREEN);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"",
                          WS_POPUP, 0, 0, width, 40, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) return false;
  edit_ = CreateWindowExW(0, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0,
                          0, width, 40, hwnd_, nullptr, instance_, nullptr);
  if (edit_ == nullptr) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditThunk)));
  events_ = &events;
  return true;
}

void Win32InfoBandForm::UnloadBandWindow() {
  events_ = nullptr;
  if (hwnd_ != nullptr) {
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    edit_ = nullptr;
    DestroyWindow(hwnd);
  }
  if (font_ != nullptr) DeleteObject(font_);
  if (brush_ != nullptr) DeleteObject(brush_);
  font_ = nullptr;
  brush_ = nullptr;
}

void Win32InfoBandForm::SetBandCaption(std::u16string_view caption) {
  if (hwnd_ != nullptr) SetWindowTextW(hwnd_, platform::win32::Wide(std::u16string(caption)));
}

void Win32InfoBandForm::ShowBandWindow() {
  if (hwnd_ == nullptr) return;
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Win32InfoBandForm::HideBandWindow() {
  if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

bool Win32InfoBandForm::BandWindowVisible() const {
  return hwnd_ != nullptr && IsWindowVisible(hwnd_);
}

void Win32InfoBandForm::SetBandText(std::u16string_view text) {
  if (edit_ != nullptr) SetWindowTextW(edit_, platform::win32::Wide(std::u16string(text)));
}

std::u16string Win32InfoBandForm::BandText() const {
  if (edit_ == nullptr) return {};
  const int length = GetWindowTextLengthW(edit_);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int n = GetWindowTextW(edit_, buffer.data(), length + 1);
  return platform::win32::FromWide(buffer.data(), static_cast<std::size_t>(n > 0 ? n : 0));
}

void Win32InfoBandForm::SetBandFontSize(std::int32_t points) {
  if (edit_ == nullptr) return;
  HFONT font = CreateFontW(-MulDiv(points, ScreenDpi(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
  if (font == nullptr) return;
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
}

void Win32InfoBandForm::SetBandColors(std::uint32_t text, std::uint32_t background) {
  // The settings keep colours as Windows does (0x00BBGGRR).
  textColor_ = static_cast<COLORREF>(text & 0xFFFFFF);
  backColor_ = static_cast<COLORREF>(background & 0xFFFFFF);
  HBRUSH brush = CreateSolidBrush(backColor_);
  if (brush_ != nullptr) DeleteObject(brush_);
  brush_ = brush;
  if (edit_ != nullptr) InvalidateRect(edit_, nullptr, TRUE);
}

RECT Win32InfoBandForm::WindowRect() const {
  RECT r{};
  if (hwnd_ != nullptr) GetWindowRect(hwnd_, &r);
  return r;
}

std::int32_t Win32InfoBandForm::TwipsPerPixelX() const {
  return 1440 / ScreenDpi(LOGPIXELSX);
}

std::int32_t Win32InfoBandForm::TwipsPerPixelY() const {
  return 1440 / ScreenDpi(LOGPIXELSY);
}

std::int32_t Win32InfoBandForm::BandLeft() const {
  return WindowRect().left * TwipsPerPixelX();
}

std::int32_t Win32InfoBandForm::BandTop() const {
  return WindowRect().top * TwipsPerPixelY();
}

std::int32_t Win32InfoBandForm::DockedWidth() const {
  const RECT r = WindowRect();
  return (r.right - r.left) * TwipsPerPixelX();
}

std::int32_t Win32InfoBandForm::DockedHeight() const {
  const RECT r = WindowRect();
  return (r.bottom - r.top) * TwipsPerPixelY();
}

void Win32InfoBandForm::SetBandHeight(std::int32_t twips) {
  if (hwnd_ == nullptr) return;
  const RECT r = WindowRect();
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, twips / TwipsPerPixelY(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32InfoBandForm::PlaceBandText(std::int32_t left, std::int32_t top, std::int32_t width,
                                      std::int32_t height) {
  if (edit_ == nullptr) return;
  const int x = TwipsPerPixelX();
  const int y = TwipsPerPixelY();
  MoveWindow(edit_, left / x, top / y, width / x, height / y, TRUE);
}

void Win32InfoBandForm::FocusBandText() {
  // Asked for by window reading mode only: the band takes the keyboard so its list keys work.
  if (hwnd_ == nullptr) return;
  SetForegroundWindow(hwnd_);
  SetFocus(edit_);
}

LRESULT Win32InfoBandForm::BandProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, textColor_);
      SetBkColor(dc, backColor_);
      if (brush_ == nullptr) brush_ = CreateSolidBrush(backColor_);
      return reinterpret_cast<LRESULT>(brush_);
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CLOSE:
      // The band is closed through the band (Escape, the menu), which gives its strip back.
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32InfoBandForm::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = editProc_;
  if (message == WM_KEYDOWN && events_ != nullptr) {
    // The band may unload itself here: nothing of the window is touched afterwards.
    if (events_->Form_KeyDown(static_cast<std::uint32_t>(wParam))) return 0;
  }
  if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_BACK)) return 0;
  const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
  if (message == WM_KEYUP && events_ != nullptr) {
    events_->Text1_KeyUp(static_cast<std::uint32_t>(wParam));
  }
  return result;
}

}  // namespace quellon::app
