#include "speech/voice_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "testing/test_folder.h"

namespace quellon {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class VoiceFolder : public ::testing::Test {
 protected:
  void Write(const std::string& file, const std::string& bytes) { tmp_.Write(file, bytes); }
  const quellon::testing::TestFolder tmp_;
  const fs::path folder_ = tmp_.Path();
};

std::string Record(const std::string& cp1250Name, std::int32_t offset, std::int32_t length) {
  std::string r;
  r.push_back(static_cast<char>(cp1250Name.size() & 0xFF));
  r.push_back(static_cast<char>(cp1250Name.size() >> 8));
  r += cp1250Name;
  for (std::int32_t v : {offset, length}) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int b = 0; b < 4; ++b) r.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
  }
  return r;
}

std::string Samples(const std::vector<std::int16_t>& values) {
  std::string s;
  for (std::int16_t v : values) {
    s.push_back(static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF));
    s.push_back(static_cast<char>(static_cast<std::uint16_t>(v) >> 8));
  }
  return s;
}

std::vector<std::int16_t> Ramp(int n, int from) {
  std::vector<std::int16_t> v;
  for (int k = 0; k < n; ++k) v.push_back(static_cast<std::int16_t>(from + k));
  return v;
}

TEST_F(VoiceFolder, LoadsEntriesParametersAndLookups) {
  // "\xEC" is e with caron in Windows-1250.
  Write("v.idx", Record("da", 0, 4) + Record("pitch_deg", 44, 0) + Record("PITCHDN", 7, -3) +
                     Record("PITCHUP", 40000, 0) + Record("n\xEC", 4, 2) + Record("da", 6, 3) +
                     Record("other", 1, 0));
  Write("v.vce", Samples(Ramp(10, 100)));
  VoiceDatabase db(folder_);
  ASSERT_TRUE(db.LoadVoice(u"v"));
  EXPECT_TRUE(db.PackedVoiceLoaded());
  ASSERT_EQ(db.UnitIndex().size(), 3u);  // parameter entries are not stored
  EXPECT_EQ(db.Parameters().PitchDegradation, 44);
  EXPECT_EQ(db.Parameters().PitchDnShiftTarget, 7);
  EXPECT_EQ(db.Parameters().PitchUpShiftTarget, 20);  // 40000 does not fit: unchanged
  EXPECT_EQ(db.ExtractUnit(u"da"), (SampleArray{100, 101, 102, 103, 0}));  // first "da" wins
  EXPECT_EQ(db.ExtractUnit(u"ně"), (SampleArray{104, 105, 0}));
  EXPECT_TRUE(db.UnitExists(u"ně"));
  EXPECT_FALSE(db.UnitExists(u"Da"));  // case matters
  EXPECT_FALSE(db.UnitExists(u"pitch_deg"));
  EXPECT_EQ(db.ExtractUnit(u"-"), SampleArray(51, 0));
  EXPECT_EQ(db.ExtractUnit(u"xx"), EmptySamples());
}

TEST_F(VoiceFolder, MissingIndexKeepsPreviousVoiceButEmptiesIndex) {
  Write("v.idx", Record("a", 0, 2) + Record("PITCHUP", 9, 0));
  Write("v.vce", Samples({5, 6}));
  VoiceDatabase db(folder_);
  ASSERT_TRUE(db.LoadVoice(u"v"));
  EXPECT_FALSE(db.LoadVoice(u"missing"));
  EXPECT_TRUE(db.UnitIndex().empty());
  EXPECT_EQ(db.SampleStore(), (std::vector<std::int16_t>{5, 6}));
  EXPECT_EQ(db.Parameters().PitchUpShiftTarget, 9);
  EXPECT_TRUE(db.PackedVoiceLoaded());
  EXPECT_FALSE(db.UnitExists(u"a"));
  // Loose files are not consulted once a packed voice was loaded.
  Write("b.dat", Samples({1}));
  EXPECT_FALSE(db.UnitExists(u"b"));
  // Parameters persist into a voice that lacks them.
  Write("w.idx", Record("a", 0, 1));
  ASSERT_TRUE(db.LoadVoice(u"w"));
  EXPECT_EQ(db.Parameters().PitchUpShiftTarget, 9);
}

