// The character-name data behind StringTable (internal to the strings module).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quellon::strings {

inline constexpr std::size_t kCzechCharNameCount = 256;
// The English names stop after code 128 (the euro sign); the higher codes have no English name.
inline constexpr std::size_t kEnglishCharNameCount = 129;

extern const std::array<std::u16string_view, kCzechCharNameCount> kCzechCharNames;
extern const std::array<std::u16string_view, kEnglishCharNameCount> kEnglishCharNames;

}  // namespace quellon::strings
