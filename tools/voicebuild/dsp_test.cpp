#include "dsp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>

#include "testing/test_folder.h"

namespace quellon::voicebuild {
namespace {

Signal Sine(double freq, double rate, std::size_t n, double amp) {
  Signal x(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = amp * std::sin(2 * std::numbers::pi * freq * i / rate);
  return x;
}

// A glottal-like periodic signal: a decaying resonance restarted every `period` samples.
Signal Voiced(std::size_t n, int period, double amp) {
  Signal x(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i % period);
    x[i] = amp * std::exp(-t / 40) * std::sin(2 * std::numbers::pi * t / 30);
  }
  return x;
}

TEST(DspTest, HalvingTheRateKeepsSpeechBandAndRemovesAliases) {
  const Signal low = HalveRate(Sine(1000, 44100, 44100, 10000));
  ASSERT_EQ(low.size(), 22050u);
  EXPECT_NEAR(Rms(low, 200, 21850), 10000 / std::sqrt(2.0), 30);
  // 1 kHz stays at 1 kHz: sample 2j of the input is sample j of the output.
  EXPECT_NEAR(low[1000], 10000 * std::sin(2 * std::numbers::pi * 1000 * 2000 / 44100), 40);
  // 15 kHz would fold to 7 kHz; it must be gone (more than 60 dB down).
  const Signal alias = HalveRate(Sine(15000, 44100, 44100, 10000));
  EXPECT_LT(Rms(alias, 200, 21850), 10);
}

TEST(DspTest, VoicingFollowsPeriodicityAndEnergy) {
  constexpr int kP = 176;
  Signal x = Voiced(20 * kP, kP, 8000);
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0, 3000);
  Signal noisy(20 * kP);
  for (double& v : noisy) v = noise(rng);
  x.insert(x.end(), noisy.begin(), noisy.end());  // unvoiced, loud
  x.insert(x.end(), 20 * kP, 0.0);                // silence
  Signal quiet = Voiced(20 * kP, kP, 50);         // periodic but below 3 % of the reference
  x.insert(x.end(), quiet.begin(), quiet.end());
  std::vector<std::int64_t> marks;
  for (std::int64_t m = 0; m < static_cast<std::int64_t>(x.size()); m += kP) marks.push_back(m);
  const std::vector<bool> v = DecideVoicing(x, marks, Rms(x, 0, 20 * kP));
  ASSERT_EQ(v.size(), 80u);
  for (int i = 0; i < 19; ++i) EXPECT_TRUE(v[i]) << i;
  for (int i = 21; i < 80; ++i) EXPECT_FALSE(v[i]) << i;
}

TEST(DspTest, VoicedRunClosesShortGapsOnly) {
  const std::vector<bool> v = {false, true,  false, true, true, true, false,
                               false, false, true,  true, true, true};
  auto run = VoicedRun(v, 0, 3, 1);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->first, 1u);
  EXPECT_EQ(run->last, 5u);
  run = VoicedRun(v, 6, 3, 1);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->first, 9u);
  EXPECT_EQ(run->last, 12u);
  EXPECT_FALSE(VoicedRun(v, 0, 6, 1));
  EXPECT_FALSE(VoicedRun({}, 0));
}

TEST(DspTest, PeriodSpreadGainAndQuietPoint) {
  EXPECT_EQ(PeriodSpread({88, 264, -440, 616}), 0);  // the negated stable mark counts as its size
  EXPECT_EQ(PeriodSpread({88, 264, 450, 616}), 186 - 166);
  EXPECT_EQ(PeriodSpread({1, 2}), 0);
  EXPECT_NEAR(GainToward(1000, 2000, 10), 2.0, 1e-9);
  EXPECT_NEAR(GainToward(1000, 8000, 6), FromDb(6), 1e-9);  // limited
  EXPECT_NEAR(GainToward(8000, 1000, 6), FromDb(-6), 1e-9);
  EXPECT_EQ(GainToward(0, 1000, 6), 1.0);
  const Signal x = {5, -4, 3, -1, 2, 0, 9};
  EXPECT_EQ(QuietestPoint(x, 0, 5), 3);
  EXPECT_EQ(QuietestPoint(x, -10, 100), 5);
  EXPECT_EQ(QuietestPoint(x, 4, 4), 4);
  EXPECT_EQ(Correlation(x, 0, 5, 5), 0);  // range leaves the signal
}

TEST(DspTest, WavFilesRoundTripAndDamagedOnesAreRejected) {
  const quellon::testing::TestFolder folder;
  const auto path = folder.File("dsp.wav");
  WriteWav(path, {0, 1, -1, 32767, -32768}, 22050);
  const Wave w = ReadWav(path);
  EXPECT_EQ(w.rate, 22050);
  EXPECT_EQ(w.samples, (Signal{0, 1, -1, 32767, -32768}));
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "RIFF\x10\0\0\0WAVEdata\xff\xff\xff\x7f";
  }
  EXPECT_THROW(ReadWav(path), std::runtime_error);
  EXPECT_THROW(ReadWav(folder.File("no_such_file.wav")), std::runtime_error);
}

}  // namespace
}  // namespace quellon::voicebuild
