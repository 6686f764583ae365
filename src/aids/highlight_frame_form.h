// The highlight frame's window (frmFrameHi) as the program sees it: a borderless window whose
// background is the frame's colour, with one label (Label3) covering the inside. The window's
// styles, place and visibility are set through the window system on its handle.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace quellon::aids {

class HighlightFrameForm {
 public:
  virtual ~HighlightFrameForm() = default;
  // Creates the window hidden; nothing when it exists. False when it cannot be made.
  virtual bool LoadFrameWindow() = 0;
  virtual void UnloadFrameWindow() = 0;
  virtual bool FrameLoaded() const = 0;
  virtual platform::Hwnd FrameHandle() const = 0;
  // The form's background colour: what shows as the frame.
  virtual void SetFrameBackColor(std::uint32_t color) = 0;
  // The label's background colour and its place inside the window, in pixels.
  virtual void SetHoleColor(std::uint32_t color) = 0;
  virtual void PlaceHole(std::int32_t left, std::int32_t top, std::int32_t width,
                         std::int32_t height) = 0;
  virtual std::int32_t TwipsPerPixelX() const = 0;
};

}  // namespace quellon::aids
