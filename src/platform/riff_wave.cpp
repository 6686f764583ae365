#include "platform/riff_wave.h"

#include <fstream>
#include <iterator>

namespace quellon::platform {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
bool IsId(const std::vector<std::uint8_t>& b, std::size_t at, const char* id) {
  for (int i = 0; i < 4; ++i) {
    if (b[at + i] != static_cast<std::uint8_t>(id[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<RiffWave> ParseRiffWave(const std::vector<std::uint8_t>& b) {
  // The RIFF chunk: "RIFF", size, "WAVE"; its size is cut to what the file holds.
  if (b.size() < 12 || !IsId(b, 0, "RIFF") || !IsId(b, 8, "WAVE")) return std::nullopt;
  const std::size_t riffEnd = std::min<std::size_t>(b.size(), std::size_t{8} + Le32(b, 4));
  RiffWave wave;
  std::size_t at = 12;
  while (at + 8 <= riffEnd) {
    const std::uint32_t size = Le32(b, at + 4);
    const std::size_t body = at + 8;
    const std::size_t end = std::min<std::size_t>(riffEnd, body + std::size_t{size});
    if (!wave.hasFormat && IsId(b, at, "fmt ") && end - body >= 16) {
      wave.hasFormat = true;
      wave.format.wFormatTag = Le16(b, body);
      wave.format.nChannels = Le16(b, body + 2);
      wave.format.nSamplesPerSec = Le32(b, body + 4);
      wave.format.nAvgBytesPerSec = Le32(b, body + 8);
      wave.format.nBlockAlign = Le16(b, body + 12);
      wave.format.wBitsPerSample = Le16(b, body + 14);
      wave.format.cbSize = end - body >= 18 ? Le16(b, body + 16) : 0;
    } else if (!wave.hasData && IsId(b, at, "data")) {
      wave.hasData = true;
      wave.data.assign(b.begin() + static_cast<std::ptrdiff_t>(body),
                       b.begin() + static_cast<std::ptrdiff_t>(end));
    }
    // Chunks are word aligned; a size that runs past the end ends the walk.
    const std::size_t next = body + std::size_t{size} + (size & 1u);
    if (next <= at) break;
    at = next;
  }
  return wave;
}

std::optional<RiffWave> ReadRiffWave(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  return ParseRiffWave(bytes);
}

std::int64_t RiffWaveDurationMicros(const RiffWave& wave) {
  if (!wave.hasFormat || wave.format.nBlockAlign == 0 || wave.format.nSamplesPerSec == 0) return 0;
  const std::int64_t frames = static_cast<std::int64_t>(wave.data.size() / wave.format.nBlockAlign);
  return frames * 1000000 / wave.format.nSamplesPerSec;
}

}  // namespace quellon::platform
