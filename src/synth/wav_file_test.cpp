#include "synth/wav_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testing/test_folder.h"

namespace quellon {
namespace {

TEST(WavFile, WritesCanonicalPcmHeaderAndLittleEndianSamples) {
  const quellon::testing::TestFolder folder;
  const auto path = folder.File("out.wav");
  const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768};
  ASSERT_TRUE(WriteWavFile(path, samples));
  const std::string b = quellon::testing::TestFolder::Read(path);
  ASSERT_EQ(b.size(), 44u + 10u);
  auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
  };
  EXPECT_EQ(b.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), 46u);
  EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u32(20), 0x00010001u);  // PCM, mono
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(28), 44100u);
  EXPECT_EQ(u32(32), 0x00100002u);  // block align 2, 16 bits
  EXPECT_EQ(b.substr(36, 4), "data");
  EXPECT_EQ(u32(40), 10u);
  EXPECT_EQ(b.substr(44), std::string("\x00\x00\x01\x00\xFF\xFF\xFF\x7F\x00\x80", 10));
  EXPECT_FALSE(WriteWavFile(path.parent_path() / "no_such_dir" / "x.wav", samples));
}

}  // namespace
}  // namespace quellon
