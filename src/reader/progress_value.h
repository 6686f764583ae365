// The value-change path of the accessibility events: when a progress bar in the foreground window
// changes its value, its percentage is played as the progress tone at once (the one event the
// callback handles itself rather than leaving it to the focus tick).
//
// A change counts only in the active window of the foreground thread or in a chain of frameless
// child windows directly below it. The object's accValue loses every "%" and its leading number,
// rounded half to even, is the percentage; the tone plays for a percentage above 0 while no tone
// is sounding. Anything that goes wrong on the way (no object, no value, a number that does not
// fit 32 bits) ends the handling without a sound.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/accessibility.h"
#include "platform/window_system.h"
#include "synth/progress_tone.h"

namespace quellon::reader {

// The percentage a progress value reads as: every "%" removed, the leading number (0 when there
// is none) rounded half to even; nullopt when it does not fit 32 bits.
std::optional<std::int32_t> ProgressPercent(std::u16string_view value);

class ProgressValueWatcher {
 public:
  ProgressValueWatcher(platform::WindowSystem& windows, platform::Accessibility& access,
                       ProgressTone& tone)
      : windows_(windows), access_(access), tone_(tone) {}

  // EVENT_OBJECT_VALUECHANGE for object `idObject`, child `idChild` of window `hwnd`.
  void OnValueChange(platform::Hwnd hwnd, std::int32_t idObject, std::int32_t idChild);

  // `hwnd` is the active window of the foreground thread, or reaches it through parents none of
  // which has a border or dialog frame.
  bool IsInForegroundTree(platform::Hwnd hwnd);

 private:
  platform::WindowSystem& windows_;
  platform::Accessibility& access_;
  ProgressTone& tone_;
};

}  // namespace quellon::reader
