#include "synth/psola.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "testing/test_folder.h"

namespace quellon {
namespace {

namespace fs = std::filesystem;

// Builds a packed voice in a temporary folder.
class VoiceBuilder {
 public:
  void Entry(const std::string& name, const std::vector<std::int16_t>& values) {
    Record(name, static_cast<std::int32_t>(store_.size()),
           static_cast<std::int32_t>(values.size()));
    store_.insert(store_.end(), values.begin(), values.end());
  }
  void Record(const std::string& name, std::int32_t offset, std::int32_t length) {
    idx_.push_back(static_cast<char>(name.size()));
    idx_.push_back('\0');
    idx_ += name;
    for (std::int32_t v : {offset, length}) {
      const auto u = static_cast<std::uint32_t>(v);
      for (int b = 0; b < 4; ++b) idx_.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
    }
  }
  void Write(const fs::path& folder, const std::string& name) const {
    std::ofstream(folder / (name + ".idx"), std::ios::binary) << idx_;
    std::string vce;
    for (std::int16_t v : store_) {
      vce.push_back(static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF));
      vce.push_back(static_cast<char>(static_cast<std::uint16_t>(v) >> 8));
    }
    std::ofstream(folder / (name + ".vce"), std::ios::binary) << vce;
  }

 private:
  std::string idx_;
  std::vector<std::int16_t> store_;
};

std::vector<std::int16_t> Constant(int n, std::int16_t v) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(n), v);
}

// A periodic unit: `n` samples of a sine with period 100, marks every 100 samples from 50.
std::vector<std::int16_t> Sine(int n, double amplitude) {
  std::vector<std::int16_t> x;
  for (int k = 0; k < n; ++k) {
    x.push_back(static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * k / 100))));
  }
  return x;
}
std::vector<std::int16_t> Marks(int count, int negated = -1) {
  std::vector<std::int16_t> m;
  for (int k = 0; k < count; ++k) m.push_back(static_cast<std::int16_t>(50 + 100 * k));
  if (negated >= 0) m[static_cast<std::size_t>(negated)] *= -1;
  return m;
}

class PsolaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoiceBuilder v;
    v.Entry("s", Constant(100, 1400));  // unvoiced: copy path
    v.Entry("loud", Constant(10, 30000));
    v.Entry("a", Sine(1050, 10000));  // voiced, 10 marks, no stable mark
    v.Entry("!a", Marks(10));
    v.Entry("ma", Sine(1050, 10000));  // stable mark at index 2
    v.Entry("!ma", Marks(10, 2));
    v.Entry("ne", Sine(1050, 10000));  // stable mark among the last three
    v.Entry("!ne", Marks(10, 8));
    v.Entry("ta", Sine(1050, 10000));  // plosive: cut at the second mark
    v.Entry("!ta", {100, 300, 500});
    v.Entry("t", Sine(1050, 10000));  // two marks only: a word-final plosive
    v.Entry("!t", {100, 300});
    v.Entry("ghost!", {});       // length 0: a parameter entry, not stored
    v.Entry("!lost", Marks(5));  // marks without samples
    v.Write(folder_, "v");
    ASSERT_TRUE(db_.LoadVoice(u"v"));
    state_.Volume = 14;
  }
  SampleArray Say(std::u16string_view units) { return synth_.Synthesize(units); }

  const quellon::testing::TestFolder tmp_;
  const fs::path folder_ = tmp_.Path();
  VoiceDatabase db_{folder_};
  SynthesisControls state_;
  Synthesizer synth_{db_, state_};
};

