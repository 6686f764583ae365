#include "text/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quellon::text {
namespace {

TEST(Cp1250, EveryCodeRoundTripsThroughUtf16) {
  for (int code = 0; code < 256; ++code) {
    const char16_t c = Cp1250ToChar(static_cast<std::uint8_t>(code));
    auto back = CharToCp1250(c);
    ASSERT_TRUE(back.has_value()) << "code " << code;
    EXPECT_EQ(*back, code) << "code " << code;
  }
  std::string all;
  for (int code = 0; code < 256; ++code) all.push_back(static_cast<char>(code));
  EXPECT_EQ(Utf16ToCp1250(Cp1250ToUtf16(all)), all);
}

TEST(Cp1250, KnownCzechAndSlovakLetters) {
  EXPECT_EQ(Cp1250ToUtf16("\xE8\xEC\xF8\x9A\x9E\xFD\xE1\xED\xE9\xF9\xFA\xEF\x9D\xF2"),
            u"čěřšžýáíéůúďťň");
  EXPECT_EQ(Cp1250ToUtf16("\xBE\xE5\xF4\xE4\xC8"), u"ľĺôäČ");
  EXPECT_EQ(Cp1250ToChar(0x80), u'€');
  EXPECT_EQ(Cp1250ToChar(0x81), u'\u0081');  // unassigned codes keep their value
  EXPECT_EQ(Cp1250ToChar(0x92), u'\u2019');
}

TEST(Cp1250, UnrepresentableCharactersBecomeTheReplacement) {
  EXPECT_EQ(Utf16ToCp1250(u"a\u0416b"), "a?b");       // Cyrillic Zhe
  EXPECT_EQ(Utf16ToCp1250(u"x\U0001F600y"), "x?y");   // one '?' for a surrogate pair
  EXPECT_EQ(Utf16ToCp1250(u"\u00F1", '_'), "_");      // n with tilde is not in the page
  EXPECT_FALSE(CharToCp1250(u'\u00E0').has_value());  // a grave
  EXPECT_EQ(Utf16ToCp1250(u"\xD800"), "?");           // lone surrogate
}

TEST(Utf8, ConvertsBothWaysAndReplacesMalformedInput) {
  const std::u16string czech = u"Příliš žluťoučký kůň úpěl ďábelské ódy";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(czech)), czech);
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");            // stray continuation
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");              // truncated at the end
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF!"), u"\uFFFD!");          // overlong slash
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80!"), u"\uFFFD!");      // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80!"), u"\uFFFD!");  // beyond U+10FFFF
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82x"), u"\uFFFDx");          // cut short by an ASCII byte
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");      // lone low surrogate
}

TEST(Case, AgreesWithTheCodePagePairs) {
  EXPECT_EQ(ToLower(u"ŽLUŤOUČKÝ KŮŇ ĎÁBELSKÉ ÓDY ĚŘŠ"), u"žluťoučký kůň ďábelské ódy ěřš");
  EXPECT_EQ(ToUpper(u"ľĺŕôäąęłńśźżőűţşă"), u"ĽĹŔÔÄĄĘŁŃŚŹŻŐŰŢŞĂ");
  EXPECT_EQ(ToLower(u'×'), u'×');
  EXPECT_EQ(ToUpper(u'ß'), u'ß');  // no capital in the code page
  EXPECT_EQ(ToUpper(u'µ'), u'µ');
  EXPECT_EQ(ToLower(u'Ж'), u'Ж');  // outside the code page: unchanged
  // Every letter pair of the code page maps both ways, and nothing else changes code page.
  int pairs = 0;
  for (int code = 0; code < 256; ++code) {
    const char16_t c = Cp1250ToChar(static_cast<std::uint8_t>(code));
    const char16_t lo = ToLower(c), up = ToUpper(c);
    ASSERT_TRUE(CharToCp1250(lo).has_value());
    ASSERT_TRUE(CharToCp1250(up).has_value());
    if (lo != c) {
      EXPECT_EQ(ToUpper(lo), c) << "code " << code;
      ++pairs;
    }
    if (up != c) {
      EXPECT_EQ(ToLower(up), c) << "code " << code;
    }
  }
  EXPECT_EQ(pairs, 26 + 30 + 10);  // ASCII, the 0xC0 block, the scattered pairs
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(2.4999999), 2.0);
  EXPECT_EQ(RoundHalfEven(-2.5000001), -3.0);
  EXPECT_EQ(RoundHalfEven(1e300), 1e300);
}

