#include "unit_cutter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace quellon::voicebuild {
namespace {

constexpr int kP = kPeriod;

// Builds a recording phone by phone; each phone's samples come from `fill`.
struct Builder {
  Recording r;
  std::mt19937 rng{11};
  void Add(const std::string& phone, double seconds, char kind, double amp = 6000) {
    const auto n = static_cast<std::size_t>(std::llround(seconds * kVoiceRate));
    std::normal_distribution<double> noise(0, amp / 3);
    for (std::size_t i = 0; i < n; ++i) {
      const auto at = static_cast<double>(r.samples.size() % kP);
      double v = 0;
      // 'r': voiced, swelling from a third of `amp` to `amp` over the phone.
      const double swell = kind == 'r' ? (1 + 2.0 * static_cast<double>(i) / n) / 3 : 1.0;
      if (kind == 'v' || kind == 'r') {
        v = swell * amp * std::exp(-at / 40) * std::sin(2 * std::numbers::pi * at / 30);
      }
      if (kind == 'n') v = noise(rng);
      r.samples.push_back(v);
    }
    r.phones.push_back(phone);
    r.phoneEnds.push_back(static_cast<std::int64_t>(r.samples.size()));
  }
  Recording Done() {
    for (std::int64_t m = 0; m < static_cast<std::int64_t>(r.samples.size()); m += kP) {
      r.marks.push_back(m);
    }
    return r;
  }
};

Recording PairCarrier(char consonantKind) {
  Builder b;
  b.Add("#", 0.10, 's');
  b.Add("a", 0.10, 'v');
  b.Add("c", 0.10, consonantKind, consonantKind == 'v' ? 3000 : 6000);
  b.Add("a", 0.05, 'v');
  b.Add("a", 0.28, 'v');
  b.Add("a", 0.08, 'v');
  b.Add("#", 0.10, 's');
  return b.Done();
}

TEST(UnitCutterTest, CarriersFollowTheUnitKind) {
  const UnitSpec pair{u"ba", UnitKind::kPair, {{"b", 0.065}}, "a", true, true};
  const auto c = DesignCarrier(pair, 7);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->id, "c007");
  std::string phones;
  for (const auto& p : c->phones) phones += p.phone + " ";
  EXPECT_EQ(phones, "# a b a a a # ");
  const UnitSpec vowelI{u"i", UnitKind::kVowel, {}, "i", true, true};
  phones.clear();
  const auto carrierI = DesignCarrier(vowelI, 0);
  ASSERT_TRUE(carrierI);
  for (const auto& p : carrierI->phones) phones += p.phone + " ";
  EXPECT_EQ(phones, "# i # ");  // the voice lacks i-i: one long i
  EXPECT_FALSE(DesignCarrier({u"-", UnitKind::kPause, {}, "", false, false}, 0));
}

TEST(UnitCutterTest, UnvoicedOnsetPairKeepsTheConsonantAndMarksTheVowel) {
  const Recording r = PairCarrier('n');
  const UnitSpec spec{u"sa", UnitKind::kPair, {{"s", 0.10}}, "a", false, true};
  const CutUnit u = CutFromRecording(spec, r);
  const std::int64_t cStart = r.phoneEnds[1];
  const std::int64_t v1Start = r.phoneEnds[2];
  const std::int64_t v2Start = r.phoneEnds[3];
  const std::int64_t start = v1Start - (v1Start - cStart);  // the cut starts at the consonant
  EXPECT_EQ(u.samples.size() > 0, true);
  ASSERT_FALSE(u.marks.empty());
  // The first mark lies at the vowel onset, beyond 300 samples: no cross-fade into the noise.
  EXPECT_GE(u.marks[0], v1Start - start - kP);
  EXPECT_LE(u.marks[0], v1Start - start + kP);
  ASSERT_TRUE(u.stable);
  EXPECT_GE(u.marks[*u.stable], v2Start - start);
  EXPECT_LT(u.marks[*u.stable], v2Start - start + kP);
  EXPECT_GT(static_cast<std::int64_t>(u.samples.size()) - u.marks[*u.stable], 5500);
  const VoiceUnit v = ToVoiceUnit(u);
  EXPECT_EQ(PeriodSpread(v.marks), 0);
  int negated = 0;
  for (auto m : v.marks) negated += m < 0 ? 1 : 0;
  EXPECT_EQ(negated, 1);
}

