// Reading a RIFF WAVE file the way the multimedia file functions walk it: find the RIFF chunk of
// form type "WAVE", then the "fmt " and "data" chunks inside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/wave_out.h"

namespace quellon::platform {

struct RiffWave {
  bool hasFormat = false;          // a "fmt " chunk of at least 16 bytes was found
  WaveFormatEx format;             // its first 18 bytes (cbSize 0 when the chunk has only 16)
  bool hasData = false;            // a "data" chunk was found
  std::vector<std::uint8_t> data;  // its bytes (cut at the end of the file)
};

// Documented outcomes: nullopt when the file cannot be opened or holds no RIFF "WAVE" chunk;
// otherwise what was found (a missing "fmt " or "data" chunk leaves its flag false). Chunk sizes
// are never trusted beyond the file's real size, so a damaged header cannot make it read past
// the end or allocate more than the file holds.
std::optional<RiffWave> ReadRiffWave(const std::filesystem::path& file);
std::optional<RiffWave> ParseRiffWave(const std::vector<std::uint8_t>& bytes);

// Playing time of `wave` in microseconds (0 without a usable format).
std::int64_t RiffWaveDurationMicros(const RiffWave& wave);

}  // namespace quellon::platform
