#include "aids/frame_follower.h"

namespace quellon::aids {

template <typename F>
void FrameFollower::Guard(F&& f) {
  try {
    f(frame_());
  } catch (...) {
    // A frame that cannot be drawn leaves the reader as it is; the next call tries again.
  }
}

void FrameFollower::Configure(const core::FrameSettings& settings) {
  if (!settings.active) {
    Stop();  // a frame that is off is left alone: it stays hidden as it was loaded
    return;
  }
  active_ = true;
  const std::uint32_t color = settings.color == frmFrameHi::kHoleColor
                                  ? core::FrameSettings::kDefaultColor
                                  : settings.color;
  Guard([&](HighlightFrame& f) {
    f.SetWidth(settings.width);
    f.SetColor(color);
  });
}

void FrameFollower::Stop() {
  Hide();
  active_ = false;
}

bool FrameFollower::Usable(const platform::Rect& r) {
  const auto within = [](std::int32_t v) { return v >= -kFarthestEdge && v <= kFarthestEdge; };
  return within(r.left) && within(r.top) && within(r.right) && within(r.bottom) &&
         r.right > r.left && r.bottom > r.top;
}

void FrameFollower::Follow(const std::optional<platform::Rect>& rect) {
  if (!active_) return;
  if (!rect || !Usable(*rect)) return Hide();
  Guard([&](HighlightFrame& f) { f.MoveFrame(*rect); });
}

void FrameFollower::Hide() {
  if (!active_) return;
  Guard([](HighlightFrame& f) { f.FrameHide(); });
}

}  // namespace quellon::aids
