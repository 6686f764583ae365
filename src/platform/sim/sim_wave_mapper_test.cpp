#include "platform/sim/sim_wave_mapper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quellon::platform {
namespace {

const WaveFormatEx kFormat{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};

TEST(SimWaveMapper, EachOpeningOfTheMapperTakesTheNextFreeDevice) {
  SimEventLoop loop;
  SimWaveMapper mapper(loop, 2);
  HWaveOut a = 0, b = 0, c = 0;
  EXPECT_EQ(mapper.Open(&a, WAVE_MAPPER, kFormat, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(mapper.Open(&b, WAVE_MAPPER, kFormat, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_NE(a, b);
  EXPECT_EQ(mapper.Open(&c, WAVE_MAPPER, kFormat, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
  EXPECT_TRUE(mapper.Device(0).IsOpen());
  EXPECT_TRUE(mapper.Device(1).IsOpen());
  ASSERT_EQ(mapper.Openings().size(), 2u);
  EXPECT_EQ(mapper.Openings()[1].device, 1u);

  // Blocks go to the device of their opening.
  std::vector<std::int16_t> samples = {1, 2, 3};
  WaveHdr h;
  h.lpData = reinterpret_cast<char*>(samples.data());
  h.dwBufferLength = 6;
  EXPECT_EQ(mapper.PrepareHeader(b, &h, sizeof h), MMSYSERR_NOERROR);
  EXPECT_EQ(mapper.Write(b, &h, sizeof h), MMSYSERR_NOERROR);
  loop.AdvanceBy(1'000'000);
  EXPECT_TRUE(h.dwFlags & WHDR_DONE);
  EXPECT_EQ(mapper.Device(1).PlayedSamples(), samples);
  EXPECT_TRUE(mapper.Device(0).PlayedSamples().empty());
  EXPECT_EQ(mapper.UnprepareHeader(b, &h, sizeof h), MMSYSERR_NOERROR);

  EXPECT_EQ(mapper.Close(a), MMSYSERR_NOERROR);
  EXPECT_EQ(mapper.Close(a), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(mapper.Open(&c, WAVE_MAPPER, kFormat, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(mapper.Openings().back().device, 0u);
  EXPECT_EQ(mapper.Open(&c, 2, kFormat, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
}

TEST(SimWaveMapper, AnOpeningWithoutCallbackPostsNoNotices) {
  SimEventLoop loop;
  SimWaveMapper mapper(loop, 1);
  const Hwnd window = loop.CreateHiddenWindow();
  std::vector<std::uint32_t> notices;
  loop.SetWindowProc(window, [&](Hwnd, std::uint32_t message, WParam, LParam) -> LResult {
    notices.push_back(message);
    return 0;
  });
  std::vector<std::int16_t> samples = {1, 2};
  for (const std::uint32_t flags : {CALLBACK_NULL, CALLBACK_WINDOW}) {
    notices.clear();
    HWaveOut h = 0;
    ASSERT_EQ(mapper.Open(&h, WAVE_MAPPER, kFormat, window, 0, flags), MMSYSERR_NOERROR);
    WaveHdr hdr;
    hdr.lpData = reinterpret_cast<char*>(samples.data());
    hdr.dwBufferLength = 4;
    mapper.PrepareHeader(h, &hdr, sizeof hdr);
    mapper.Write(h, &hdr, sizeof hdr);
    loop.AdvanceBy(1'000'000);
    EXPECT_TRUE(hdr.dwFlags & WHDR_DONE);  // the header says so either way
    mapper.UnprepareHeader(h, &hdr, sizeof hdr);
    mapper.Close(h);
    loop.AdvanceBy(1000);
    if (flags == CALLBACK_NULL) {
      EXPECT_TRUE(notices.empty());
    } else {
      EXPECT_EQ(notices, (std::vector<std::uint32_t>{MM_WOM_OPEN, MM_WOM_DONE, MM_WOM_CLOSE}));
    }
  }
  HWaveOut h = 0;
  EXPECT_EQ(mapper.Open(&h, WAVE_MAPPER, kFormat, window, 0, 0x30000), MMSYSERR_INVALFLAG);
}

}  // namespace
}  // namespace quellon::platform
