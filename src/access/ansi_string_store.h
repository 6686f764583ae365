// ANSI strings handed around by address: the string helpers the point queries use. An "address"
// is a number naming a string kept here, never a pointer, so a stale or made-up address reads as
// the empty string instead of reading arbitrary memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace quellon::access {

// The text an ANSI buffer of `capacity` characters ends up holding when `text` is copied into it:
// characters the ANSI code page (Windows-1250) cannot represent become '?', the text ends at its
// first NUL, and at most capacity - 1 characters are kept (the last place holds the terminating
// NUL). A capacity of 0 or 1 gives the empty text.
std::u16string AnsiBufferText(std::u16string_view text, std::size_t capacity);

class AnsiStringStore {
 public:
  using Address = std::uint32_t;  // 0 is no string

  // At most this many strings are kept; making one more forgets the oldest, whose address then
  // reads as the empty string. Callers take their copy right after the call that filled it.
  static constexpr std::size_t kMaxStrings = 64;
  // Longest string kept, in characters (a longer text is cut).
  static constexpr std::size_t kMaxLength = 65535;

  // dwGetAddressForObject: keeps an ANSI copy of `text` and returns its address (never 0).
  Address dwGetAddressForObject(std::u16string_view text);
  // dwGetStringFromLPSTR: a copy of the string at `address`; the empty string for 0, for an
  // address never handed out and for one that has been forgotten.
  std::u16string dwGetStringFromLPSTR(Address address) const;
  // Replaces the string at `address` (a callee filling the buffer its caller primed). False, and
  // nothing kept, when the address is unknown.
  bool Write(Address address, std::u16string_view text);

  std::size_t Size() const { return slots_.size(); }

 private:
  struct Slot {
    Address address = 0;
    std::u16string text;
  };
  std::deque<Slot> slots_;  // oldest first
  Address next_ = 1;
};

}  // namespace quellon::access
