// The highlight frame following the screen reader: focus tracking hands it the focused object's
// rectangle after each announcement, the info band the item its list keys pointed at. It acts
// only when the user switched it on (section "Frame" of the settings); otherwise the frame stays
// hidden and no rectangle is ever asked for.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "aids/highlight_frame.h"
#include "core/c_setting.h"
#include "platform/win_types.h"

namespace quellon::aids {

class FrameFollower {
 public:
  // Edges farther from the origin than this are no object's: a rectangle reaching past them is
  // taken as a lie (the frame and its border then never come near 32-bit overflow).
  static constexpr std::int32_t kFarthestEdge = 1 << 29;

  // `frame` gives the frame part in place at the time of the call (the owner may replace it).
  explicit FrameFollower(std::function<HighlightFrame&()> frame) : frame_(std::move(frame)) {}

  // Startup: takes the settings; on, the frame gets their width and colour (a colour equal to the
  // frame's transparent one would draw nothing, so it gives the default red). Off: the frame is
  // not touched.
  void Configure(const core::FrameSettings& settings);
  // Shutdown: off, before the frame goes.
  void Stop();
  bool Active() const { return active_; }

  // Puts the frame round `rect` (screen pixels); no rectangle, or one that is no object's place
  // (see Usable), hides it. Nothing while off.
  void Follow(const std::optional<platform::Rect>& rect);
  // Hides the frame (nothing while off).
  void Hide();

  // A rectangle the frame can go round: a positive width and height, every edge within
  // kFarthestEdge.
  static bool Usable(const platform::Rect& rect);

 private:
  template <typename F>
  void Guard(F&& f);

  std::function<HighlightFrame&()> frame_;
  bool active_ = false;
};

}  // namespace quellon::aids
