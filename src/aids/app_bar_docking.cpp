#include "aids/app_bar_docking.h"

#include <algorithm>
#include <cstdint>

#include "text/text.h"

namespace quellon::aids {
namespace {

// A size in twips as whole pixels, halves to even; a screen that reports no twips per pixel
// counts as 15 (96 dots per inch).
std::int32_t ToPixels(std::int32_t twips, std::int32_t twipsPerPixel) {
  if (twipsPerPixel <= 0) twipsPerPixel = 15;
  const auto pixels = text::RoundToInt32(static_cast<double>(twips) / twipsPerPixel);
  return std::max<std::int32_t>(0, pixels.value_or(0));
}

}  // namespace

bool cAppDesktopToolbar::Add(DockedForm& form) {
  frm_ = &form;
  hwnd_ = form.DockedHandle();
  hasGrant_ = false;
  platform::AppBarData data;
  data.hwnd = hwnd_;
  return shell_.AppBarMessage(platform::ABM_NEW, data) != 0;
}

void cAppDesktopToolbar::Remove() {
  if (frm_ == nullptr) return;
  platform::AppBarData data;
  data.hwnd = hwnd_;
  shell_.AppBarMessage(platform::ABM_REMOVE, data);
  frm_ = nullptr;
  hwnd_ = 0;
  hasGrant_ = false;
}

bool cAppDesktopToolbar::DockToEdge(std::uint32_t edge) {
  if (frm_ == nullptr || edge > kBottom) return false;
  platform::AppBarData data;
  data.hwnd = hwnd_;
  data.edge = edge;
  data.rect = {0, 0, windows_.GetSystemMetrics(platform::SM_CXSCREEN),
               windows_.GetSystemMetrics(platform::SM_CYSCREEN)};
  if (shell_.AppBarMessage(platform::ABM_QUERYPOS, data) == 0) return false;
  const std::int32_t width = ToPixels(frm_->DockedWidth(), frm_->TwipsPerPixelX());
  const std::int32_t height = ToPixels(frm_->DockedHeight(), frm_->TwipsPerPixelY());
  platform::Rect& r = data.rect;
  switch (edge) {
    case kLeft:
      r.right = r.left + std::min(width, r.Width());
      break;
    case kTop:
      r.bottom = r.top + std::min(height, r.Height());
      break;
    case kRight:
      r.left = r.right - std::min(width, r.Width());
      break;
    default:
      r.top = r.bottom - std::min(height, r.Height());
      break;
  }
  if (shell_.AppBarMessage(platform::ABM_SETPOS, data) == 0) return false;
  granted_ = data.rect;
  hasGrant_ = true;
  return true;
}

void cAppDesktopToolbar::frm_Resize() {
  if (frm_ == nullptr || !hasGrant_) return;
  windows_.SetWindowPos(hwnd_, 0, granted_.left, granted_.top, granted_.Width(), granted_.Height(),
                        platform::SWP_NOACTIVATE | platform::SWP_NOZORDER);
}

}  // namespace quellon::aids
