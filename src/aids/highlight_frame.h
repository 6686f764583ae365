// The highlight frame: a coloured rectangle drawn round an object on the screen (a layered,
// click-through window with a transparent middle).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

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
};

// No frame is drawn.
class NullHighlightFrame final : public HighlightFrame {
 public:
  void LoadFrameHidden() override {}
  void UnloadFrame() override {}
  void MoveFrame(const platform::Rect&) override {}
  void FrameHide() override {}
};

}  // namespace quellon::aids
