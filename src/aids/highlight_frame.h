// The highlight frame: a coloured rectangle drawn round an object on the screen (a layered,
// click-through window with a transparent middle). It never takes the focus.
#pragma once

#include <cstdint>
#include <memory>

#include "aids/highlight_frame_form.h"
#include "platform/win_types.h"
#include "platform/window_system.h"

namespace quellon::aids {

class HighlightFrame {
 public:
  virtual ~HighlightFrame() = default;
  // Startup: the frame window is created hidden.
  virtual void LoadFrameHidden() = 0;
  // Shutdown: the frame window goes.
  virtual void UnloadFrame() = 0;
  // Puts the frame round `rect` (screen pixels) and shows it.
  virtual void MoveFrame(const platform::Rect& rect) = 0;
  virtual void FrameHide() = 0;
  virtual void FrameShow() {}
  // The border is `width` × 5 twips wide (0 gives the standard 50 twips).
  virtual void SetWidth(std::int32_t) {}
  virtual void SetColor(std::uint32_t) {}
};

// No frame is drawn.
class NullHighlightFrame final : public HighlightFrame {
 public:
  void LoadFrameHidden() override {}
  void UnloadFrame() override {}
  void MoveFrame(const platform::Rect&) override {}
  void FrameHide() override {}
};

// frmFrameHi.
class frmFrameHi final : public HighlightFrame {
 public:
  // The label's colour, declared transparent for the window.
  static constexpr std::uint32_t kHoleColor = 0xFE0000;  // RGB(0, 0, 254)
  static constexpr std::int32_t kStandardWidth = 50;     // twips
  // The frame's colour before the first SetColor: red.
  static constexpr std::uint32_t kDefaultColor = 0x0000FF;

  frmFrameHi(std::unique_ptr<HighlightFrameForm> form, platform::WindowSystem& windows,
             platform::Hwnd messageOwner = 0);
  ~frmFrameHi() override;
  frmFrameHi(const frmFrameHi&) = delete;
  frmFrameHi& operator=(const frmFrameHi&) = delete;

  void LoadFrameHidden() override;
  void UnloadFrame() override;
  // Places the frame round the rectangle x, y, W, H of `rect`; a hidden frame is shown first.
  void MoveFrame(const platform::Rect& rect) override;
  // Makes the window layered with the colour key and shows it topmost. On failure the user is
  // told once per loaded window.
  void FrameInit();
  void FrameHide() override;
  void FrameShow() override;
  void SetWidth(std::int32_t newWidth) override;
  void SetColor(std::uint32_t newColor) override;

  std::int32_t FrameWidth() const { return frameWidth_; }
  std::uint32_t FrameColor() const { return frameColor_; }

 private:
  bool EnsureLoaded();
  bool Visible();

  std::unique_ptr<HighlightFrameForm> form_;
  platform::WindowSystem& windows_;
  platform::Hwnd messageOwner_;
  std::int32_t frameWidth_ = 0;
  std::uint32_t frameColor_ = kDefaultColor;
  bool failureShown_ = false;
};

}  // namespace quellon::aids
