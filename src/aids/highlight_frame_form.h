// The highlight frame's window (frmFrameHi) as the program sees it.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace quellon::aids {

class HighlightFrameForm {
 public:
  virtual ~HighlightFrameForm() = default;
  virtual platform::Hwnd FrameHandle() const = 0;
  // Places the window at `rect` (screen pixels) and shows or hides it.
  virtual void PlaceFrameWindow(const platform::Rect& rect, bool visible) = 0;
  virtual void SetFrameColor(std::uint32_t color) = 0;
  virtual void SetFrameWidth(std::int32_t pixels) = 0;
};

}  // namespace quellon::aids
