// Letter-to-sound rules: a Czech or Slovak word rewritten into the phoneme string that unit
// selection works on.
#pragma once

#include <string>
#include <string_view>

namespace quellon {

// Lower-cases the word and rewrites it character by character: voiced consonants are devoiced
// before voiceless ones and (for "ž", "d", "h", "v") at the word end, "k" before "d" becomes "g",
// "w" "ü" "ä" "ö" become native letters, "y" becomes "i" except after "t", "d", "n", "h" becomes
// "ch" where it is devoiced, and "+" is spelled "plus". Works on UTF-16 code units; characters the
// rules do not name pass through lower-cased.
std::u16string Assimilate(std::u16string_view word);

}  // namespace quellon
