#include "synth/progress_sound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "platform/wave_out_device.h"
#include "testing/test_folder.h"

namespace quellon {
namespace {

using platform::SimEventLoop;
using platform::SimWaveMapper;
using testing::TestFolder;

void Put16(std::string& s, std::uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(s, static_cast<std::uint16_t>(v >> 16));
}

struct Fmt {
  std::uint16_t tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t rate = 44100;
  std::uint16_t blockAlign = 2;
  std::uint16_t bits = 16;
};

// A RIFF WAVE file: an 18-byte "fmt " chunk (when `fmt` is set) and a "data" chunk (when
// `withData` is set) holding `data`.
std::string Wave(const std::string& data, Fmt fmt = {}, bool withFmt = true, bool withData = true) {
  std::string body = "WAVE";
  if (withFmt) {
    body += "fmt ";
    Put32(body, 18);
    Put16(body, fmt.tag);
    Put16(body, fmt.channels);
    Put32(body, fmt.rate);
    Put32(body, fmt.rate * fmt.blockAlign);
    Put16(body, fmt.blockAlign);
    Put16(body, fmt.bits);
    Put16(body, 0);
  }
  if (withData) {
    body += "data";
    Put32(body, static_cast<std::uint32_t>(data.size()));
    body += data;
    if (data.size() % 2) body.push_back('\0');
  }
  std::string file = "RIFF";
  Put32(file, static_cast<std::uint32_t>(body.size()));
  return file + body;
}

std::string Samples(const std::vector<std::int16_t>& samples) {
  std::string s;
  for (const std::int16_t v : samples) Put16(s, static_cast<std::uint16_t>(v));
  return s;
}

const std::vector<std::int16_t> kSound = {100, -200, 300, -400, 500, -600, 700, -800};

// The simulated desktop's wave mapper with two devices: the reserve opening takes the first, a
// tone the second.
struct Rig {
  TestFolder folder;
  SimEventLoop loop;
  SimWaveMapper mapper{loop, 2};
  ProgressSound tone{folder.Path(), mapper, loop};

