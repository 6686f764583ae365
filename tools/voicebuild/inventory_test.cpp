#include "inventory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "text/text.h"

#ifdef QUELLON_VOICEBUILD_ENGINE
#include "synth/unit_selection.h"
#endif

namespace quellon::voicebuild {
namespace {

std::set<std::u16string> Names(const std::vector<UnitSpec>& specs) {
  std::set<std::u16string> names;
  for (const auto& s : specs) names.insert(s.name);
  return names;
}

TEST(InventoryTest, DesignFollowsTheRules) {
  const auto specs = DesignInventory();
  const auto names = Names(specs);
  EXPECT_EQ(names.size(), specs.size()) << "duplicate unit names";
  for (const auto& n : names) {
    for (char16_t c : n) EXPECT_TRUE(text::CharToCp1250(c)) << text::Utf16ToUtf8(n);
  }
  // Palatal pairs the rules keep, and the pause.
  for (std::u16string n :
       {u"dě", u"tě",  u"ně",  u"je", u"di", u"ti", u"ni", u"dy", u"ty", u"ny",
        u"ch", u"cha", u"chu", u"-",  u"ô",  u"ĺ",  u"ŕ",  u"ľa", u"ďa", u"ťu"}) {
    EXPECT_TRUE(names.count(n)) << text::Utf16ToUtf8(n);
  }
  // Pairs that must be absent so that the rules say them otherwise.
  for (std::u16string n :
       {u"bě", u"pě", u"vě", u"mě", u"by", u"ě", u"y", u"ä", u"xa", u"qu", u"ďi", u"á", u"dá"}) {
    EXPECT_FALSE(names.count(n)) << text::Utf16ToUtf8(n);
  }
  for (const auto& s : specs) {
    if (s.name == u"di") {
      EXPECT_EQ(s.onset[0].phone, "d~");
    }
    if (s.name == u"dy") {
      EXPECT_EQ(s.onset[0].phone, "d");
    }
    if (s.name == u"dě") {
      EXPECT_EQ(s.onset[0].phone, "d~");
    }
    if (s.name == u"g" || s.name == u"ď") {
      EXPECT_FALSE(s.keepMarks);
    }
    if (s.name == u"m") {
      EXPECT_TRUE(s.keepMarks);
    }
    if (s.name == u"p") {
      EXPECT_EQ(s.kind, UnitKind::kPlosive);
    }
    if (s.name == u"sa") {
      EXPECT_FALSE(s.voicedOnset);
    }
    if (s.name == u"za") {
      EXPECT_TRUE(s.voicedOnset);
    }
  }
}

TEST(InventoryTest, AbsenceReasons) {
  EXPECT_TRUE(AbsenceReason(u"bě"));
  EXPECT_NE(AbsenceReason(u"mě")->find("ně"), std::string::npos);
  EXPECT_TRUE(AbsenceReason(u"st"));
  EXPECT_TRUE(AbsenceReason(u"au"));
  EXPECT_TRUE(AbsenceReason(u"ab"));
  EXPECT_TRUE(AbsenceReason(u"chl"));
  EXPECT_TRUE(AbsenceReason(u"chě"));
  EXPECT_TRUE(AbsenceReason(u"xa"));
  // A consonant-vowel pair has no excuse: it must be in the voice.
  EXPECT_FALSE(AbsenceReason(u"ba"));
  EXPECT_FALSE(AbsenceReason(u"cha"));
  EXPECT_FALSE(AbsenceReason(u"k"));
}

TEST(InventoryTest, UnitNamesOfAUnitList) {
  EXPECT_EQ(UnitNames(u"do,.28,3,0 b,1,0,0 -,10,0"),
            (std::vector<std::u16string>{u"do", u"b", u"-"}));
  EXPECT_TRUE(UnitNames(u"").empty());
}

// A stand-in for unit selection: tries the pair at every position, falls back to the letter.
std::u16string PairsOrLetters(std::u16string_view word, const UnitInventory& inv) {
  std::u16string list;
  for (std::size_t i = 0; i < word.size(); ++i) {
    std::u16string name(1, word[i]);
    if (i + 1 < word.size() && inv.UnitExists(word.substr(i, 2))) name = word.substr(i++, 2);
    if (!list.empty()) list += u' ';
    list += name + u",1,0,0";
  }
  return list;
}

TEST(InventoryTest, CoverageSortsLookupsIntoUsedAbsentAndMissing) {
  const std::set<std::u16string> voice = {u"ba", u"!ba", u"s", u"t", u"a", u"o", u"unused"};
  const CoverageReport r = AnalyseCoverage({u"bast", u"bě", u"os", u"zo"}, voice, &PairsOrLetters);
  EXPECT_EQ(r.words, 4u);
  EXPECT_EQ(r.used.at(u"ba"), 1u);
  EXPECT_EQ(r.used.at(u"s"), 2u);
  // "st" and "os" were looked up and are absent for a reason; "zo" has none.
  EXPECT_EQ(r.absent.count(u"os"), 1u);
  EXPECT_EQ(r.absent.count(u"st"), 1u);
  EXPECT_EQ(r.absent.at(u"bě").example, u"bě");
  ASSERT_EQ(r.missing.size(), 4u);  // b, ě (emitted, not in the voice), zo, z
  EXPECT_EQ(r.missing.count(u"zo"), 1u);
  EXPECT_EQ(r.missing.at(u"b"), u"bě");
  // "a" is only ever spoken inside "ba".
  EXPECT_EQ(r.unused, (std::vector<std::u16string>{u"a", u"unused"}));
}

TEST(InventoryTest, AlphabetSweepCoversEveryLetterPair) {
  const auto words = AlphabetSweep();
  EXPECT_NE(std::find(words.begin(), words.end(), u"dě"), words.end());
  EXPECT_NE(std::find(words.begin(), words.end(), u"chá"), words.end());
  EXPECT_NE(std::find(words.begin(), words.end(), u"aťua"), words.end());
}

#ifdef QUELLON_VOICEBUILD_ENGINE
TEST(InventoryTest, TheDesignedInventoryLeavesNoGapUnderTheRealRules) {
  std::set<std::u16string> voice;
  for (const auto& s : DesignInventory()) {
    voice.insert(s.name);
    if (s.kind != UnitKind::kPause && (s.kind != UnitKind::kConsonant || s.keepMarks)) {
      voice.insert(u"!" + s.name);
    }
  }
  const bool stop = false;
  UnitRequester rules = [&](std::u16string_view word, const UnitInventory& inv) {
    return PhomeneToWave(word, 0, inv, 16, stop);
  };
  std::vector<std::u16string> words = AlphabetSweep();
  for (std::u16string w : {u"běžet", u"město", u"dědeček", u"chyba", u"kůň", u"vôňa", u"ľudia",
                           u"vĺča", u"Wagner", u"xylofon", u"quido", u"ďábel"}) {
    words.push_back(w);
  }
  const CoverageReport r = AnalyseCoverage(words, voice, rules);
  for (const auto& [name, example] : r.missing) {
    ADD_FAILURE() << "missing " << text::Utf16ToUtf8(name) << " in " << text::Utf16ToUtf8(example);
  }
  EXPECT_EQ(r.absent.count(u"bě"), 1u);
  EXPECT_EQ(r.absent.count(u"mě"), 1u);
  EXPECT_TRUE(r.used.count(u"je"));
  EXPECT_TRUE(r.used.count(u"ně"));
}
#endif

}  // namespace
}  // namespace quellon::voicebuild