TEST_F(PsolaTest, CopyPathPausesVolumeAndCarriedFields) {
  EXPECT_EQ(Say(u""), EmptySamples());
  EXPECT_EQ(Say(u"zz,1,0,0"), EmptySamples());  // a unit the voice lacks adds nothing
  EXPECT_EQ(Say(u"lost,1,0,0"), EmptySamples());
  SampleArray s = Say(u"s,0,0,0");  // factor 0 plays the recording
  ASSERT_EQ(UpperBound(s), 100);
  EXPECT_EQ(s[0], 1400);
  EXPECT_EQ(s[99], 1400);
  EXPECT_EQ(UpperBound(Say(u"-,10,0")), 500);     // the voice has no "-": 50 zeros a repetition
  EXPECT_EQ(UpperBound(Say(u"s,2,0,0 s")), 400);  // the second item keeps factor 2
  s = Say(u"s,2.5,0,0");
  ASSERT_EQ(UpperBound(s), 250);
  EXPECT_EQ(s[238], 1400);
  EXPECT_EQ(s[239], 1400);  // the last eleven samples fade by (10 - c) / 10
  EXPECT_EQ(s[240], 1260);
  EXPECT_EQ(s[244], 700);
  EXPECT_EQ(s[249], 0);
  state_.Volume = 10;
  EXPECT_EQ(Say(u"s,1,0,0")[50], 1000);
  state_.Volume = 0;
  EXPECT_EQ(Say(u"s,1,0,0")[50], 0);
  state_.Volume = 20;  // 30000 x 20/14 does not fit 16 bits: the samples are not written
  EXPECT_EQ(Say(u"loud,1,0,0"), SampleArray(11, 0));
  state_.Volume = 14;
  state_.StopFlag = true;
  EXPECT_EQ(Say(u"s,1,0,0"), EmptySamples());
}

TEST_F(PsolaTest, StateEnvelopes) {
  // U = 100, so p = W. The first sample has gain 0 in states 1 and 2.
  SampleArray s = Say(u"s,1,2,0");
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 70);
  EXPECT_EQ(s[19], 1330);
  EXPECT_EQ(s[20], 1400);
  s = Say(u"s,1,3,0");
  EXPECT_EQ(s[60], 1400);
  EXPECT_EQ(s[61], 1365);
  EXPECT_EQ(s[99], 35);
  s = Say(u"s,1,1,0");
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 420);  // table index round(0.3) = 0
  EXPECT_EQ(s[2], 560);  // round(0.6) = 1
  EXPECT_EQ(s[5], 840);  // round(1.5) = 2
  EXPECT_EQ(s[50], 1400);
  EXPECT_EQ(s[90], 980);  // index 27
  EXPECT_EQ(s[99], 560);  // index 30
  s = Say(u"s,1,11,0");   // final fade over the last quarter
  EXPECT_EQ(s[75], 1400);
  EXPECT_EQ(s[80], 1120);
  EXPECT_EQ(s[99], 56);
  s = Say(u"s,1,13,0");  // final fade, then the fade-in of state 2
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[10], 700);
  EXPECT_EQ(s[80], 1120);
}

TEST(FinalFade, FadesAndSmoothsTheLastQuarter) {
  SampleArray ramp;
  for (int k = 0; k <= 40; ++k) ramp.push_back(static_cast<std::int16_t>(k));
  const SampleArray y = Synthesizer::FinalFade(ramp);
  ASSERT_EQ(y.size(), ramp.size());
  for (int k = 0; k <= 30; ++k) EXPECT_EQ(y[k], k);
  EXPECT_EQ(y[35], 14);  // e = .5, width 15: .5 x mean(20..35) = 13.75
  EXPECT_EQ(y[39], 3);   // e = .1, width 27: .1 x mean(12..39) = 2.55
  EXPECT_EQ(y[40], 40);  // the element at the upper bound is kept
  EXPECT_EQ(Synthesizer::FinalFade(EmptySamples()), EmptySamples());
}

TEST_F(PsolaTest, FactorOneKeepsLengthPeriodsAndShape) {
  const SampleArray s = Say(u"a,1,0,0");
  // The loop stops once the write position passes the recorded length (1050) two marks or more
  // past the stable mark: after the backward period over marks 5..7.
  EXPECT_EQ(UpperBound(s), 1150);
  const std::vector<std::int16_t> x = Sine(1050, 10000);
  // Neighbouring windows (normalised to L = 2 periods - 1) sum to 1 within 0.8 %.
  for (int k = 50; k < 950; ++k) EXPECT_NEAR(s[k], x[k], 80) << k;
  const std::vector<std::int32_t>& marks = synth_.PreviousMarks();
  ASSERT_GE(marks.size(), 10u);
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(marks[k], 50 + 100 * (k - 1));

  state_.Pitch = 4;  // every period after the first is 4 samples longer
  Say(u"a,1,0,0");
  for (int k = 2; k <= 9; ++k) EXPECT_EQ(marks[k] - marks[k - 1], 104);
  state_.Pitch = 0;
  Say(u"a,1,0,-3");  // the unit's own pitch offset adds the same way
  for (int k = 2; k <= 9; ++k) EXPECT_EQ(marks[k] - marks[k - 1], 97);
}

