#include "aids/highlight_frame.h"

#include <algorithm>
#include <limits>
#include <string>

#include "text/text.h"

namespace quellon::aids {
namespace {

using platform::HWND_TOPMOST;
using platform::SWP_HIDEWINDOW;
using platform::SWP_NOACTIVATE;
using platform::SWP_NOMOVE;
using platform::SWP_NOSIZE;
using platform::SWP_SHOWWINDOW;

constexpr char16_t kSource[] = u"frmFrameHi";
constexpr char16_t kLayeredFailure[] = u"The frame window cannot be made transparent.";
constexpr char16_t kNoWindow[] = u"The frame window cannot be made.";

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

frmFrameHi::frmFrameHi(std::unique_ptr<HighlightFrameForm> form, platform::WindowSystem& windows,
                       platform::Hwnd messageOwner)
    : form_(std::move(form)), windows_(windows), messageOwner_(messageOwner) {}

frmFrameHi::~frmFrameHi() {
  form_->UnloadFrameWindow();
}

bool frmFrameHi::EnsureLoaded() {
  if (form_->FrameLoaded()) return true;
  if (!form_->LoadFrameWindow()) return false;
  failureShown_ = false;
  form_->SetFrameBackColor(frameColor_);
  return true;
}

bool frmFrameHi::Visible() {
  return form_->FrameLoaded() && windows_.IsWindowVisible(form_->FrameHandle());
}

void frmFrameHi::LoadFrameHidden() {
  if (!EnsureLoaded()) return;
  FrameHide();
}

void frmFrameHi::UnloadFrame() {
  form_->UnloadFrameWindow();
}

void frmFrameHi::FrameInit() {
  const auto fail = [this](const char16_t* description) {
    // One box per window: a frame that cannot be drawn is not reported at every move.
    if (failureShown_) return;
    failureShown_ = true;
    windows_.MessageBox(messageOwner_, std::u16string(description) + u" Source : " + kSource,
                        u"Quellon", platform::MB_OK | platform::MB_ICONERROR);
  };
  if (!EnsureLoaded()) return fail(kNoWindow);
  const platform::Hwnd hwnd = form_->FrameHandle();
  form_->SetHoleColor(kHoleColor);
  const auto exStyle =
      static_cast<std::uint32_t>(windows_.GetWindowLong(hwnd, platform::GWL_EXSTYLE));
  windows_.SetWindowLong(hwnd, platform::GWL_EXSTYLE,
                         static_cast<std::int32_t>(exStyle | platform::WS_EX_LAYERED));
  if (!windows_.SetLayeredWindowAttributes(hwnd, kHoleColor, 150, platform::LWA_COLORKEY)) {
    return fail(kLayeredFailure);
  }
  if (!windows_.IsWindowVisible(hwnd)) {
    windows_.SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                          SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
}

void frmFrameHi::MoveFrame(const platform::Rect& rect) {
  if (frameWidth_ == 0) frameWidth_ = kStandardWidth;
  const std::int32_t twips = form_->TwipsPerPixelX() > 0 ? form_->TwipsPerPixelX() : 15;
  const std::int32_t b = std::max<std::int32_t>(
      0, text::RoundToInt16(static_cast<double>(frameWidth_) / twips).value_or(0));
  if (!Visible()) FrameInit();
  if (!form_->FrameLoaded()) return;
  // Another program's object may report any numbers: a negative size is none, and the frame
  // stays within the coordinates a window can have.
  const std::int64_t w = std::max<std::int64_t>(0, std::int64_t{rect.right} - rect.left);
  const std::int64_t h = std::max<std::int64_t>(0, std::int64_t{rect.bottom} - rect.top);
  windows_.SetWindowPos(form_->FrameHandle(), HWND_TOPMOST,
                        ClampToInt32(std::int64_t{rect.left} - b),
                        ClampToInt32(std::int64_t{rect.top} - b), ClampToInt32(w + 2 * b),
                        ClampToInt32(h + 2 * b), SWP_NOACTIVATE);
  form_->PlaceHole(b, b, ClampToInt32(w), ClampToInt32(h));
}

void frmFrameHi::FrameHide() {
  if (!form_->FrameLoaded()) return;
  windows_.SetWindowPos(form_->FrameHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                        SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

void frmFrameHi::FrameShow() {
  if (!form_->FrameLoaded()) return;
  windows_.SetWindowPos(form_->FrameHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                        SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

void frmFrameHi::SetWidth(std::int32_t newWidth) {
  frameWidth_ = ClampToInt32(std::int64_t{newWidth} * 5);
}

void frmFrameHi::SetColor(std::uint32_t newColor) {
  frameColor_ = newColor;
  if (form_->FrameLoaded()) form_->SetFrameBackColor(newColor);
}

}  // namespace quellon::aids