TEST(UnitCutterTest, VoicedOnsetPairStartsJustBeforeItsFirstMark) {
  const Recording r = PairCarrier('v');
  const UnitSpec spec{u"ma", UnitKind::kPair, {{"m", 0.10}}, "a", true, true};
  const CutUnit u = CutFromRecording(spec, r);
  ASSERT_FALSE(u.marks.empty());
  EXPECT_EQ(u.marks[0], kOnsetLead);
  ASSERT_TRUE(u.stable);
  // Every period from the start to the end is kept.
  EXPECT_EQ(u.marks.size(), (u.samples.size() - kOnsetLead) / kP + 1);
}

TEST(UnitCutterTest, SwellingVowelIsLevelledAfterTheStableMark) {
  Builder b;
  b.Add("#", 0.10, 's');
  b.Add("a", 0.10, 'v');
  b.Add("m", 0.08, 'v', 3000);
  b.Add("a", 0.05, 'v', 2000);
  b.Add("a", 0.28, 'r');  // 9.5 dB swell
  b.Add("a", 0.08, 'v');
  b.Add("#", 0.10, 's');
  const UnitSpec spec{u"ma", UnitKind::kPair, {{"m", 0.08}}, "a", true, true};
  const Recording r = b.Done();
  const CutUnit u = CutFromRecording(spec, r);
  ASSERT_TRUE(u.stable);
  double lo = 1e9, hi = 0;
  for (std::size_t i = *u.stable; i + 1 < u.marks.size(); ++i) {
    const double e = Rms(u.samples, u.marks[i], u.marks[i + 1]);
    lo = std::min(lo, e);
    hi = std::max(hi, e);
  }
  EXPECT_LT(ToDb(hi / lo), 3.0);  // from about 8 dB; the first period eases in
  // The consonant before the stable mark keeps its own level: the unit starts 88 samples before
  // the first mark in the consonant.
  const std::int64_t start = (r.phoneEnds[1] + kP - 1) / kP * kP - kOnsetLead;
  EXPECT_NEAR(Rms(u.samples, u.marks[1], u.marks[2]),
              Rms(r.samples, start + u.marks[1], start + u.marks[2]), 1e-9);
}

TEST(UnitCutterTest, PlosiveGetsItsBurstAndVoicingMarks) {
  Builder b;
  b.Add("#", 0.10, 's');
  b.Add("a", 0.10, 'v');
  b.Add("s", 0.02, 's');  // closure, 20 ms: padded to 40
  b.Add("n", 0.03, 'n');  // burst and aspiration
  b.Add("a", 0.12, 'v');
  b.Add("#", 0.10, 's');
  Recording r = b.Done();
  // Merge closure and aspiration into one "p" phone, as the carrier has it.
  r.phones = {"#", "a", "p", "a", "#"};
  r.phoneEnds.erase(r.phoneEnds.begin() + 2);
  const UnitSpec spec{u"p", UnitKind::kPlosive, {{"p", 0.11}}, "", false, false};
  const CutUnit u = CutFromRecording(spec, r);
  ASSERT_EQ(u.marks.size(), 2u);
  EXPECT_GE(u.marks[0], kMinClosureSeconds * kVoiceRate);
  EXPECT_EQ(u.marks[1], static_cast<std::int64_t>(u.samples.size()) - 1);
  EXPECT_GT(u.marks[1], u.marks[0]);
  // The burst sits 2 ms before the first mark: the closure before it is silent.
  EXPECT_LT(Rms(u.samples, 0, u.marks[0] - 60), 1.0);
  EXPECT_GT(Rms(u.samples, u.marks[0] - 44, u.marks[0] + 100), 500);
}

TEST(UnitCutterTest, SilentCarrierIsAClearError) {
  Builder b;
  b.Add("#", 0.1, 's');
  b.Add("a", 0.5, 's');
  b.Add("#", 0.1, 's');
  const UnitSpec spec{u"a", UnitKind::kVowel, {}, "a", true, true};
  try {
    CutFromRecording(spec, b.Done());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("\"a\""), std::string::npos);
  }
}

CutUnit Stable(const std::u16string& name, UnitKind kind, double rms) {
  CutUnit u{{name, kind, {}, "", true, true}, Signal(1000, rms), {}, 0, rms, 1};
  for (std::int64_t m = 88; m < 1000; m += 176) u.marks.push_back(m);
  return u;
}