TEST_F(PsolaTest, FactorZeroPlaysAsRecordedAndLeavesFactorOneToTheNextItem) {
  // Factor 0 reads as -1: the voiced unit is copied as recorded. The record's factor is then 1,
  // so an item without a factor field goes through PSOLA with factor 1, not as a copy.
  const SampleArray copy = Say(u"a,0,0,0");
  EXPECT_EQ(UpperBound(copy), 1050);
  const SampleArray one = Say(u"a,1,0,0");
  const SampleArray pair = Say(u"a,0,0,0 a");
  ASSERT_EQ(UpperBound(pair), 1050 + UpperBound(one));
  for (int k = 0; k < UpperBound(one); ++k) ASSERT_EQ(pair[1050 + k], one[k]) << k;
}

TEST_F(PsolaTest, PitchBendsOfStatesTenAndEleven) {
  // periods = round(1 x 9) = 9; period j is bent by round(j / 9 x target).
  Say(u"a,1,11,0");
  std::vector<std::int32_t> marks = synth_.PreviousMarks();
  EXPECT_EQ(marks[2] - marks[1], 101);  // j = 1: round(1.11) = 1 longer
  EXPECT_EQ(marks[9] - marks[8], 109);  // j = 8: round(8.89) = 9
  Say(u"a,1,10,0");
  marks = synth_.PreviousMarks();
  EXPECT_EQ(marks[2] - marks[1], 98);  // j = 1: round(2.22) = 2 shorter
  EXPECT_EQ(marks[9] - marks[8], 82);  // j = 8: round(17.78) = 18
  // A voice parameter changes the bend; InitSynthesis restores the default.
  db_.Parameters().PitchUpShiftTarget = 0;
  Say(u"a,1,10,0");
  EXPECT_EQ(synth_.PreviousMarks()[9] - synth_.PreviousMarks()[8], 100);
  synth_.InitSynthesis();
  EXPECT_EQ(db_.Parameters().PitchUpShiftTarget, 20);
  EXPECT_EQ(db_.Parameters().PitchDnShiftTarget, 10);
  EXPECT_EQ(db_.Parameters().PitchDegradation, 30);
}

TEST_F(PsolaTest, StableMarkIsTakenOnceSoStretchedUnitsEnd) {
  // Stable mark 250, factor 2: the 800 samples after it become 1600; the unit ends at the first
  // period that takes the write position past 250 + 1600 with the walk two marks past the stable
  // one. The walk (periods 0..8, 8, 7..1, 1, 2, ...) is at marks 1..3 when it passes 1850, so it
  // ends at mark 4: 2150, the last 50 samples beyond the 2n + 1 written being silence. Had the
  // walk back over mark 2 moved the stable mark, the unit would have run all 1001 periods.
  SampleArray s = Say(u"ma,2,0,0");
  EXPECT_EQ(UpperBound(s), 2150);
  EXPECT_EQ(s[2120], 0);
  // Factor 1.2 on a word-final unit: 800 -> 960 after the stable mark.
  s = Say(u"ma,1.2,0,0");
  EXPECT_GT(UpperBound(s), 250 + 960);
  EXPECT_LE(UpperBound(s), 250 + 960 + 200);
  // Stable mark among the last three (850): 200 -> 240, and the unit still ends.
  s = Say(u"ne,1.2,0,0");
  EXPECT_GT(UpperBound(s), 850 + 240);
  EXPECT_LE(UpperBound(s), 850 + 240 + 200);
  // Every recorded mark lies inside the samples kept.
  for (std::int32_t m : synth_.PreviousMarks()) EXPECT_LE(m, UpperBound(s));
}

