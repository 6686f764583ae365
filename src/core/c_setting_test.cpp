#include "core/c_setting.h"

#include <gtest/gtest.h>

#include "core/ini_profile.h"
#include "testing/test_folder.h"

namespace quellon::core {
namespace {

using testing::TestFolder;

TEST(cSetting, DefaultsWithoutFileAndTheChoiceOfFilePerSection) {
  TestFolder dir;
  IniProfile ini;
  cSetting s(ini);
  s.Init(SettingsFilePath(dir.Path()), "");
  EXPECT_EQ(s.Lang(), u"cz");
  EXPECT_FALSE(s.IsEnglish());
  EXPECT_EQ(s.VoiceName(), u"Male");
  EXPECT_EQ(s.VoiceVolume(), 50);
  EXPECT_EQ(s.VoicePitch(), 50);
  EXPECT_EQ(s.VoiceTempo(), 50);
  EXPECT_EQ(s.InfoTextSize(), 20);
  EXPECT_EQ(s.InfoTextFC(), 16777215);
  EXPECT_EQ(s.InfoTextBC(), 0);
  EXPECT_EQ(s.InfoActive(), 0);
  EXPECT_EQ(s.TimeWelcome(), 0);

  // The override file has an Info section without TextSize: the default, not the primary value.
  dir.Write("qlnd.ini",
            "[Info]\r\nTextSize=44\r\nActive=1\r\n[Voice]\r\nName=Zuzana\r\n"
            "[General]\r\nLang=EN\r\nTime=1\r\n");
  const auto app = dir.Write("app.ini", "[Info]\r\nActive=0\r\n[General]\r\n");
  cSetting o(ini);
  o.Init(SettingsFilePath(dir.Path()), app);
  EXPECT_EQ(o.InfoTextSize(), 20);
  EXPECT_EQ(o.InfoActive(), 0);
  EXPECT_EQ(o.VoiceName(), u"Zuzana");  // no Voice section there: the primary file
  // An empty General section counts as missing, so Lang and Time come from the primary file.
  EXPECT_EQ(o.Lang(), u"EN");
  EXPECT_FALSE(o.IsEnglish());  // the comparison with "en" is exact
  EXPECT_EQ(o.TimeWelcome(), 1);
}

TEST(cSetting, SavingWritesAbsoluteInfoValuesAndReadsThemBack) {
  TestFolder dir;
  IniProfile ini;
  const auto path = SettingsFilePath(dir.Path());
  dir.Write("qlnd.ini", "; hand-made\r\n[General]\r\nLang=en\r\nTime=abc\r\n");
  cSetting s(ini);
  s.Init(path, "");
  EXPECT_TRUE(s.IsEnglish());
  EXPECT_EQ(s.TimeWelcome(), 0);  // not a number
  s.SetInfoActive(-1);
  s.SetInfoTextFC(-255);
  s.SetInfoTextBC(-2147483647 - 1);  // no absolute value: not written
  s.SetVoicePitch(-5);               // Voice values keep their sign
  s.SetVoiceName(u"Žena");
  EXPECT_EQ(s.SaveSetting(), 7);
  EXPECT_EQ(TestFolder::Read(path),
            "; hand-made\r\n[General]\r\nLang=en\r\nTime=abc\r\n\r\n"
            "[Info]\r\nTextSize=20\r\nTextForegroundColor=255\r\nActive=1\r\n\r\n"
            "[Voice]\r\nName=\x8E"
            "ena\r\nVolume=50\r\nPitch=-5\r\nTempo=50\r\n");
  cSetting r(ini);
  r.Init(path, "");
  EXPECT_EQ(r.InfoActive(), 1);  // still true
  EXPECT_EQ(r.InfoTextFC(), 255);
  EXPECT_EQ(r.InfoTextBC(), 0);
  EXPECT_EQ(r.VoicePitch(), -5);
  EXPECT_EQ(r.VoiceName(), u"Žena");
  // TimeWelcome is read from the file every time.
  ini.WritePrivateProfileString(u"General", u"Time", u" 2.5 ", path);
  EXPECT_EQ(r.TimeWelcome(), 2);  // rounded half to even
  ini.WritePrivateProfileString(u"General", u"Time", u"-7", path);
  EXPECT_EQ(r.TimeWelcome(), -7);

  // Helpers: clamping, a default that is no number, a quoted write that reads back unquoted.
  EXPECT_EQ(r.ReadLongInRange(u"Voice", u"Volume", u"0", 0, 10), 10);
  EXPECT_EQ(r.ReadLongInRange(u"Voice", u"Pitch", u"0", 0, 10), 0);
  EXPECT_EQ(r.ReadLongInRange(u"Voice", u"Missing", u"7", 0, 10), 7);
  EXPECT_EQ(r.ReadLong(u"Voice", u"Missing", u"x"), std::nullopt);
  EXPECT_TRUE(r.WriteQuotedString(u"Voice", u"Name", u" Hlas ", path));
  EXPECT_EQ(r.ReadString(u"Voice", u"Name", u""), u" Hlas ");
}

TEST(cSetting, TheFrameSectionIsReadOnlyAndEveryBadValueGivesItsDefault) {
  TestFolder dir;
  IniProfile ini;
  const auto path = SettingsFilePath(dir.Path());
  cSetting none(ini);
  none.Init(path, "");
  // No file: off, width 10, red.
  EXPECT_EQ(none.ReadFrameSettings(), (FrameSettings{false, 10, 255}));

  dir.Write("qlnd.ini", "[Frame]\r\nActive=-1\r\nWidth=30\r\nColor=65280\r\n");
  cSetting s(ini);
  s.Init(path, "");
  EXPECT_EQ(s.ReadFrameSettings(), (FrameSettings{true, 30, 65280}));
  // Saving writes the eight values and leaves the section as the user wrote it.
  EXPECT_EQ(s.SaveSetting(), 8);
  const std::string saved = TestFolder::Read(path);
  EXPECT_EQ(saved.rfind("[Frame]\r\nActive=-1\r\nWidth=30\r\nColor=65280\r\n", 0), 0u);
  EXPECT_EQ(saved.find("Frame", 8), std::string::npos);

  // Read on every call; words, colours out of range and widths past the ends.
  struct Case {
    const char* ini;
    FrameSettings want;
  };
  for (const Case& c : {
           Case{"Active=0\r\nWidth=-4\r\nColor=-1\r\n", {false, 0, 255}},
           Case{"Active=ja\r\nWidth=100000\r\nColor=16777216\r\n", {false, 100, 255}},
           Case{"Active=2\r\nWidth=abc\r\nColor=16777215\r\n", {true, 10, 16777215}},
           Case{"Active= 1 \r\nWidth=0\r\nColor=0\r\n", {true, 0, 0}},
       }) {
    dir.Write("qlnd.ini", std::string("[Frame]\r\n") + c.ini);
    EXPECT_EQ(s.ReadFrameSettings(), c.want) << c.ini;
  }
}

TEST(cSetting, PathsAndNumberText) {
#ifdef _WIN32
  EXPECT_EQ(SettingsFilePath("C:\\Quellon"), std::filesystem::path("C:\\Quellon\\qlnd.ini"));
  EXPECT_EQ(SettingsFilePath("C:\\Quellon\\"), std::filesystem::path("C:\\Quellon\\qlnd.ini"));
  EXPECT_EQ(SettingsFilePath("C:\\"), std::filesystem::path("C:\\qlnd.ini"));
  EXPECT_EQ(ProgramFolderOf("C:\\Quellon\\"), std::filesystem::path("C:\\Quellon"));
#else
  EXPECT_EQ(SettingsFilePath("/opt/q"), std::filesystem::path("/opt/q/qlnd.ini"));
  EXPECT_EQ(SettingsFilePath("/opt/q/"), std::filesystem::path("/opt/q/qlnd.ini"));
  EXPECT_EQ(SettingsFilePath("/"), std::filesystem::path("/qlnd.ini"));
  EXPECT_EQ(ProgramFolderOf("/opt/q//"), std::filesystem::path("/opt/q"));
  EXPECT_EQ(ProgramFile("/opt/q", u"snd\\progress.wav"),
            std::filesystem::path("/opt/q/snd/progress.wav"));
#endif
  EXPECT_EQ(TextToLong(u"50"), 50);
  EXPECT_EQ(TextToLong(u" -3 "), -3);
  EXPECT_EQ(TextToLong(u"1.5"), 2);
  EXPECT_EQ(TextToLong(u"2.5"), 2);
  EXPECT_EQ(TextToLong(u"1e3"), 1000);
  EXPECT_EQ(TextToLong(u""), std::nullopt);
  EXPECT_EQ(TextToLong(u"12a"), std::nullopt);
  EXPECT_EQ(TextToLong(u"."), std::nullopt);
  EXPECT_EQ(TextToLong(u"99999999999"), std::nullopt);
}

}  // namespace
}  // namespace quellon::core