  void Load(const std::string& bytes) {
    folder.Write("snd/progress.wav", bytes);
    tone.LoadProgressSound(u"snd\\progress.wav");
  }
  platform::SimWaveOut& ToneDevice() { return mapper.Device(1); }
};

TEST(ProgressSound, PlaysTheWholeSoundAtTheRateOfThePercentage) {
  Rig r;
  r.Load(Wave(Samples(kSound)));
  EXPECT_TRUE(r.tone.Loaded());
  EXPECT_EQ(r.tone.Frames(), kSound.size());
  ASSERT_EQ(r.mapper.Openings().size(), 1u);  // the reserve opening, made at load
  EXPECT_EQ(r.mapper.Openings()[0].format.nSamplesPerSec, 22050u);
  EXPECT_EQ(r.mapper.Openings()[0].format.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(r.mapper.Openings()[0].format.nBlockAlign, 2u);

  r.tone.PlayProgressTone(37);

  ASSERT_EQ(r.mapper.Openings().size(), 2u);
  const platform::WaveFormatEx& f = r.mapper.Openings()[1].format;
  EXPECT_EQ(f.wFormatTag, platform::WAVE_FORMAT_PCM);
  EXPECT_EQ(f.nChannels, 1u);
  EXPECT_EQ(f.nSamplesPerSec, 15095u);
  EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(f.nBlockAlign, 2u);
  EXPECT_EQ(f.wBitsPerSample, 16u);
  EXPECT_EQ(r.ToneDevice().PlayedSamples(), kSound);
  EXPECT_FALSE(r.ToneDevice().PlayedBlocks().at(0).cut);
  // Returned after the end: the tone's device is closed again, the reserve stays open.
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
  EXPECT_FALSE(r.ToneDevice().IsOpen());
  EXPECT_TRUE(r.mapper.Device(0).IsOpen());
  EXPECT_EQ(r.mapper.OpenCount(), 1u);

  r.tone.CloseProgressSound();
  EXPECT_EQ(r.mapper.OpenCount(), 0u);
  EXPECT_FALSE(r.tone.ReserveOpen());
}

TEST(ProgressSound, RateRisesWithThePercentageAndIsZeroOnOverflow) {
  EXPECT_EQ(ProgressSound::RateFor(37), 15095u);
  EXPECT_EQ(ProgressSound::RateFor(0), 11025u);
  EXPECT_EQ(ProgressSound::RateFor(100), 22025u);
  EXPECT_EQ(ProgressSound::RateFor(19'422'000), 2'136'431'025u);
  EXPECT_EQ(ProgressSound::RateFor(19'523'000), 0u);  // 110 x that no longer fits 32 bits
  EXPECT_EQ(ProgressSound::RateFor(INT32_MAX), 0u);
}

TEST(ProgressSound, PercentZeroPlaysAtTheBaseRate) {
  Rig r;
  r.Load(Wave(Samples(kSound)));
  r.tone.PlayProgressTone(0);
  ASSERT_EQ(r.mapper.Openings().size(), 2u);
  EXPECT_EQ(r.mapper.Openings()[1].format.nSamplesPerSec, 11025u);
  EXPECT_EQ(r.ToneDevice().PlayedSamples(), kSound);
}

TEST(ProgressSound, ARateThatOverflowsOpensNothingAndEndsCleanly) {
  Rig r;
  r.Load(Wave(Samples(kSound)));
  r.tone.PlayProgressTone(INT32_MAX);  // rate 0: the device refuses the format
  EXPECT_EQ(r.mapper.Openings().size(), 1u);
  EXPECT_TRUE(r.ToneDevice().PlayedSamples().empty());
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
}

TEST(ProgressSound, AnotherToneDuringTheWaitFindsTheFlagSetAndPlaysNothing) {
  Rig r;
  // Long enough that the 10 ms timer below fires while the tone sounds.
  r.Load(Wave(Samples(std::vector<std::int16_t>(4000, 1000))));
  int ticks = 0;
  int sawPlaying = 0;
  const platform::TimerId timer = r.loop.SetTimer(10, [&] {
    ++ticks;
    if (r.tone.ProgressTonePlaying()) {
      ++sawPlaying;
      r.tone.PlayProgressTone(90);  // turned away: the header is in use
    }
  });
  r.tone.PlayProgressTone(50);
  r.loop.KillTimer(timer);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(sawPlaying, ticks);               // every tick ran inside the wait
  EXPECT_EQ(r.mapper.Openings().size(), 2u);  // the reserve and one tone, no nested one
  EXPECT_EQ(r.ToneDevice().PlayedSamples().size(), 4000u);
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
}

// A device that accepts blocks and never finishes them (until it is reset).
class StuckWaveOut : public platform::WaveOutDevice {
 public:
  explicit StuckWaveOut(platform::EventLoop& loop) : WaveOutDevice(loop) {}
  int resets = 0;

 protected:
  platform::MmResult DeviceOpen(const platform::WaveFormatEx&) override {
    return platform::MMSYSERR_NOERROR;
  }
  void DeviceWrite(std::span<const std::int16_t>) override {}
  void DeviceReset() override { ++resets; }
  void DeviceClose() override {}
};

TEST(ProgressSound, ADeviceThatNeverFinishesIsResetAndClosedAfterTheBoundedWait) {
  TestFolder folder;
  folder.Write("snd/progress.wav", Wave(Samples(kSound)));
  SimEventLoop loop;
  StuckWaveOut device(loop);
  ProgressSound tone(folder.Path(), device, loop);
  // The device has room for one opening: another program holds it while the sound is loaded,
  // so the reserve opening fails and the tone gets the device later.
  platform::HWaveOut other = 0;
  const platform::WaveFormatEx format{platform::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
  ASSERT_EQ(device.Open(&other, 0, format, 0, 0, platform::CALLBACK_NULL),
            platform::MMSYSERR_NOERROR);
  tone.LoadProgressSound(u"snd\\progress.wav");
  EXPECT_TRUE(tone.Loaded());
  EXPECT_FALSE(tone.ReserveOpen());
  ASSERT_EQ(device.Close(other), platform::MMSYSERR_NOERROR);

  bool sawPlaying = false;
  const platform::TimerId timer =
      loop.SetTimer(100, [&] { sawPlaying = sawPlaying || tone.ProgressTonePlaying(); });
  tone.PlayProgressTone(37);
  loop.KillTimer(timer);
  EXPECT_TRUE(sawPlaying);
  EXPECT_EQ(device.resets, 1);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.QueuedBlocks(), 0u);
  EXPECT_FALSE(tone.ProgressTonePlaying());
  // Ended by its own bound (the sound's length and a second), long before the loop's run
  // limit of an hour would have ended it.
  EXPECT_LT(loop.Now(), 5'000'000);
  // The program goes on: the next tone opens the device again.
  tone.PlayProgressTone(50);
  EXPECT_EQ(device.resets, 2);
  EXPECT_EQ(device.OpenCount(), 3);
  EXPECT_FALSE(device.IsOpen());
}

TEST(ProgressSound, AFileThatIsNot16BitMonoIsRejectedAndPlaysNothing) {
  struct Case {
    const char* what;
    Fmt fmt;
  };
  const Case cases[] = {
      {"8-bit", {1, 1, 22050, 1, 8}},
      {"stereo", {1, 2, 22050, 4, 16}},
      {"not PCM", {3, 1, 22050, 4, 32}},
      {"odd alignment", {1, 1, 22050, 1, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r;
    r.Load(Wave(std::string(64, '\x40'), c.fmt));
    EXPECT_FALSE(r.tone.Loaded());
    EXPECT_EQ(r.tone.Frames(), 0u);
    r.tone.PlayProgressTone(37);
    EXPECT_EQ(r.mapper.Openings().size(), 1u);  // only the reserve
    EXPECT_TRUE(r.ToneDevice().PlayedSamples().empty());
    EXPECT_FALSE(r.tone.ProgressTonePlaying());
  }
}

TEST(ProgressSound, AFileWithoutFmtOrDataCountsAsLoadedAndSoundsNothing) {
  for (const bool withFmt : {false, true}) {
    SCOPED_TRACE(withFmt ? "no data chunk" : "no fmt chunk");
    Rig r;
    r.Load(Wave(Samples(kSound), {}, withFmt, !withFmt));
    EXPECT_TRUE(r.tone.Loaded());
    EXPECT_EQ(r.tone.Frames(), 0u);
    r.tone.PlayProgressTone(37);
    EXPECT_EQ(r.mapper.Openings().size(), 2u);  // an empty block is played
    EXPECT_TRUE(r.ToneDevice().PlayedSamples().empty());
    EXPECT_FALSE(r.tone.ProgressTonePlaying());
    EXPECT_FALSE(r.ToneDevice().IsOpen());
  }
  Rig r;
  r.Load("not a RIFF file at all");
  EXPECT_TRUE(r.tone.Loaded());
  r.tone.PlayProgressTone(37);
  EXPECT_TRUE(r.ToneDevice().PlayedSamples().empty());
}

TEST(ProgressSound, AnOddDataSizeRoundsToTheNearestFrameFilledWithZero) {
  Rig r;
  // 7 bytes: 3.5 frames round to 4 (half to even); the missing byte is zero.
  r.Load(Wave(Samples({1, 2, 3}) + std::string(1, '\x05')));
  EXPECT_EQ(r.tone.Frames(), 4u);
  r.tone.PlayProgressTone(10);
  EXPECT_EQ(r.ToneDevice().PlayedSamples(), (std::vector<std::int16_t>{1, 2, 3, 5}));
}

TEST(ProgressSound, AMissingFileLeavesItUnloadedAndPlaysNothing) {
  Rig r;
  r.tone.LoadProgressSound(u"snd\\progress.wav");
  EXPECT_FALSE(r.tone.Loaded());
  EXPECT_TRUE(r.tone.ReserveOpen());  // the reserve is opened before the file is looked for
  r.tone.PlayProgressTone(37);
  EXPECT_EQ(r.mapper.Openings().size(), 1u);
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
  // A folder of that name is no file either.
  r.folder.Write("snd/progress.wav/x", "");
  r.tone.LoadProgressSound(u"snd\\progress.wav");
  EXPECT_FALSE(r.tone.Loaded());
  EXPECT_EQ(r.mapper.Openings().size(), 1u);  // the reserve is opened once only
}

TEST(ProgressSound, NoDeviceEndsEveryToneCleanly) {
  TestFolder folder;
  folder.Write("snd/progress.wav", Wave(Samples(kSound)));
  SimEventLoop loop;
  SimWaveMapper none(loop, 0);
  ProgressSound tone(folder.Path(), none, loop);
  tone.LoadProgressSound(u"snd\\progress.wav");
  EXPECT_TRUE(tone.Loaded());
  EXPECT_FALSE(tone.ReserveOpen());
  tone.PlayProgressTone(37);
  EXPECT_FALSE(tone.ProgressTonePlaying());
  tone.CloseProgressSound();
}

TEST(ProgressSound, AFailingOpenEndsTheToneCleanly) {
  Rig r;
  r.Load(Wave(Samples(kSound)));
  r.ToneDevice().FailOpen(platform::MMSYSERR_NODRIVER);
  r.tone.PlayProgressTone(37);
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
  EXPECT_TRUE(r.ToneDevice().PlayedSamples().empty());
  r.tone.PlayProgressTone(37);  // the next one plays
  EXPECT_EQ(r.ToneDevice().PlayedSamples(), kSound);
}

TEST(ProgressSound, CloseDuringTheWaitStopsTheToneAndFreesTheSound) {
  Rig r;
  r.Load(Wave(Samples(std::vector<std::int16_t>(22050, 7))));
  const platform::TimerId timer = r.loop.SetTimer(100, [&] { r.tone.CloseProgressSound(); });
  r.tone.PlayProgressTone(100);
  r.loop.KillTimer(timer);
  EXPECT_FALSE(r.tone.ProgressTonePlaying());
  EXPECT_EQ(r.mapper.OpenCount(), 0u);
  ASSERT_EQ(r.ToneDevice().PlayedBlocks().size(), 1u);
  EXPECT_TRUE(r.ToneDevice().PlayedBlocks()[0].cut);
  r.tone.PlayProgressTone(100);  // nothing is loaded any more
  EXPECT_EQ(r.mapper.Openings().size(), 2u);
}

}  // namespace
}  // namespace quellon
