#include "voice_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "festival.h"
#include "testing/test_folder.h"

#ifdef QUELLON_VOICEBUILD_ENGINE
#include "speech/voice_database.h"
#endif

namespace quellon::voicebuild {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

BuildOptions Options(const fs::path& dir, const std::string& festival) {
  BuildOptions o;
  o.outDir = dir / "dist";
  o.workDir = dir / "work";
  o.reportDir = dir / "report";
  o.festival = festival;
  return o;
}

TEST(VoiceBuilderTest, MissingFestivalIsAClearErrorAndWritesNoVoice) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  const BuildOptions o = Options(dir, (dir / "no-such-festival").string());
  EXPECT_EQ(BuildVoice(o, nullptr, EngineHooks{}), 1);
  EXPECT_FALSE(fs::exists(o.outDir / "zuvan.idx"));
  EXPECT_FALSE(fs::exists(o.outDir / "zuvan.vce"));
  const std::string report = ReadAll(o.reportDir / "report.txt");
  EXPECT_NE(report.find("Festival not found"), std::string::npos) << report;
  EXPECT_NE(report.find("voice not written"), std::string::npos);
  EXPECT_THROW(FindFestival((dir / "nothing").string()), FestivalError);
}

#ifndef _WIN32
// A stand-in festival: a shell script that prints `output` and exits with `status`.
std::string FakeFestival(const fs::path& dir, const std::string& output, int status) {
  const fs::path script = dir / "festival";
  std::ofstream(script) << "#!/bin/sh\nprintf '" << output << "' >&2\nexit " << status << "\n";
  fs::permissions(script, fs::perms::owner_all);
  return script.string();
}

TEST(VoiceBuilderTest, SourceUnitsThatDoNotSynthesiseAreNamed) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  const BuildOptions o =
      Options(dir, FakeFestival(dir,
                                "CARRIER c001\\nUniSyn: using default diphone #-# for a-l~\\n"
                                "CARRIER c002\\nDONE\\n",
                                0));
  EXPECT_EQ(BuildVoice(o, nullptr, EngineHooks{}), 1);
  const std::string report = ReadAll(o.reportDir / "report.txt");
  EXPECT_NE(report.find("do not synthesise"), std::string::npos) << report;
  EXPECT_NE(report.find("carrier c001: a-l~"), std::string::npos) << report;
  EXPECT_FALSE(fs::exists(o.outDir / "zuvan.idx"));
}

TEST(VoiceBuilderTest, FailingOrSilentFestivalIsAnError) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  BuildOptions o = Options(dir, FakeFestival(dir, "SIOD ERROR: unbound variable\\n", 1));
  EXPECT_EQ(BuildVoice(o, nullptr, EngineHooks{}), 1);
  std::string report = ReadAll(o.reportDir / "report.txt");
  EXPECT_NE(report.find("Festival failed"), std::string::npos) << report;
  EXPECT_NE(report.find("unbound variable"), std::string::npos) << report;
  // Festival that claims success but writes nothing.
  o.festival = FakeFestival(dir, "DONE\\n", 0);
  EXPECT_EQ(BuildVoice(o, nullptr, EngineHooks{}), 1);
  report = ReadAll(o.reportDir / "report.txt");
  EXPECT_NE(report.find("cannot read"), std::string::npos) << report;
  EXPECT_FALSE(fs::exists(o.outDir / "zuvan.idx"));
}
#endif

TEST(VoiceBuilderTest, JoinStepsAndClicksAreFound) {
  std::vector<std::int16_t> x(4000);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<std::int16_t>((i % 50) * 40);
  double worst = 0;
  EXPECT_TRUE(FindJoinSteps(x, {1000, 3000}, 2.5, 1500, &worst).empty()) << worst;
  // The saw's own fall (1960) sets the surroundings; a step of 9000 at a join stands out.
  for (std::size_t i = 2900; i < x.size(); ++i) x[i] = static_cast<std::int16_t>(x[i] + 9000);
  const auto steps = FindJoinSteps(x, {1000, 3000}, 2.5, 1500, &worst);
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_NE(steps[0].find("3000"), std::string::npos);
  SpokenSentence s;
  s.samples = x;
  s.wordStarts = {{0, "one"}, {2000, "two"}};
  s.samples[2500] = 32700;
  const auto clicks = FindClicks(s, 12000, 32000);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_NE(clicks[0].find("two"), std::string::npos);
}

TEST(VoiceBuilderTest, WordListSkipsCommentsAndBlankLines) {
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  std::ofstream(dir / "w.txt") << "# comment\r\nkůň\r\n\r\nďábel \n";
  EXPECT_EQ(ReadWordList(dir / "w.txt"), (std::vector<std::u16string>{u"kůň", u"ďábel"}));
  EXPECT_THROW(ReadWordList(dir / "none.txt"), std::runtime_error);
}

TEST(VoiceBuilderTest, ParametersAreWrittenFirst) {
  const PackedVoice v = AssembleVoice({});
  ASSERT_EQ(v.parameters.size(), 3u);
  EXPECT_EQ(v.parameters[0].name, "pitch_deg");
  EXPECT_EQ(v.parameters[1].name, "PITCHDN");
  EXPECT_EQ(v.parameters[2].name, "PITCHUP");
}

// The real build, when Festival and the Czech voice are installed (skipped otherwise).
TEST(VoiceBuilderTest, BuildsTheDefaultVoiceWithFestival) {
  std::string festival;
  try {
    festival = FindFestival("").string();
  } catch (const FestivalError&) {
    GTEST_SKIP() << "Festival is not installed";
  }
  if (!fs::exists("/usr/share/festival/voices/czech/czech_ph")) {
    GTEST_SKIP() << "Festival's Czech voice is not installed";
  }
  const quellon::testing::TestFolder tmp;
  const fs::path& dir = tmp.Path();
  BuildOptions o = Options(dir, festival);
  o.corpus = fs::path(QUELLON_SOURCE_DIR) / "tools" / "voicebuild" / "corpus.txt";
  ASSERT_EQ(BuildVoice(o, nullptr), 0) << ReadAll(o.reportDir / "report.txt");
  const std::string report = ReadAll(o.reportDir / "report.txt");
  EXPECT_EQ(report.find("FAIL "), std::string::npos) << report;
#ifdef QUELLON_VOICEBUILD_ENGINE
  EXPECT_NE(report.find("missing (asked for, not in the voice, no reason): 0"), std::string::npos)
      << report;
  VoiceDatabase db(o.outDir);
  ASSERT_TRUE(db.LoadVoice(u"zuvan"));
  EXPECT_TRUE(db.UnitExists(u"dě"));
  EXPECT_TRUE(db.UnitExists(u"!dě"));
  EXPECT_FALSE(db.UnitExists(u"bě"));
  EXPECT_FALSE(db.UnitExists(u"!s"));
  EXPECT_EQ(db.Parameters().PitchDegradation, kPitchDegradation);
#endif
}

}  // namespace
}  // namespace quellon::voicebuild