TEST(UnitCutterTest, LoudnessIsEqualisedAroundTheLoneVowels) {
  std::vector<CutUnit> units = {
      Stable(u"a", UnitKind::kVowel, 2000), Stable(u"i", UnitKind::kVowel, 1000),
      Stable(u"ba", UnitKind::kPair, 1500), Stable(u"dy", UnitKind::kPair, 1600),
      Stable(u"la", UnitKind::kPair, 200)};
  units.push_back({{u"s", UnitKind::kConsonant, {}, "", false, false},
                   Signal{30000, -100},
                   {},
                   std::nullopt,
                   0,
                   1});
  EqualiseLoudness(units, 4125, 6, 32000);
  const auto final = [&](std::size_t k) { return units[k].stableRms * units[k].gain; };
  // The vowels keep 4 dB of their 6 dB difference, 2 dB either side of the target.
  EXPECT_NEAR(ToDb(final(0) / 4125), 2.0, 1e-9);
  EXPECT_NEAR(ToDb(final(1) / 4125), -2.0, 1e-9);
  // Pairs are matched to the lone vowel they end in ("y" counts as "i")...
  EXPECT_NEAR(ToDb(final(2) / final(0)), 0.0, 1e-9);
  EXPECT_NEAR(ToDb(final(3) / final(1)), 0.0, 1e-9);
  // ...by at most 6 dB: "la" needs 20 dB less the 0.5 dB that "a" was lowered, and gets 6.
  EXPECT_NEAR(ToDb(final(4) / final(0)), 6.0 - (ToDb(2000 / 200.0) - 0.5), 0.01);
  // The consonant gets the global gain, lowered to keep its peak under the limit.
  EXPECT_NEAR(30000 * units[5].gain, 32000, 1e-6);
}

TEST(UnitCutterTest, ChecksFindFaultyUnits) {
  std::vector<UnitSpec> specs = {{u"a", UnitKind::kVowel, {}, "a", true, true},
                                 {u"ma", UnitKind::kPair, {}, "a", true, true},
                                 {u"sa", UnitKind::kPair, {}, "a", false, true},
                                 {u"t", UnitKind::kPlosive, {}, "", false, false}};
  auto vowel = [](std::int16_t first, int period, std::size_t n, std::int16_t level) {
    VoiceUnit u{u"a", std::vector<std::int16_t>(n, level), {}};
    for (int m = first; m < static_cast<int>(n); m += period) {
      u.marks.push_back(static_cast<std::int16_t>(m));
    }
    u.marks[2] = static_cast<std::int16_t>(-u.marks[2]);
    return u;
  };
  std::vector<VoiceUnit> good = {vowel(88, 176, 6000, 3000),
                                 vowel(88, 176, 6000, 3000),
                                 vowel(400, 176, 6000, 3000),
                                 {u"t", std::vector<std::int16_t>(1200, 0), {1000, 1199}}};
  good[1].name = u"ma";
  good[2].name = u"sa";
  QualityLimits limits;
  for (const auto& c : CheckUnits(good, specs, limits)) EXPECT_TRUE(c.pass) << c.name;

  std::vector<VoiceUnit> bad = good;
  bad[1] = vowel(320, 176, 6000, 3000);  // voiced onset but first mark at 320
  bad[1].name = u"ma";
  bad[1].marks[5] = static_cast<std::int16_t>(bad[1].marks[5] + 20);  // an irregular period
  bad[2] = vowel(400, 176, 2000, 3000);                               // too little after stable
  bad[2].samples[10] = 32767;                                         // clipping
  bad[3].marks = {500, 1199};                                         // closure too short
  std::vector<std::string> failed;
  for (const auto& c : CheckUnits(bad, specs, limits)) {
    if (!c.pass) failed.push_back(c.name);
  }
  EXPECT_EQ(failed.size(), 5u);
  // A vowel still swelling after its stable mark.
  std::vector<VoiceUnit> swelling = good;
  for (std::size_t i = 0; i < 2000; ++i) swelling[1].samples[i] = static_cast<std::int16_t>(i / 2);
  bool steadyFailed = false;
  for (const auto& c : CheckUnits(swelling, specs, limits)) {
    if (c.name == "steady level after the stable mark") steadyFailed = !c.pass;
  }
  EXPECT_TRUE(steadyFailed);
  // An unvoiced-onset unit whose first mark would make the engine cross-fade into it.
  std::vector<VoiceUnit> early = good;
  early[2] = vowel(100, 176, 6000, 3000);
  early[2].name = u"sa";
  bool firstFailed = false;
  for (const auto& c : CheckUnits(early, specs, limits)) {
    if (c.name.rfind("first mark", 0) == 0) firstFailed = !c.pass;
  }
  EXPECT_TRUE(firstFailed);
  // A stable part 3 dB louder than its lone vowel fails the loudness check.
  std::vector<VoiceUnit> loud = good;
  for (auto& s : loud[1].samples) s = 4240;
  bool loudnessFailed = false;
  for (const auto& c : CheckUnits(loud, specs, limits)) {
    if (c.name == "stable-part loudness") loudnessFailed = !c.pass;
  }
  EXPECT_TRUE(loudnessFailed);
}

}  // namespace
}  // namespace quellon::voicebuild
