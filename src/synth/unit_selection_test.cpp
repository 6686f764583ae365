#include "synth/unit_selection.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

namespace quellon {
namespace {

class Units : public UnitInventory {
 public:
  Units(std::initializer_list<std::u16string> names) : names_(names) {}
  bool UnitExists(std::u16string_view name) const override {
    return names_.count(std::u16string(name)) != 0;
  }

 private:
  std::set<std::u16string> names_;
};

const bool kGo = false;

std::u16string Select(std::u16string_view word, int pauseClass, const Units& units) {
  return PhomeneToWave(word, pauseClass, units, 30, kGo);
}

TEST(UnitSelection, ReductionAmount) {
  EXPECT_DOUBLE_EQ(ReductionAmount(1, 1), 0.01);
  EXPECT_DOUBLE_EQ(ReductionAmount(12, 12), 0.05);
  EXPECT_DOUBLE_EQ(ReductionAmount(11, 9), 0.10);
  EXPECT_DOUBLE_EQ(ReductionAmount(7, 3), 0.06);
  // Past the table: position x 0.01 up to position 10, then 0.01.
  EXPECT_EQ(ReductionAmount(13, 3), 3 * 0.01);
  EXPECT_EQ(ReductionAmount(40, 10), 10 * 0.01);
  EXPECT_EQ(ReductionAmount(40, 11), 0.01);
  EXPECT_EQ(ReductionAmount(13, 13), 0.01);
}

TEST(UnitSelection, LoneVowelAndPauseClasses) {
  const Units units{u"a", u"!a", u"m", u"ma", u"!ma"};
  EXPECT_EQ(Select(u"a", 0, units), u"a,.36,13,2");
  EXPECT_EQ(Select(u"a", 1, units), u"a,.36,11,6");
  EXPECT_EQ(Select(u"a", 2, units), u"a,.36,10,-8");
  EXPECT_EQ(Select(u"a", 3, units), u"a,.36,13,-2");
  // The last vowel of "mama": declination nearest(1 / 4 x 30) = 8 (second unit of a four-phoneme
  // string, half to even), then the pause class applied twice: +4 for a statement, -10 for a
  // question.
  EXPECT_EQ(Select(u"mama", 0, units), u"ma,.28,2,0 ma,.36,3,8");
  EXPECT_EQ(Select(u"mama", 1, units), u"ma,.28,2,0 ma,.36,11,12");
  EXPECT_EQ(Select(u"mama", 2, units), u"ma,.28,2,0 ma,.36,10,-2");
}

TEST(UnitSelection, SplitUnitsAndPauses) {
  const Units units{u"k", u"s", u"m", u"ně", u"!ně", u"a"};
  EXPECT_EQ(Select(u"x", 0, units), u"k,1,1,0 s,1,0,0");
  EXPECT_EQ(Select(u"q", 0, units), u"k,1,1,0 v,1.2,2,0");
  // "mě": "m" with factor 0.5 and then "ně" (0.3 - R(2, 2), rounded).
  EXPECT_EQ(Select(u"mě", 0, units), u"m,.5,0,0 ně,.29,0,0");
  // A "k" before "d" inside a phoneme string gets a pause before it. Assimilate always turns
  // "kd" into "gd", so this is only reachable with a phoneme string.
  EXPECT_EQ(detail::PhonemesToUnitList(u"akd", 0, units, 30, kGo),
            u"a,.99,13,2 -,10,0 k,1,1,2 d,1,0,2");
  // A space inside a word (from digit expansion) is a pause unit.
  EXPECT_EQ(Select(u"a a", 0, units), u"a,.99,13,2 -,2,1,2 a,1.2,3,20");
}

TEST(UnitSelection, FactorRules) {
  // "o" after a vowel with no pitch marks: 1 - R(5, 3) = 0.96, then -0.15 leaves the double
  // nearest 0.81, whose shortest text is ".8099999999999999".
  const Units plain{u"b", u"a", u"o"};
  EXPECT_EQ(Select(u"baobb", 0, plain),
            u"b,1,0,0 a,.98,2,6 o,.8099999999999999,3,12 b,1,0,12 b,1,0,12");
  // A lone "ě" after a consonant other than d, n, t, m is emitted again as "je", with the
  // factor of "je" (0.3 when it has pitch marks) less R: R(13, 11) = 0.01 gives 0.29, and
  // R(13, 10) = 0.1 gives 0.2 (0.19999999999999998 rounded to two decimals).
  const Units je{u"b", u"!je"};
  EXPECT_NE(Select(u"bbbbbbbbbběbb", 0, je).find(u" je,.29,3,23 "), std::u16string::npos);
  EXPECT_NE(Select(u"bbbbbbbbběbbb", 0, je).find(u" je,.2,3,21 "), std::u16string::npos);
  // Without pitch marks "je" starts from 1: 1 - 0.01.
  EXPECT_NE(Select(u"bbbbbbbbbběbb", 0, Units{u"b"}).find(u" je,.99,3,23 "), std::u16string::npos);
  // A long vowel inside the word counts as long (factor 0.5 - R / 5); at the very end a lone
  // long vowel arrives already shortened and counts as short (0.3 x 1.2).
  const Units longs{u"a", u"!a", u"b"};
  EXPECT_EQ(Select(u"ább", 0, longs), u"a,.5,13,2 b,1,0,2 b,1,0,2");
  EXPECT_EQ(Select(u"bá", 0, longs), u"b,1,0,0 a,.36,1,15");
  EXPECT_EQ(Select(u"báb", 0, longs), u"b,1,0,0 a,.5,1,10 b,1,0,10");
}

TEST(UnitSelection, StopFlagAndLongWords) {
  const Units units{u"b"};
  const bool stop = true;
  EXPECT_EQ(PhomeneToWave(u"bab", 0, units, 30, stop), u"");
  EXPECT_EQ(Select(u"", 0, units), u"");
  // The 16-bit phoneme position cannot pass 32767: a phoneme string of 32767 characters (or one
  // whose last unit would move the position past it) is not spoken.
  EXPECT_FALSE(Select(std::u16string(32766, u'b'), 0, units).empty());
  EXPECT_EQ(Select(std::u16string(32767, u'b'), 0, units), u"");
  const Units ch{u"ch", u"b"};
  EXPECT_EQ(Select(std::u16string(32764, u'b') + u"ch", 0, ch), u"");
  EXPECT_FALSE(Select(std::u16string(32763, u'b') + u"ch", 0, ch).empty());
}

}  // namespace
}  // namespace quellon
