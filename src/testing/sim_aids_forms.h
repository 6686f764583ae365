// The windows of the visual aids on the simulated desktop, 15 twips per pixel: the info band's
// strip with its text box and the highlight frame's window. What the parts set on them (colours,
// captions, the frame's hole) is recorded for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "aids/highlight_frame_form.h"
#include "aids/info_band_form.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::testing {

// The band's window on the simulated desktop: a top-level window with an edit child, 15 twips
// per pixel; what the band sets is recorded.
class SimBandForm : public aids::InfoBandForm {
 public:
  explicit SimBandForm(platform::SimDesktop& desk) : desk_(desk) {}
  ~SimBandForm() override { UnloadBandWindow(); }

  bool LoadBandWindow(aids::InfoBandEvents& events) override {
    if (failLoad) return false;
    events_ = &events;
    const std::int32_t width = desk_.Screen().Width();
    hwnd_ = desk_.AddTopWindow(u"QuellonInfoBand", u"", {0, 0, width, 10});
    desk_.SetVisible(hwnd_, false);
    text_ = desk_.AddEdit(hwnd_, u"", {.multiline = true});
    ++loads;
    return true;
  }
  void UnloadBandWindow() override {
    if (hwnd_ == 0) return;
    desk_.DestroyWindow(hwnd_);
    hwnd_ = text_ = 0;
    events_ = nullptr;
  }
  bool BandLoaded() const override { return hwnd_ != 0; }
  platform::Hwnd BandHandle() const override { return hwnd_; }
  platform::Hwnd BandTextHandle() const override { return text_; }
  void SetBandCaption(std::u16string_view c) override { caption = c; }
  void ShowBandWindow() override {
    desk_.Windows().SetWindowPos(hwnd_, platform::HWND_TOPMOST, 0, 0, 0, 0,
                                 platform::SWP_NOMOVE | platform::SWP_NOSIZE |
                                     platform::SWP_NOACTIVATE | platform::SWP_SHOWWINDOW);
  }
  void HideBandWindow() override { desk_.SetVisible(hwnd_, false); }
  bool BandWindowVisible() const override { return desk_.Windows().IsWindowVisible(hwnd_); }
  void SetBandText(std::u16string_view t) override { desk_.SetText(text_, std::u16string(t)); }
  std::u16string BandText() const override { return desk_.Windows().SendGetText(text_, 4096); }
  void SetBandFontSize(std::int32_t points) override { fontSize = points; }
  void SetBandColors(std::uint32_t t, std::uint32_t b) override {
    textColor = t;
    backColor = b;
  }
  std::int32_t BandLeft() const override { return WindowRect().left * 15; }
  std::int32_t BandTop() const override { return WindowRect().top * 15; }
  void SetBandHeight(std::int32_t twips) override {
    const platform::Rect r = WindowRect();
    desk_.Windows().SetWindowPos(hwnd_, 0, 0, 0, r.Width(), twips / 15,
                                 platform::SWP_NOMOVE | platform::SWP_NOZORDER);
  }
  void PlaceBandText(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    textBox = {l, t, l + w, t + h};
  }
  void FocusBandText() override { desk_.Focus(text_); }
  platform::Hwnd DockedHandle() const override { return hwnd_; }
  std::int32_t DockedWidth() const override { return WindowRect().Width() * 15; }
  std::int32_t DockedHeight() const override { return WindowRect().Height() * 15; }
  std::int32_t TwipsPerPixelX() const override { return 15; }
  std::int32_t TwipsPerPixelY() const override { return 15; }

  platform::Rect WindowRect() const {
    platform::Rect r;
    desk_.Windows().GetWindowRect(hwnd_, r);
    return r;
  }
  // The window's key events as its window procedure would raise them.
  bool KeyDown(std::uint32_t vk) { return events_ != nullptr && events_->Form_KeyDown(vk); }
  void KeyUp(std::uint32_t vk) {
    if (events_ != nullptr) events_->Text1_KeyUp(vk);
  }

  bool failLoad = false;
  int loads = 0;
  std::u16string caption;
  std::int32_t fontSize = 0;
  std::uint32_t textColor = 0;
  std::uint32_t backColor = 0;
  platform::Rect textBox;  // twips

 private:
  platform::SimDesktop& desk_;
  aids::InfoBandEvents* events_ = nullptr;
  platform::Hwnd hwnd_ = 0;
  platform::Hwnd text_ = 0;
};

// The frame's window on the simulated desktop, 15 twips per pixel; its colours and its label's
// place are recorded.
class SimFrameForm : public aids::HighlightFrameForm {
 public:
  explicit SimFrameForm(platform::SimDesktop& desk) : desk_(desk) {}
  bool LoadFrameWindow() override {
    if (hwnd_ != 0) return true;
    if (failLoad) return false;
    hwnd_ = desk_.AddTopWindow(u"QuellonFrame", u"", {0, 0, 10, 10});
    desk_.SetVisible(hwnd_, false);
    ++loads;
    return true;
  }
  void UnloadFrameWindow() override {
    if (hwnd_ != 0) desk_.DestroyWindow(hwnd_);
    hwnd_ = 0;
  }
  bool FrameLoaded() const override { return hwnd_ != 0; }
  platform::Hwnd FrameHandle() const override { return hwnd_; }
  void SetFrameBackColor(std::uint32_t c) override { backColor = c; }
  void SetHoleColor(std::uint32_t c) override { holeColor = c; }
  void PlaceHole(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
    hole = {l, t, l + w, t + h};
  }
  std::int32_t TwipsPerPixelX() const override { return 15; }

  bool failLoad = false;
  int loads = 0;
  std::uint32_t backColor = 0;
  std::uint32_t holeColor = 0;
  platform::Rect hole;

 private:
  platform::SimDesktop& desk_;
  platform::Hwnd hwnd_ = 0;
};

}  // namespace quellon::testing