TEST_F(PsolaTest, UnitThatNeverStopsKeepsItsAllocationAndOnlyMarksInside) {
  // A pitch offset of -250 moves every period back: the write position never passes the end,
  // the unit runs all 1001 periods and keeps its full 2n + 1 allocation. Marks written outside
  // it are not recorded, so a following unit is not joined to a point past the output's end.
  state_.Pitch = -250;
  const SampleArray s = Say(u"a,1,0,0");
  EXPECT_EQ(UpperBound(s), 2100);
  for (std::int32_t m : synth_.PreviousMarks()) {
    EXPECT_GE(m, 0);
    EXPECT_LE(m, 2100);
  }
  state_.Pitch = 0;
}

TEST_F(PsolaTest, UnitWithTwoMarksEndsAfterItsFirstPeriod) {
  // The walk cannot leave mark 0; repeating the first pass would add the same period onto itself
  // into a full-scale burst. The unit keeps its head and the falling first period.
  for (const char16_t* list : {u"t,1,0,0", u"t,1,11,0", u"t,1.2,3,-4"}) {
    const SampleArray s = Say(list);
    EXPECT_EQ(UpperBound(s), 300) << std::string(list, list + 10).c_str();
    int peak = 0;
    for (std::int16_t v : s) peak = std::max(peak, std::abs(int{v}));
    EXPECT_LE(peak, 10000);
  }
  const SampleArray s = Say(u"t,1,0,0");
  EXPECT_EQ(s[25], 10000);  // the head before the first mark is copied as recorded
  EXPECT_EQ(s[299], 0);     // the falling window reaches 0 at the second mark
}

TEST_F(PsolaTest, PlosiveCutAtTheSecondMark) {
  const SampleArray s = Say(u"ta,1,12,0");
  const std::vector<std::int16_t> x = Sine(1050, 10000);
  ASSERT_EQ(UpperBound(s), 300);  // out has indices 0..pm(1)
  for (int k = 1; k < 100; ++k) EXPECT_EQ(s[k], x[k]);
  EXPECT_EQ(s[0], x[0]);
  // 0.92 at the first mark, 0 at the second: x(100 + i) x (1 - (.54 + .46 cos(pi (200 - i) / 200)))
  EXPECT_EQ(s[100], std::lround(x[100] * 0.92));
  EXPECT_EQ(s[125], 8850);  // x = 10000, gain 1 - (.54 + .46 cos(.875 pi)) = .88498
  EXPECT_EQ(synth_.PreviousMarks(), std::vector<std::int32_t>{0});  // no marks: never joined to
}

TEST_F(PsolaTest, JoinCrossFadesIntoThePreviousUnit) {
  const SampleArray first = Say(u"a,1,0,0");
  const std::vector<std::int32_t> firstMarks = synth_.PreviousMarks();
  const std::int32_t b = firstMarks.back();
  const std::int32_t a = firstMarks[firstMarks.size() - 3];
  ASSERT_LT(UpperBound(first) - b, 350);

  const SampleArray joined = Say(u"a,1,0,0 a,1,0,0");
  // The output is cut back to the previous unit's last mark b; the new unit goes on from its
  // third mark (c = 250), so it adds 1150 - 250 samples after b.
  EXPECT_EQ(UpperBound(joined), b + 1150 - 250);
  for (int k = 0; k < a; ++k) EXPECT_EQ(joined[k], first[k]) << k;
  // The stored marks are where the new unit's marks landed: its fourth mark (350 in the unit,
  // 100 after the third) lies 100 samples after b.
  EXPECT_EQ(synth_.PreviousMarks()[1], b + 100);
  // Over [a, b] the two units are cross-faded linearly.
  const std::int32_t len = b - a;
  const std::vector<std::int16_t> x = Sine(1050, 10000);
  const std::int32_t mid = a + len / 2;
  const double expected = std::nearbyint(0.5 * first[mid]) + std::nearbyint(x[250 - len / 2] * 0.5);
  EXPECT_NEAR(joined[mid], expected, 1);

  // States 1 and 2 are never joined; neither is a unit after a copy-path unit.
  EXPECT_EQ(UpperBound(Say(u"a,1,0,0 a,1,2,0")), UpperBound(first) + 1150);
  EXPECT_EQ(UpperBound(Say(u"s,1,0,0 a,1,0,0")), 100 + 1150);
}

}  // namespace
}  // namespace quellon
