// Keyboard layouts of the simulated desktop: US and Czech (QWERTZ) with the Czech dead keys
// (acute and caron on one key, diaeresis). Characters are Windows-1250 codes.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/win_types.h"

namespace quellon::platform::simlayout {

struct KeyDef {
  std::uint8_t scan = 0;
  std::uint8_t vk = 0;
  std::uint8_t normal = 0;   // character without Shift (0: none)
  std::uint8_t shifted = 0;  // character with Shift
  bool deadNormal = false;   // `normal` is a dead key
  bool deadShifted = false;  // `shifted` is a dead key
};

// The key definition of a virtual key in `layout`; nullopt when the key has no character.
std::optional<KeyDef> FindByVk(KeyboardLayout layout, std::uint32_t vk);
std::optional<KeyDef> FindByScan(KeyboardLayout layout, std::uint32_t scan);
// Scan code and extended flag of any virtual key (character keys and the others).
std::uint32_t ScanOf(KeyboardLayout layout, std::uint32_t vk);
bool IsExtended(std::uint32_t vk);

// The character a dead key and a following character make; nullopt when they do not combine.
std::optional<std::uint8_t> Combine(std::uint8_t dead, std::uint8_t base);

// How to type one Windows-1250 character: an optional dead key (with its Shift), then a key.
struct Stroke {
  std::uint32_t deadVk = 0;
  bool deadShift = false;
  std::uint32_t vk = 0;
  bool shift = false;
};
std::optional<Stroke> StrokeFor(KeyboardLayout layout, std::uint8_t code);

// Translation of one key with the given modifiers (no dead-key state): the character, whether it
// is a dead key, or nullopt for no character.
struct Translated {
  std::uint8_t ch = 0;
  bool dead = false;
};
std::optional<Translated> Translate(KeyboardLayout layout, std::uint32_t vk, bool shift, bool caps,
                                    bool ctrl);

}  // namespace quellon::platform::simlayout
