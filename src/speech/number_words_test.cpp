#include "speech/number_words.h"

#include <gtest/gtest.h>

#include <string>

namespace quellon {
namespace {

TEST(NumberWords, SmallNumbersAndLeadingZeros) {
  InitNumberWords();
  EXPECT_EQ(NumberToWords(u"0"), u"nula");
  EXPECT_EQ(NumberToWords(u"000"), u"nulanulanula");
  EXPECT_EQ(NumberToWords(u"007"), u"nulanulasedum");
  EXPECT_EQ(NumberToWords(u"7"), u"sedum");
  EXPECT_EQ(NumberToWords(u"8"), u"osum");
  EXPECT_EQ(NumberToWords(u"17"), u"sedumnáct");
  EXPECT_EQ(NumberToWords(u"20"), u"dvacet");
  EXPECT_EQ(NumberToWords(u"21"), u"dvacetjedna");
  EXPECT_EQ(NumberToWords(u"40"), u"čtyřicet");
  EXPECT_EQ(NumberToWords(u"78"), u"sedumdesátosum");
}

TEST(NumberWords, HundredsAndThousandsKeepTheirTrailingSpaces) {
  EXPECT_EQ(NumberToWords(u"100"), u"sto ");
  EXPECT_EQ(NumberToWords(u"115"), u"sto patnáct");
  EXPECT_EQ(NumberToWords(u"200"), u"dvěstě");
  EXPECT_EQ(NumberToWords(u"234"), u"dvěstětřicetčtyři");
  EXPECT_EQ(NumberToWords(u"300"), u"třista ");
  EXPECT_EQ(NumberToWords(u"507"), u"pětset sedum");
  EXPECT_EQ(NumberToWords(u"999"), u"devětset devadesátdevět");
  EXPECT_EQ(NumberToWords(u"1000"), u"tisíc ");
  EXPECT_EQ(NumberToWords(u"2000"), u"dvatisíce ");
  EXPECT_EQ(NumberToWords(u"2500"), u"dvatisíce pětset ");
  EXPECT_EQ(NumberToWords(u"4010"), u"čtyřitisíce deset");
  EXPECT_EQ(NumberToWords(u"9999"), u"devěttisíc devětset devadesátdevět");
  EXPECT_EQ(NumberToWords(u"01000"), u"nulatisíc ");
}

TEST(NumberWords, LargeNumbersAreReadInGroupsOfThree) {
  EXPECT_EQ(NumberToWords(u"12345"), u"dvanáct třista čtyřicetpět ");
  EXPECT_EQ(NumberToWords(u"10005"), u"deset nulanulapět ");
  EXPECT_EQ(NumberToWords(u"0012345"), u"nula nuladvanáct třista čtyřicetpět ");
  EXPECT_EQ(NumberToWords(u"1000000"), u"jedna nulanulanula nulanulanula ");
  // Too large for a double: only the leading zeros are spoken.
  const std::u16string huge(400, u'9');
  EXPECT_EQ(NumberToWords(huge), u"");
  EXPECT_EQ(NumberToWords(u"00" + huge), u"nulanula");
  // 10^308 is still a finite double and reads in groups ("100" first).
  const std::u16string big = u"1" + std::u16string(308, u'0');
  EXPECT_EQ(NumberToWords(big).substr(0, 19), u"sto  nulanulanula n");
}

TEST(NumberWords, ExpandDigitsSurroundsRunsWithSpaces) {
  EXPECT_EQ(ExpandDigits(u"3x"), u" tři x");
  EXPECT_EQ(ExpandDigits(u"12"), u" dvanáct");
  EXPECT_EQ(ExpandDigits(u"abc"), u"abc");
  EXPECT_EQ(ExpandDigits(u"a1b22"), u"a jedna b dvacetdva");
  EXPECT_EQ(ExpandDigits(u"1+1"), u" jedna + jedna");
  EXPECT_EQ(ExpandDigits(u""), u"");
}

}  // namespace
}  // namespace quellon
