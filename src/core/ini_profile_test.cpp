#include "core/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "testing/test_folder.h"

namespace quellon::core {
namespace {

using testing::TestFolder;

std::u16string Get(IniProfile& ini, const std::filesystem::path& f, std::u16string_view section,
                   std::u16string_view key, std::u16string_view def = u"DEF",
                   std::uint32_t size = 1024) {
  std::u16string out;
  const std::uint32_t n = ini.GetPrivateProfileString(section, key, def, out, size, f);
  EXPECT_EQ(n, out.size());
  return out;
}

TEST(IniProfile, ReadsValuesLikeTheWindowsProfileFunctions) {
  TestFolder dir;
  IniProfile ini;
  const auto f = dir.Write("a.ini",
                           "; settings\r\n"
                           "[Voice]\r\n"
                           "  Name =  \"Male voice\"  \r\n"
                           "name=Second\r\n"
                           "Single='x'\r\n"
                           "Lone=\"\r\n"
                           "Inner=a \"b\" c\r\n"
                           "Bare\r\n"
                           "Empty=\r\n"
                           ";Volume=99\r\n"
                           "[  info ]\r\n"
                           "TextSize=30\r\n"
                           "[Voice]\r\n"
                           "Pitch=70\r\n"
                           "[Ryb\xED"
                           "\xE8ky]\r\n"
                           "\xC8"
                           "esky=\x9E"
                           "lu\x9D"
                           "ou\xE8k\xFD\r\n");
  // Case-insensitive names, blanks trimmed, quotes removed, the first of duplicate keys wins.
  EXPECT_EQ(Get(ini, f, u"VOICE", u"NAME"), u"Male voice");
  EXPECT_EQ(Get(ini, f, u"voice", u" name "), u"Male voice");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Single"), u"x");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Lone"), u"\"");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Inner"), u"a \"b\" c");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Bare"), u"");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Empty"), u"");
  // A commented-out key does not exist; the default loses its trailing blanks.
  EXPECT_EQ(Get(ini, f, u"Voice", u"Volume", u"50  "), u"50");
  EXPECT_EQ(Get(ini, f, u"Voice", u";Volume", u"d"), u"d");
  EXPECT_EQ(Get(ini, f, u"Info", u"TextSize"), u"30");
  // Only the first section of a name counts.
  EXPECT_EQ(Get(ini, f, u"Voice", u"Pitch"), u"DEF");
  // Windows-1250 text, and Czech names compare without case too.
  EXPECT_EQ(Get(ini, f, u"RYBÍČKY", u"česky"), u"žluťoučký");
  // The buffer holds size - 1 characters.
  EXPECT_EQ(Get(ini, f, u"Voice", u"Name", u"", 5), u"Male");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Name", u"", 1), u"");
  EXPECT_EQ(Get(ini, f, u"Voice", u"Missing", u"abcdef", 4), u"abc");
  // No such file: the default.
  EXPECT_EQ(Get(ini, dir.File("none.ini"), u"Voice", u"Name"), u"DEF");
  EXPECT_TRUE(ini.FileExists(f));
  EXPECT_FALSE(ini.FileExists(dir.File("none.ini")));
  EXPECT_FALSE(ini.FileExists(dir.Path()));
  EXPECT_FALSE(ini.FileExists(""));
}

TEST(IniProfile, SectionTextAndNumbers) {
  TestFolder dir;
  IniProfile ini;
  const auto f = dir.Write("a.ini",
                           "[Info]\n; comment\nTextSize=20\n\nActive\n[Empty]\n\n[Num]\n"
                           "a=  42 apples\nb=-17\nc=+5\nd=abc\ne=\nf=0x1F\ng=\"12\"\nh=4294967295\n"
                           "i=99999999999\n");
  std::u16string text;
  EXPECT_EQ(ini.GetPrivateProfileSection(u"info", text, 1024, f), 19u);
  EXPECT_EQ(text, std::u16string(u"TextSize=20\0Active\0", 19));
  // Too small a buffer: cut, and size - 2 returned.
  EXPECT_EQ(ini.GetPrivateProfileSection(u"Info", text, 8, f), 6u);
  EXPECT_EQ(text, u"TextSi");
  // A section without entries and a missing one both give 0.
  EXPECT_EQ(ini.GetPrivateProfileSection(u"Empty", text, 1024, f), 0u);
  EXPECT_EQ(ini.GetPrivateProfileSection(u"Nope", text, 1024, f), 0u);
  EXPECT_EQ(ini.GetPrivateProfileSection(u"Info", text, 1024, dir.File("x.ini")), 0u);

  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"a", 7, f), 42);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"b", 7, f), -17);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"c", 7, f), 5);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"d", 7, f), 0);   // junk reads as 0
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"e", 7, f), 7);   // empty: the default
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"f", 7, f), 31);  // hexadecimal
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"g", 7, f), 12);  // quotes removed first
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"h", 7, f), -1);  // wraps to 32 bits
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"i", 7, f),
            static_cast<std::int32_t>(99999999999LL & 0xFFFFFFFF));
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Num", u"zz", -3, f), -3);
  EXPECT_EQ(ProfileNumber(u"\t-0x10"), -16);
  EXPECT_EQ(ProfileNumber(u"0b101"), 5);
  EXPECT_EQ(ProfileNumber(u"--5"), 0);
}

