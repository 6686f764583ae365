// The mouse announcement: while "Announce mouse" is checked, every MouseTimer tick says the
// object that came under the mouse pointer since the last tick.
#pragma once

#include <string>

#include "core/speech_output.h"
#include "platform/accessibility.h"
#include "platform/window_system.h"

namespace quellon::reader {

class MouseAnnouncer {
 public:
  virtual ~MouseAnnouncer() = default;
  // One MouseTimer tick.
  virtual void MouseTick() = 0;
};

// The mouse is not announced.
class NullMouseAnnouncer final : public MouseAnnouncer {
 public:
  void MouseTick() override {}
};

// Each tick: when the pointer has moved, the object under it is described (name, value, role
// word, check state); a description different from the last one spoken is said, with the info
// band. A pointer at rest, or moving within one object, says nothing more. A tick that fails
// keeps the last position and description.
class PointerAnnouncer final : public MouseAnnouncer {
 public:
  PointerAnnouncer(platform::WindowSystem& windows, platform::Accessibility& access,
                   core::SpeechOutput& output)
      : windows_(windows), access_(access), output_(output) {}
  void MouseTick() override;

 private:
  platform::WindowSystem& windows_;
  platform::Accessibility& access_;
  core::SpeechOutput& output_;
  platform::Point last_;  // LastMouseX, LastMouseY
  std::u16string lastText_;
};

}  // namespace quellon::reader
