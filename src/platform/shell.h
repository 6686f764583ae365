// The shell port: application desktop toolbars (SHAppBarMessage with APPBARDATA).
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace quellon::platform {

inline constexpr std::uint32_t ABM_NEW = 0;
inline constexpr std::uint32_t ABM_REMOVE = 1;
inline constexpr std::uint32_t ABM_QUERYPOS = 2;
inline constexpr std::uint32_t ABM_SETPOS = 3;
inline constexpr std::uint32_t ABE_LEFT = 0;
inline constexpr std::uint32_t ABE_TOP = 1;
inline constexpr std::uint32_t ABE_RIGHT = 2;
inline constexpr std::uint32_t ABE_BOTTOM = 3;

// APPBARDATA without its size field.
struct AppBarData {
  Hwnd hwnd = 0;
  std::uint32_t callbackMessage = 0;
  std::uint32_t edge = 0;
  Rect rect;
  std::intptr_t lParam = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // SHAppBarMessage: ABM_QUERYPOS and ABM_SETPOS may change data.rect. Returns the call's result
  // (non-zero for success with ABM_NEW, ABM_REMOVE always succeeds).
  virtual std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) = 0;
};

}  // namespace quellon::platform