TEST_F(VoiceFolder, DamagedFilesHaveDocumentedOutcomes) {
  // Entries pointing outside the store give zeros; an entry longer than the whole store (here
  // 2^31-1) gives the empty sequence; the odd last byte of the sample file is ignored; the
  // record cut short at the end (a NameLength of 65535) ends the index.
  std::string idx = Record("in", 1, 3) + Record("past", 3, 3) + Record("neg", -1, 2) +
                    Record("huge", 0, 0x7FFFFFFF) + Record("edge", 2, 2);
  idx +=
      "\xFF\xFF"
      "abc";
  Write("v.idx", idx);
  Write("v.vce", Samples({1, 2, 3, 4}) + "\x7F");
  VoiceDatabase db(folder_);
  ASSERT_TRUE(db.LoadVoice(u"v"));
  EXPECT_EQ(db.SampleStore().size(), 4u);
  EXPECT_EQ(db.UnitIndex().size(), 5u);
  EXPECT_EQ(db.ExtractUnit(u"in"), (SampleArray{2, 3, 4, 0}));
  EXPECT_EQ(db.ExtractUnit(u"past"), SampleArray(4, 0));
  EXPECT_EQ(db.ExtractUnit(u"neg"), SampleArray(3, 0));
  EXPECT_EQ(db.ExtractUnit(u"huge"), EmptySamples());
  EXPECT_EQ(db.ExtractUnit(u"edge"), (SampleArray{3, 4, 0}));

  // A record whose Name runs past the end, and a record missing only its Length.
  Write("t.idx", Record("ok", 0, 1) + std::string("\x05\x00"
                                                  "ab",
                                                  4));
  ASSERT_TRUE(db.LoadVoice(u"t"));
  EXPECT_EQ(db.UnitIndex().size(), 1u);
  Write("t.idx", Record("ok", 0, 1) + Record("cut", 0, 1).substr(0, 9));
  ASSERT_TRUE(db.LoadVoice(u"t"));
  EXPECT_EQ(db.UnitIndex().size(), 1u);

  // No sample file: an empty store, never the previous voice's samples.
  Write("nosamples.idx", Record("in", 0, 2));
  ASSERT_TRUE(db.LoadVoice(u"nosamples"));
  EXPECT_TRUE(db.SampleStore().empty());
  EXPECT_EQ(db.ExtractUnit(u"in"), EmptySamples());

  // Every byte is a valid Windows-1250 name.
  Write("names.idx", Record(std::string("\x81\x98\xFF", 3), 0, 1));
  ASSERT_TRUE(db.LoadVoice(u"names"));
  ASSERT_EQ(db.UnitIndex().size(), 1u);
  EXPECT_EQ(db.UnitIndex()[0].Name, std::u16string(u"\u0081\u0098\u02D9"));
}

TEST_F(VoiceFolder, LooseUnitAndPitchMarkFiles) {
  VoiceDatabase db(folder_);
  Write("ka.dat", Samples({-1, 2, 300}) + "\x01");
  Write("!ka.dat", "120\n\n0\r\n 12.5\r13.5 ms\nabc\n-40\n99999\n0.2\n7");
  EXPECT_FALSE(db.PackedVoiceLoaded());
  EXPECT_TRUE(db.UnitExists(u"ka"));
  EXPECT_TRUE(db.UnitExists(u"!ka"));
  EXPECT_FALSE(db.UnitExists(u"ko"));
  EXPECT_EQ(db.LoadUnitFile(u"ka"), (SampleArray{-1, 2, 300, 0}));
  // 0, blank and unreadable lines are skipped; halves go to even; 99999 does not fit 16 bits
  // and leaves a 0 in its place; 0.2 rounds to 0 and is stored (only a value of 0 is skipped).
  EXPECT_EQ(db.LoadPitchMarkFile(u"!ka"), (SampleArray{120, 12, 14, -40, 0, 0, 7, 0}));
  EXPECT_EQ(db.LoadPitchMarkFile(u"!ko"), EmptySamples());
  EXPECT_EQ(db.LoadUnitFile(u"-"), SampleArray(51, 0));
  EXPECT_EQ(db.LoadUnitFile(u"ko"), EmptySamples());
  fs::create_directory(folder_ / "dir.dat");
  EXPECT_FALSE(db.UnitExists(u"dir"));
  EXPECT_FALSE(VoiceDatabase::FileExists(folder_ / "nothing"));
}

TEST_F(VoiceFolder, ListsVoicesAndTrimsTheFolder) {
  Write("Abc.VCE", "");
  Write("zuvan.vce", "");
  Write("zuvan.idx", "");
  Write(".hidden.vce", "");
  Write("vce", "");
  Write("notes.txt", "");
  fs::create_directory(folder_ / "folder.vce");
  VoiceDatabase db(folder_ / "");
  EXPECT_EQ(db.ProgramFolder(), folder_);
  std::vector<std::u16string> names = db.ListVoices();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Abc", u"zuvan"}));
  EXPECT_TRUE(VoiceDatabase(folder_ / "absent").ListVoices().empty());
}

}  // namespace
}  // namespace quellon
