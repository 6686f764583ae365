// The accessibility port of the simulated desktop: accessible objects of its windows and the
// WinEvent hooks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/accessibility.h"

namespace quellon::platform {

class SimDesktop;

class SimAccessibility : public Accessibility {
 public:
  explicit SimAccessibility(SimDesktop& d) : d_(d) {}
  AccessibleChild ObjectFromEvent(Hwnd w, std::int32_t idObject, std::int32_t idChild) override;
  AccessiblePtr ObjectFromWindow(Hwnd w, std::int32_t idObject) override;
  AccessibleChild ObjectFromPoint(std::int32_t x, std::int32_t y) override;
  Hwnd WindowFromObject(const AccessiblePtr& object) override;
  std::u16string RoleText(std::int32_t role) override;
  std::u16string StateText(std::uint32_t stateBit) override;
  WinEventHook SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                               WinEventProc proc) override;
  bool UnhookWinEvent(WinEventHook hook) override;

 private:
  SimDesktop& d_;
};

}  // namespace quellon::platform
