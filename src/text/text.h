// The text layer: UTF-16 strings in memory, conversions to and from UTF-8 and the Central
// European ANSI code page (Windows-1250), case mapping, and the number reading, formatting and
// rounding rules the rest of the program relies on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellon::text {

// ---- UTF-8 <-> UTF-16 ----
// Malformed input (bad lead or continuation bytes, overlong forms, surrogate code points, values
// past U+10FFFF) becomes U+FFFD, one per bad sequence; nothing is dropped silently.
std::u16string Utf8ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// ---- Windows-1250 <-> UTF-16 ----
// Every one of the 256 codes maps to one character; the five codes the code page leaves
// unassigned (0x81 0x83 0x88 0x90 0x98) map to the C1 controls of the same value, as Windows does,
// so every byte string round-trips.
char16_t Cp1250ToChar(std::uint8_t code);
std::u16string Cp1250ToUtf16(std::string_view bytes);
// The code of a character in Windows-1250, or nullopt when the code page cannot represent it.
std::optional<std::uint8_t> CharToCp1250(char16_t c);
// Characters the code page cannot represent become `replacement` ('?' as Windows' default char).
std::string Utf16ToCp1250(std::u16string_view text, char replacement = '?');

// ---- Case ----
// ASCII and every letter of Windows-1250 (Czech, Slovak, Polish, Hungarian, ...); other
// characters are returned unchanged. Letters without a case partner in the code page (such as
// U+00DF sharp s) are left as they are.
char16_t ToLower(char16_t c);
char16_t ToUpper(char16_t c);
std::u16string ToLower(std::u16string_view s);
// `s` without the spaces (U+0020 only) at its start and end.
std::u16string_view TrimSpaces(std::u16string_view s);
std::u16string ToUpper(std::u16string_view s);

// ---- Numbers ----
// Round to the nearest integer, halves to the even neighbour (banker's rounding).
double RoundHalfEven(double v);
// Half-to-even rounding into a fixed-width integer; nullopt when the result does not fit (or v is
// NaN), instead of wrapping.
std::optional<std::int16_t> RoundToInt16(double v);
std::optional<std::int32_t> RoundToInt32(double v);

// The leading number of a text, read the way a general numeric parser reads a prefix: leading
// blanks skipped, an optional sign, digits, an optional decimal point with more digits; reading
// stops at the first other character. No number gives 0 ("45 %" -> 45, "abc" -> 0, "-.5x" -> -0.5).
double LeadingNumber(std::u16string_view s);
double LeadingNumber(std::string_view s);

// The shortest decimal text that reads back as the same double, with "." as separator, no
// exponent, no leading zero before the point and no leading space: 1 -> "1", 0.3 -> ".3",
// 1.25 -> "1.25", -0.5 -> "-.5", 0 -> "0".
std::string ShortestDecimal(double v);
std::u16string ShortestDecimal16(double v);

// Convenience: ASCII text to UTF-16 (for numbers and other plain ASCII).
std::u16string Ascii16(std::string_view ascii);

}  // namespace quellon::text
