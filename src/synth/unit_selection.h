// Unit selection: one word turned into the list of recorded units that sound it, each with the
// prosodic marks synthesis needs. The result, the unit list, is a text of items separated by single
// spaces; an item is "name,factor,state,pitch" (a pause item is "-,count,0").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "speech/unit_inventory.h"

namespace quellon {

// Vowel shortening amount R(length, position) for a vowel at the 1-based position of a phoneme
// string of the given length: the reduction table when both are 1..12 (0 for the unused cells
// where the position is past the length), otherwise position x 0.01, or 0.01 when that exceeds
// 0.1.
double ReductionAmount(int length, int position);

// The unit list of a word: Assimilate(word), then the unit rules. `pauseClass` is the pause after
// the word (0 none, 1 full stop or colon, 2 question mark, 3 comma or dash; other values act as
// 0). `pitchDegradation` is the pitch offset the declination reaches at the word end. Returns an
// empty text when `stopFlag` is set during the work, and when the 16-bit phoneme position would
// pass 32767 (a phoneme string of 32767 or more characters): such a word is not spoken.
std::u16string PhomeneToWave(std::u16string_view word, std::int32_t pauseClass,
                             const UnitInventory& units, std::int32_t pitchDegradation,
                             const bool& stopFlag);

namespace detail {
// The unit rules on a phoneme string that is already lower-case (what Assimilate returns).
std::u16string PhonemesToUnitList(std::u16string_view phonemes, std::int32_t pauseClass,
                                  const UnitInventory& units, std::int32_t pitchDegradation,
                                  const bool& stopFlag);
}  // namespace detail

}  // namespace quellon
