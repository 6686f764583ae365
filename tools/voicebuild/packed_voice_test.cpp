#include "packed_voice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "testing/test_folder.h"

#ifdef QUELLON_VOICEBUILD_ENGINE
#include "speech/voice_database.h"
#endif

namespace quellon::voicebuild {
namespace {

namespace fs = std::filesystem;

PackedVoice SampleVoice() {
  PackedVoice v;
  v.parameters = {{"pitch_deg", 16}, {"PITCHDN", 14}, {"PITCHUP", 30}};
  v.units.push_back({u"-", std::vector<std::int16_t>(50, 0), {}});
  v.units.push_back({u"dě", {1, -2, 3, 32767, -32768}, {1, -3, 4}});
  v.units.push_back({u"ch", {7, 8, 9}, {}});
  v.units.push_back({u"ň", {5, 6}, {0, 1}});
  return v;
}

TEST(PackedVoiceTest, EncodesRecordsInTheEngineLayout) {
  const PackedVoiceBytes b = EncodePackedVoice(SampleVoice());
  // Samples: "-" 50, "dě" 5 + its 3 marks, "ch" 3, "ň" 2 + 2 marks.
  EXPECT_EQ(b.samples.size(), 2u * (50 + 5 + 3 + 3 + 2 + 2));
  // First record: "pitch_deg", value 16, length 0.
  ASSERT_GE(b.index.size(), 2u + 9 + 8);
  EXPECT_EQ(b.index[0], 9);
  EXPECT_EQ(b.index[1], 0);
  EXPECT_EQ(b.index.substr(2, 9), "pitch_deg");
  EXPECT_EQ(static_cast<unsigned char>(b.index[11]), 16);
  EXPECT_EQ(b.index.substr(15, 4), std::string(4, '\0'));
  // The unit name "dě" is written in Windows-1250: 'd', 0xEC.
  EXPECT_NE(b.index.find(std::string("\x02\x00"
                                     "d\xec",
                                     4)),
            std::string::npos);
  EXPECT_NE(b.index.find(std::string("\x03\x00!d\xec", 5)), std::string::npos);
}

TEST(PackedVoiceTest, RejectsWhatTheFormatCannotHold) {
  PackedVoice v = SampleVoice();
  v.units.push_back({u"\u4e00", {1}, {}});  // not in Windows-1250
  EXPECT_THROW(EncodePackedVoice(v), std::runtime_error);
  PackedVoice empty = SampleVoice();
  empty.units.push_back({u"x", {}, {}});
  EXPECT_THROW(EncodePackedVoice(empty), std::runtime_error);
  PackedVoice unnamed = SampleVoice();
  unnamed.units.push_back({u"", {1}, {}});
  EXPECT_THROW(EncodePackedVoice(unnamed), std::runtime_error);
}

TEST(PackedVoiceTest, FailedWriteLeavesNoFiles) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  // A bad unit fails before anything is written.
  PackedVoice bad = SampleVoice();
  bad.units.push_back({u"x", {}, {}});
  EXPECT_THROW(WritePackedVoice(bad, dir, "zuvan"), std::runtime_error);
  EXPECT_TRUE(fs::is_empty(dir));
  // A directory where the index must go: the index cannot be renamed into place after the
  // samples were; neither temporary file nor the unmatched sample file stays.
  fs::create_directories(dir / "zuvan.idx" / "blocker");
  EXPECT_THROW(WritePackedVoice(SampleVoice(), dir, "zuvan"), std::runtime_error);
  EXPECT_FALSE(fs::exists(dir / "zuvan.idx.tmp"));
  EXPECT_FALSE(fs::exists(dir / "zuvan.vce.tmp"));
  EXPECT_FALSE(fs::exists(dir / "zuvan.vce"));
  EXPECT_TRUE(fs::is_directory(dir / "zuvan.idx"));
}

#ifdef QUELLON_VOICEBUILD_ENGINE
TEST(PackedVoiceTest, RoundTripsThroughTheVoiceDatabase) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  WritePackedVoice(SampleVoice(), dir, "zuvan");
  EXPECT_FALSE(fs::exists(dir / "zuvan.idx.tmp"));
  VoiceDatabase db(dir);
  ASSERT_TRUE(db.LoadVoice(u"zuvan"));
  EXPECT_EQ(db.Parameters().PitchDegradation, 16);
  EXPECT_EQ(db.Parameters().PitchDnShiftTarget, 14);
  EXPECT_EQ(db.Parameters().PitchUpShiftTarget, 30);
  EXPECT_TRUE(db.UnitExists(u"dě"));
  EXPECT_TRUE(db.UnitExists(u"!dě"));
  EXPECT_TRUE(db.UnitExists(u"ch"));
  EXPECT_FALSE(db.UnitExists(u"!ch"));
  EXPECT_FALSE(db.UnitExists(u"pitch_deg"));
  EXPECT_EQ(db.ExtractUnit(u"dě"), (SampleArray{1, -2, 3, 32767, -32768, 0}));
  EXPECT_EQ(db.ExtractUnit(u"!dě"), (SampleArray{1, -3, 4, 0}));
  EXPECT_EQ(db.ExtractUnit(u"!ň"), (SampleArray{0, 1, 0}));
  EXPECT_EQ(db.ExtractUnit(u"ch"), (SampleArray{7, 8, 9, 0}));
  EXPECT_EQ(db.ExtractUnit(u"-").size(), 51u);
  EXPECT_EQ(db.ListVoices(), std::vector<std::u16string>{u"zuvan"});
}
#endif

}  // namespace
}  // namespace quellon::voicebuild