TEST(IniProfile, WritesChangeOnlyTheirOwnLine) {
  TestFolder dir;
  IniProfile ini;
  const std::string before =
      "; my settings\r\n[Info]\r\nTextSize = 20 ; big\r\n\r\n[Voice]\r\nName=Male\r\n"
      "\r\n; tail comment\r\n";
  const auto f = dir.Write("q.ini", before);
  ASSERT_TRUE(ini.WritePrivateProfileString(u"info", u"textsize", u"30", f));
  EXPECT_EQ(TestFolder::Read(f),
            "; my settings\r\n[Info]\r\nTextSize=30\r\n\r\n[Voice]\r\nName=Male\r\n"
            "\r\n; tail comment\r\n");
  // A new key goes after the last non-blank line of its section.
  ASSERT_TRUE(ini.WritePrivateProfileString(u"Info", u"Active", u"1", f));
  EXPECT_EQ(TestFolder::Read(f),
            "; my settings\r\n[Info]\r\nTextSize=30\r\nActive=1\r\n\r\n[Voice]\r\nName=Male\r\n"
            "\r\n; tail comment\r\n");
  // A new section is appended after a blank line; the text goes out in Windows-1250.
  ASSERT_TRUE(ini.WritePrivateProfileString(u"General", u"Lang", u"en", f));
  ASSERT_TRUE(ini.WritePrivateProfileString(u"Voice", u"Name", u"Žena", f));
  EXPECT_EQ(TestFolder::Read(f),
            "; my settings\r\n[Info]\r\nTextSize=30\r\nActive=1\r\n\r\n[Voice]\r\nName=\x8E"
            "ena\r\n\r\n; tail comment\r\n\r\n[General]\r\nLang=en\r\n");
  std::u16string out;
  ini.GetPrivateProfileString(u"Voice", u"Name", u"", out, 100, f);
  EXPECT_EQ(out, u"Žena");

  // LF files get LF lines; a last line without a line end gets one first.
  const auto g = dir.Write("lf.ini", "[A]\nx=1");
  ASSERT_TRUE(ini.WritePrivateProfileString(u"A", u"y", u"2", g));
  ASSERT_TRUE(ini.WritePrivateProfileString(u"B", u"z", u"3", g));
  EXPECT_EQ(TestFolder::Read(g), "[A]\nx=1\ny=2\n\n[B]\nz=3\n");

  // A missing file is created; a missing folder makes the write fail.
  const auto h = dir.File("new.ini");
  ASSERT_TRUE(ini.WritePrivateProfileString(u"Info", u"Active", u"1", h));
  EXPECT_EQ(TestFolder::Read(h), "[Info]\r\nActive=1\r\n");
  EXPECT_FALSE(
      ini.WritePrivateProfileString(u"Info", u"Active", u"1", dir.File("no-such-folder/x.ini")));

  // UTF-16 files stay UTF-16.
  const std::string utf16("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x0D\x01\r\0\n\0", 22);
  const auto u = dir.Write("u16.ini", utf16);
  ini.GetPrivateProfileString(u"a", u"K", u"", out, 100, u);
  EXPECT_EQ(out, u"č");
  ASSERT_TRUE(ini.WritePrivateProfileString(u"A", u"k", u"ř", u));
  EXPECT_EQ(TestFolder::Read(u),
            std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x59\x01\r\0\n\0", 22));

  // A UTF-16 file that ends in half a character loses that byte, so what is added stays readable.
  const auto odd = dir.Write("odd.ini", std::string("\xFF\xFE[\0A\0]\0\xFF", 9));
  ASSERT_TRUE(ini.WritePrivateProfileString(u"Voice", u"Volume", u"55", odd));
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Voice", u"Volume", 0, odd), 55);
  EXPECT_EQ(TestFolder::Read(odd).size() % 2, 0u);
}

TEST(IniProfile, DamagedAndReadOnlyFilesAreLeftAlone) {
  TestFolder dir;
  IniProfile ini;
  // A binary file: every read gives the default and a write leaves it untouched.
  std::string binary("[Info]\r\nActive=1\r\n\0\x01\x02\xFF garbage", 28);
  const auto b = dir.Write("bin.ini", binary);
  std::u16string out;
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Info", u"Active", 5, b), 5);
  EXPECT_EQ(ini.GetPrivateProfileSection(u"Info", out, 1024, b), 0u);
  EXPECT_FALSE(ini.WritePrivateProfileString(u"Info", u"Active", u"0", b));
  EXPECT_EQ(TestFolder::Read(b), binary);
  // An oversized file likewise.
  const auto big =
      dir.Write("big.ini", "[Info]\nActive=1\n" + std::string(IniProfile::kMaxFileBytes, ';'));
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Info", u"Active", 5, big), 5);

  // A read-only file: the write fails and the file keeps its contents.
  const std::string text = "[Info]\r\nActive=1\r\n";
  const auto r = dir.Write("ro.ini", text);
  std::filesystem::permissions(r, std::filesystem::perms::owner_read |
                                      std::filesystem::perms::group_read |
                                      std::filesystem::perms::others_read);
  if (std::fstream(r, std::ios::in | std::ios::out)) {
    GTEST_SKIP() << "running with rights that ignore read-only files";
  }
  EXPECT_FALSE(ini.WritePrivateProfileString(u"Info", u"Active", u"0", r));
  EXPECT_FALSE(ini.WritePrivateProfileString(u"Voice", u"Name", u"x", r));
  EXPECT_EQ(TestFolder::Read(r), text);
  EXPECT_EQ(ini.GetPrivateProfileInt(u"Info", u"Active", 5, r), 1);
}

}  // namespace
}  // namespace quellon::core
