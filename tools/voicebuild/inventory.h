// Which units the default voice holds, how each is cut from the source voice, and the coverage
// report that checks the inventory against the units the letter-to-sound and unit-selection rules
// actually ask for.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "speech/unit_inventory.h"

namespace quellon::voicebuild {

enum class UnitKind {
  kPause,      // "-": silence
  kVowel,      // a lone vowel: a steady vowel with its stable mark near the start
  kPair,       // consonant + vowel (also "ch" + vowel, and "ô" as the glide u + o)
  kConsonant,  // a lone consonant
  kPlosive,    // a lone "p" or "t": closure, burst and the two marks of the plosive cut
};

struct SourcePhone {
  std::string phone;  // phone of the source voice's phone set
  double seconds = 0;
};

struct UnitSpec {
  std::u16string name;
  UnitKind kind = UnitKind::kPause;
  std::vector<SourcePhone> onset;  // consonant part (pairs, consonants, plosives) or the glide of ô
  std::string vowel;               // vowel phone (pairs, vowels)
  bool voicedOnset = false;        // the unit starts voiced: its first mark lies near its start
  bool keepMarks = false;          // lone consonants: store pitch marks
};

// The units of the default voice, in the order they are written.
std::vector<UnitSpec> DesignInventory();

// Why a name that unit selection may look up is deliberately not in the voice; nullopt when there
// is no such reason (a name that the rules can ask for must then be in the voice).
std::optional<std::string> AbsenceReason(std::u16string_view name);

// Returns the unit list of one word as unit selection computes it with the given inventory.
using UnitRequester =
    std::function<std::u16string(std::u16string_view word, const UnitInventory& inventory)>;

struct CoverageReport {
  std::size_t words = 0;
  std::map<std::u16string, std::size_t> used;  // units of the voice that were asked for, by count
  // Names that were looked up but are not in the voice, with their reason and one example word.
  struct Absent {
    std::string reason;
    std::size_t count = 0;
    std::u16string example;
  };
  std::map<std::u16string, Absent> absent;
  // Names asked for that the voice lacks without a reason (silence in speech), with an example.
  std::map<std::u16string, std::u16string> missing;
  std::vector<std::u16string> unused;  // units of the voice nobody asked for
};

// Runs unit selection over every word with an inventory that holds exactly `voiceNames` (units and
// "!" pitch-mark entries) and records every name looked up and every unit emitted.
CoverageReport AnalyseCoverage(const std::vector<std::u16string>& words,
                               const std::set<std::u16string>& voiceNames,
                               const UnitRequester& requester);

// Every pair of letters of the Czech and Slovak alphabets, and "ch" followed by each letter, as
// words: unit selection over these asks for every name it can ask for on Czech and Slovak text.
std::vector<std::u16string> AlphabetSweep();

// Unit names of a unit list ("name,factor,state,pitch" items separated by spaces).
std::vector<std::u16string> UnitNames(std::u16string_view unitList);

}  // namespace quellon::voicebuild
