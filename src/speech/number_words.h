// Czech number words for the digit runs inside a word, spelled the way the voices say them.
#pragma once

#include <string>
#include <string_view>

namespace quellon {

// Fills the number-word tables. The tables are constant data, so this only exists for the
// engine's start-up sequence; calling it any number of times is harmless.
void InitNumberWords();

// Replaces every run of the digits "0".."9" in one word by its number words, with a space before
// and after the words (no space after a run that ends the word): "3x" -> " tři x", "12" ->
// " dvanáct". A word without digits comes back unchanged.
std::u16string ExpandDigits(std::u16string_view word);

// Number words for a run of digits. Leading zeros are spoken as "nula" each; values from 10000 up
// are read in groups of three digits from the right, each group as its own number followed by a
// space. A run too large for a double reads as 0, so only its leading zeros are spoken. The pieces
// for hundreds and thousands carry their trailing space ("sto ", "tisíc "), which stays in the
// result. Characters other than digits are not expected; the value is then read from the digits
// before the first of them.
std::u16string NumberToWords(std::u16string_view digits);

}  // namespace quellon
