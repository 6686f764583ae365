#include "platform/riff_wave.h"

#include <gtest/gtest.h>

namespace quellon::platform {
namespace {

std::vector<std::uint8_t> Wave(std::uint32_t riffSize, std::uint32_t dataSize,
                               std::size_t dataHeld) {
  std::vector<std::uint8_t> b;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto id = [&](const char* s) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(s[i]));
  };
  id("RIFF");
  put32(riffSize);
  id("WAVE");
  id("fmt ");
  put32(16);
  put16(1);
  put16(1);
  put32(22050);
  put32(44100);
  put16(2);
  put16(16);
  id("data");
  put32(dataSize);
  for (std::size_t i = 0; i < dataHeld; ++i) b.push_back(0x11);
  return b;
}

TEST(RiffWave, ReadsChunksAndNeverTrustsSizesPastTheFile) {
  auto ok = ParseRiffWave(Wave(36 + 8, 8, 8));
  ASSERT_TRUE(ok);
  EXPECT_TRUE(ok->hasFormat);
  EXPECT_EQ(ok->format.nSamplesPerSec, 22050u);
  EXPECT_EQ(ok->format.nBlockAlign, 2);
  EXPECT_EQ(ok->data.size(), 8u);
  // A data chunk claiming 4 GB holds only what the file has.
  auto damaged = ParseRiffWave(Wave(0xFFFFFFFF, 0xFFFFFFF0, 10));
  ASSERT_TRUE(damaged);
  EXPECT_EQ(damaged->data.size(), 10u);
  EXPECT_EQ(RiffWaveDurationMicros(*damaged), 5 * 1000000 / 22050);
  // Not a RIFF WAVE file, or cut inside its header.
  EXPECT_FALSE(ParseRiffWave({'R', 'I', 'F', 'F'}));
  auto cut = Wave(36, 0, 0);
  cut.resize(30);  // the "fmt " chunk is cut short: no format
  auto partial = ParseRiffWave(cut);
  ASSERT_TRUE(partial);
  EXPECT_FALSE(partial->hasFormat);
  EXPECT_FALSE(partial->hasData);
  EXPECT_FALSE(ReadRiffWave("/nonexistent/x.wav"));
}

}  // namespace
}  // namespace quellon::platform
