// The mouse announcement: while "Announce mouse" is checked, every MouseTimer tick says the
// object that came under the mouse pointer since the last tick.
#pragma once

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

}  // namespace quellon::reader
