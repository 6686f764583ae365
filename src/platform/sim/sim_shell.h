// The shell port of the simulated desktop: application bars.
#pragma once

#include <cstdint>
#include <map>

#include "platform/shell.h"

namespace quellon::platform {

class SimDesktop;

// The shell's application bars on the simulated screen: bars registered at an edge take their
// strip out of the proposals of bars registered later at the same edge.
class SimShell : public Shell {
 public:
  explicit SimShell(SimDesktop& d) : d_(d) {}
  std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
  struct Bar {
    std::uint32_t edge = 0;
    Rect rect;
    bool placed = false;
  };
  const std::map<Hwnd, Bar>& Bars() const { return bars_; }

 private:
  Rect Shrink(Hwnd self, std::uint32_t edge, Rect proposal) const;
  SimDesktop& d_;
  std::map<Hwnd, Bar> bars_;
};

}  // namespace quellon::platform