TEST(Rounding, ReportsOverflowInsteadOfWrapping) {
  EXPECT_EQ(RoundToInt16(32767.4), std::optional<std::int16_t>(32767));
  EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);                          // rounds to 32768
  EXPECT_EQ(RoundToInt16(-32768.5), std::optional<std::int16_t>(-32768));  // even: -32768
  EXPECT_EQ(RoundToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(RoundToInt32(2147483647.0), std::optional<std::int32_t>(2147483647));
  EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
  EXPECT_EQ(RoundToInt32(-2147483648.5), std::optional<std::int32_t>(-2147483648LL));
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
}

TEST(LeadingNumber, ReadsTheNumericPrefix) {
  EXPECT_EQ(LeadingNumber(u"45 %"), 45.0);
  EXPECT_EQ(LeadingNumber(u"abc"), 0.0);
  EXPECT_EQ(LeadingNumber(u""), 0.0);
  EXPECT_EQ(LeadingNumber(u"  -12.5kg"), -12.5);
  EXPECT_EQ(LeadingNumber(u"+7"), 7.0);
  EXPECT_EQ(LeadingNumber(u".25"), 0.25);
  EXPECT_EQ(LeadingNumber(u"-.5x"), -0.5);
  EXPECT_EQ(LeadingNumber(u"3."), 3.0);
  EXPECT_EQ(LeadingNumber(u"1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber(u"-"), 0.0);
  EXPECT_EQ(LeadingNumber(u"."), 0.0);
  EXPECT_EQ(LeadingNumber("1e5"), 1.0);  // no exponent form
  EXPECT_EQ(LeadingNumber("0012"), 12.0);
  EXPECT_TRUE(std::isinf(LeadingNumber(std::string(400, '9'))));
}

TEST(ShortestDecimal, WritesTheUnitListForm) {
  EXPECT_EQ(ShortestDecimal(1.0), "1");
  EXPECT_EQ(ShortestDecimal(0.3), ".3");
  EXPECT_EQ(ShortestDecimal(1.25), "1.25");
  EXPECT_EQ(ShortestDecimal(-0.5), "-.5");
  EXPECT_EQ(ShortestDecimal(0.0), "0");
  EXPECT_EQ(ShortestDecimal(-0.0), "0");
  EXPECT_EQ(ShortestDecimal(2.0), "2");
  EXPECT_EQ(ShortestDecimal(0.3 * 1.2), ".36");
  EXPECT_EQ(ShortestDecimal(0.96 - 0.15), ".8099999999999999");
  EXPECT_EQ(ShortestDecimal(1e21), "1000000000000000000000");
  EXPECT_EQ(ShortestDecimal16(-12.75), u"-12.75");
  // What is written reads back as the same value.
  for (double v : {0.1, 0.7, 1.0 / 3.0, 123.456, -0.01, 5e-324}) {
    EXPECT_EQ(LeadingNumber(ShortestDecimal(v)), v) << ShortestDecimal(v);
  }
}

}  // namespace
TEST(TrimSpaces, OnlySpacesAtBothEndsGo) {
  EXPECT_EQ(TrimSpaces(u"  tlačítko "), u"tlačítko");
  EXPECT_EQ(TrimSpaces(u"   "), u"");
  EXPECT_EQ(TrimSpaces(u""), u"");
  EXPECT_EQ(TrimSpaces(u"\tb a\t"), u"\tb a\t");  // tabs and inner spaces stay
}

}  // namespace quellon::text
