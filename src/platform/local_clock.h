// The local-clock port: the local date and time in the fields of SYSTEMTIME (GetLocalTime).
#pragma once

#include <cstdint>

namespace quellon::platform {

struct LocalTime {
  std::int32_t year = 0;       // four digits
  std::int32_t month = 1;      // 1..12
  std::int32_t dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  std::int32_t day = 1;        // 1..31
  std::int32_t hour = 0;       // 0..23
  std::int32_t minute = 0;     // 0..59
  std::int32_t second = 0;     // 0..59
};

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual LocalTime GetLocalTime() = 0;
};

}  // namespace quellon::platform
