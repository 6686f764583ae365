#include "reader/mouse_announcer.h"

#include "reader/control_readers.h"

namespace quellon::reader {

void PointerAnnouncer::MouseTick() {
  platform::Point at;
  if (!windows_.GetCursorPos(at)) return;
  std::u16string description;
  if (at.x != last_.x || at.y != last_.y) {
    description = ObjectAtPoint(access_, at, false);
    last_ = at;
  }
  if (description.empty() || description == lastText_) return;
  output_.Say(description);
  lastText_ = description;
}

}  // namespace quellon::reader
