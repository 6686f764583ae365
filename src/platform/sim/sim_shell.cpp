// The application bars of the simulated desktop.
#include "platform/sim/sim_shell.h"

#include <algorithm>

#include "platform/sim/sim_desktop.h"

namespace quellon::platform {

Rect SimShell::Shrink(Hwnd self, std::uint32_t edge, Rect r) const {
  for (const auto& [hwnd, bar] : bars_) {
    if (hwnd == self || !bar.placed || bar.edge != edge) continue;
    switch (edge) {
      case ABE_LEFT:
        r.left = std::max(r.left, bar.rect.right);
        break;
      case ABE_TOP:
        r.top = std::max(r.top, bar.rect.bottom);
        break;
      case ABE_RIGHT:
        r.right = std::min(r.right, bar.rect.left);
        break;
      default:
        r.bottom = std::min(r.bottom, bar.rect.top);
        break;
    }
  }
  return r;
}

std::uintptr_t SimShell::AppBarMessage(std::uint32_t message, AppBarData& data) {
  switch (message) {
    case ABM_NEW:
      if (bars_.contains(data.hwnd) || !d_.Find(data.hwnd)) return 0;
      bars_[data.hwnd] = Bar{};
      return 1;
    case ABM_REMOVE:
      bars_.erase(data.hwnd);
      return 1;
    case ABM_QUERYPOS:
    case ABM_SETPOS: {
      auto it = bars_.find(data.hwnd);
      if (it == bars_.end()) return 0;
      // The proposal moves off the bars already docked at that edge, keeping its thickness.
      const Rect shrunk = Shrink(data.hwnd, data.edge, data.rect);
      Rect r = data.rect;
      switch (data.edge) {
        case ABE_LEFT:
          r = {shrunk.left, r.top, shrunk.left + r.Width(), r.bottom};
          break;
        case ABE_TOP:
          r = {r.left, shrunk.top, r.right, shrunk.top + r.Height()};
          break;
        case ABE_RIGHT:
          r = {shrunk.right - r.Width(), r.top, shrunk.right, r.bottom};
          break;
        default:
          r = {r.left, shrunk.bottom - r.Height(), r.right, shrunk.bottom};
          break;
      }
      if (message == ABM_QUERYPOS) r = shrunk;
      data.rect = r;
      if (message == ABM_SETPOS) it->second = Bar{data.edge, r, true};
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace quellon::platform
