// Small helpers shared by the front-end subcommands of quellon-tts (numbers, expand, phonemes,
// dict, units). Arguments arrive as UTF-8 (main() rebuilds them from the wide command line on
// Windows).
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace quellon::tts {

// Writes the text as UTF-8 followed by a line feed, exactly as it stands (trailing spaces kept).
inline void PrintLine(std::u16string_view text) {
  const std::string utf8 = quellon::text::Utf16ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

// A file name given in UTF-8.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// A decimal 32-bit integer with an optional leading "-" or "+"; nullopt for anything else.
inline std::optional<std::int32_t> ParseInt32(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  std::int32_t v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace quellon::tts
