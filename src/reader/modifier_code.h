// The modifier code every key message carries: 6 no modifier, 4 Shift, 2 Ctrl, 0 Ctrl and Shift.
// Alt plays no part.
#pragma once

#include <cstdint>

namespace quellon::reader {

constexpr std::uint32_t ModifierCode(bool ctrl, bool shift) {
  return 6u - (ctrl ? 4u : 0u) - (shift ? 2u : 0u);
}

}  // namespace quellon::reader
