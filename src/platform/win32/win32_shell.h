// Application bars on Windows (shell32 SHAppBarMessage).
#pragma once

#include <cstdint>

#include "platform/shell.h"

namespace quellon::platform {

class Win32Shell : public Shell {
 public:
  std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
};

}  // namespace quellon::platform
