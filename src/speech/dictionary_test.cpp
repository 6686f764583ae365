#include "speech/dictionary.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/test_folder.h"

namespace quellon {
namespace {

std::u16string Apply(std::string_view file, std::u16string_view text) {
  return ApplyDictionary(ParseDictionary(file), text);
}

TEST(Dictionary, RuleKindsFromTheFile) {
  const auto dict = ParseDictionary("*ing ink\npre* pro\n*ab* x\nahoj nazdar\n");
  ASSERT_EQ(dict.size(), 4u);
  EXPECT_EQ(dict[0].Key, u"ing");
  EXPECT_EQ(dict[0].Mode, 1);
  EXPECT_EQ(dict[1].Mode, 2);
  EXPECT_EQ(dict[2].Key, u"ab");
  EXPECT_EQ(dict[2].Mode, 3);
  EXPECT_EQ(dict[3].Mode, 0);
  EXPECT_EQ(ApplyDictionary(dict, u"thing"), u"think");
  EXPECT_EQ(ApplyDictionary(dict, u"prefix"), u"profix");
  EXPECT_EQ(ApplyDictionary(dict, u"abcab"), u"xcx");
  EXPECT_EQ(ApplyDictionary(dict, u"ahoj ahojky"), u"nazdar ahojky");
  EXPECT_EQ(ApplyDictionary(dict, u"AHOJ"), u"nazdar");
  EXPECT_EQ(Apply("Ahoj nazdar\n", u"Ahoj"), u"ahoj");  // the key's capital never matches
  EXPECT_EQ(Apply("aa b\n", u"aaa"), u"aaa");
  EXPECT_EQ(Apply("*aa* b\n", u"aaaaa"), u"bba");  // left to right, no overlap
  EXPECT_EQ(Apply("ahoj \n", u"ahoj"), u"ahoj");   // empty replacement: unchanged
  EXPECT_EQ(Apply("*a x\n*b y\n", u"ab"), u"ay");  // first matching rule wins
}

TEST(Dictionary, SeparatorsAndLoneSeparatorLookups) {
  const auto dict = ParseDictionary("ahoj AHOJ\nsvete SVETE\n, CARKA\n- minus\n");
  // The separators right after a word are kept as they are; one that follows another separator
  // is looked up itself (the space after the comma here, which no rule rewrites).
  EXPECT_EQ(ApplyDictionary(dict, u"Ahoj, svete."), u"AHOJ, SVETE.");
  EXPECT_EQ(ApplyDictionary(dict, u"Ahoj,,svete"), u"AHOJ,CARKASVETE");
  EXPECT_EQ(ApplyDictionary(dict, u"a,-b"), u"a,minusb");
  EXPECT_EQ(ApplyDictionary(dict, u"svete\r\n"), u"SVETE\r\n");
  EXPECT_EQ(ApplyDictionary(dict, u""), u"");
  EXPECT_EQ(ApplyDictionary({}, u"Ahoj SVĚTE"), u"ahoj světe");
}

TEST(Dictionary, MalformedLinesAndJunk) {
  // Lines that do not split into exactly two parts are skipped; CR before LF is dropped.
  auto dict = ParseDictionary("a  b\nsingle\n\r\nx y z\nok fine\r\nlast one");
  ASSERT_EQ(dict.size(), 2u);
  EXPECT_EQ(dict[0].Key, u"ok");
  EXPECT_EQ(dict[0].Replacement, u"fine");
  EXPECT_EQ(dict[1].Replacement, u"one");
  // A lone "*" key fails the whole load.
  EXPECT_TRUE(ParseDictionary("ok fine\n* x\nmore rules\n").empty());
  // "**" leaves an empty infix key: it loads, never matches, and does not hide later rules.
  dict = ParseDictionary("** x\nab cd\n");
  ASSERT_EQ(dict.size(), 2u);
  EXPECT_EQ(dict[0].Key, u"");
  EXPECT_EQ(dict[0].Mode, 3);
  EXPECT_EQ(ApplyDictionary(dict, u"ab ef"), u"cd ef");
  // A line starting with a space gives an empty whole-word key, which matches nothing.
  EXPECT_EQ(Apply(" x\n", u"a b"), u"a b");
  // NUL and other control bytes are ordinary characters.
  dict = ParseDictionary(std::string("a\0b c\n", 6));
  ASSERT_EQ(dict.size(), 1u);
  EXPECT_EQ(dict[0].Key, std::u16string(u"a\0b", 3));
  // Windows-1250 by default; UTF-8 on request, byte-order mark dropped.
  EXPECT_EQ(Apply("\xe8\x61 x\n", u"ČA"), u"x");
  EXPECT_EQ(ApplyDictionary(
                ParseDictionary("\xEF\xBB\xBF\xC4\x8D\x61 x\n", DictionaryEncoding::Utf8), u"ča"),
            u"x");
}

TEST(Dictionary, MemoryBounds) {
  EXPECT_TRUE(ParseDictionary(std::string(kMaxDictionaryBytes + 1, 'a')).empty());
  // A rewrite that would grow past the limit leaves the word as it is.
  const std::string line = "*a* " + std::string(1000, 'b') + "\n";
  const std::u16string word(200, u'a');
  EXPECT_EQ(LookupWord(ParseDictionary(line), word), word);
  EXPECT_EQ(LookupWord(ParseDictionary(line), u"aa").size(), 2000u);
}

TEST(Dictionary, LoadingFiles) {
  const quellon::testing::TestFolder folder;
  const auto& dir = folder.Path();
  // Missing file: one empty entry, which changes nothing.
  auto dict = LoadDictionary(dir / "missing.def");
  ASSERT_EQ(dict.size(), 1u);
  EXPECT_EQ(dict[0].Key, u"");
  EXPECT_EQ(ApplyDictionary(dict, u"Ahoj"), u"ahoj");
  folder.Write("voice.def", "ahoj nazdar\r\n*\xe1k ak\r\n");
  dict = LoadDictionary(dir / "voice.def");
  ASSERT_EQ(dict.size(), 2u);
  EXPECT_EQ(ApplyDictionary(dict, u"Ahoj, ták"), u"nazdar, tak");
  // A folder is not a readable file: no rules.
  EXPECT_TRUE(LoadDictionary(dir).empty());
}

}  // namespace
}  // namespace quellon
