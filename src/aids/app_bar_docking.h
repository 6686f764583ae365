// Docking a window of this program as an application bar at an edge of the screen, so that
// maximised windows of other programs leave its strip free.
#pragma once

#include <cstdint>

#include "platform/event_loop.h"

namespace quellon::aids {

class AppBarDocking {
 public:
  // Screen edges in the shell's numbering (ABE_LEFT 0, ABE_TOP 1, ABE_RIGHT 2, ABE_BOTTOM 3).
  static constexpr std::uint32_t kTop = 1;

  virtual ~AppBarDocking() = default;
  // Registers `window` as an application bar and docks it `height` pixels high at `edge`.
  virtual bool AddBar(platform::Hwnd window, std::uint32_t edge, std::int32_t height) = 0;
  // Gives the strip back to the desktop.
  virtual void RemoveBar() = 0;
};

// Nothing is docked; the window stays where it is.
class NullAppBarDocking final : public AppBarDocking {
 public:
  bool AddBar(platform::Hwnd, std::uint32_t, std::int32_t) override { return false; }
  void RemoveBar() override {}
};

}  // namespace quellon::aids
