// The pronunciation dictionary: a per-voice list of word rewrites read from a ".def" text file and
// applied to every announcement before it is spoken.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quellon {

struct DictionaryEntry {
  std::u16string Key, Replacement;
  // Bit 0: the key was written with a leading "*" (suffix rule); bit 1: with a trailing "*"
  // (prefix rule); both: infix rule; 0: whole word.
  std::int32_t Mode = 0;
};
using PronunciationDictionary = std::vector<DictionaryEntry>;

enum class DictionaryEncoding { Cp1250, Utf8 };

// Files larger than this are refused (empty dictionary): real dictionaries are a few kilobytes,
// and every entry is scanned for every word spoken.
constexpr std::uintmax_t kMaxDictionaryBytes = 1u << 20;
// A single rewrite that would produce more characters than this counts as a failed rewrite and
// leaves the word as it is.
constexpr std::size_t kMaxRewriteLength = 1u << 16;
// Once the rewritten text holds this many characters, the remaining words are passed through
// without lookup, so a hostile dictionary cannot blow up memory.
constexpr std::size_t kMaxRewrittenText = 1u << 22;

// Reads a dictionary file: one rule a line, the key, one space, the replacement.
// - A missing file gives one empty entry (which matches nothing).
// - Lines end at LF; one CR before the LF (or at the end of the file) is removed, so CR LF files
//   read like LF files. Any other CR, NUL or control byte is an ordinary character.
// - Empty lines and lines that do not split into exactly two parts at spaces are skipped.
// - A key that is a lone "*" (its trailing mark cannot be removed once the leading one is gone)
//   makes the whole load fail; so do a file that cannot be read and a file larger than
//   kMaxDictionaryBytes. A failed load gives an empty dictionary.
// - Cp1250: every byte is one Windows-1250 character. Utf8: malformed sequences become U+FFFD and
//   a leading byte-order mark is dropped.
PronunciationDictionary LoadDictionary(const std::filesystem::path& path,
                                       DictionaryEncoding encoding = DictionaryEncoding::Cp1250);

// Parses dictionary text already in memory (the file's bytes); the rules of LoadDictionary apply.
PronunciationDictionary ParseDictionary(std::string_view bytes,
                                        DictionaryEncoding encoding = DictionaryEncoding::Cp1250);

// The text lower-cased and rewritten word by word. Words are separated by " .,;-", tab, CR and LF;
// separators stay in place, and a separator that does not follow a word is itself looked up.
std::u16string ApplyDictionary(const PronunciationDictionary& dictionary, std::u16string_view text);

// One word's rewrite, or the word itself when no rule gives a non-empty result.
std::u16string LookupWord(const PronunciationDictionary& dictionary, std::u16string_view word);

// The result of the first entry that matches the word, or empty when none does. Comparisons are
// exact and case-sensitive. An entry with an empty key never matches: the key "**" (both marks,
// nothing between) and a line starting with a space leave such entries, and an empty infix key
// would otherwise match every word without changing it and hide every later rule.
std::u16string MatchRule(const PronunciationDictionary& dictionary, std::u16string_view word);

}  // namespace quellon
