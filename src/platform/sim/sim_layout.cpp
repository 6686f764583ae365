#include "platform/sim/sim_layout.h"

#include <array>
#include <span>

#include "text/text.h"

namespace quellon::platform::simlayout {
namespace {

constexpr std::uint8_t kAcute = 0xB4;
constexpr std::uint8_t kCaron = 0xA1;
constexpr std::uint8_t kDiaeresis = 0xA8;

// Keys shared by both layouts.
constexpr KeyDef kCommon[] = {
    {0x01, VK_ESCAPE, 0x1B, 0x1B}, {0x0E, VK_BACK, 0x08, 0x08},   {0x0F, VK_TAB, 0x09, 0x09},
    {0x1C, VK_RETURN, 0x0D, 0x0D}, {0x39, VK_SPACE, 0x20, 0x20},  {0x37, 0x6A, '*', '*'},
    {0x4E, VK_ADD, '+', '+'},      {0x4A, VK_SUBTRACT, '-', '-'}, {0x35, 0x6F, '/', '/'},
    {0x52, 0x60, '0', '0'},        {0x4F, 0x61, '1', '1'},        {0x50, 0x62, '2', '2'},
    {0x51, 0x63, '3', '3'},        {0x4B, 0x64, '4', '4'},        {0x4C, 0x65, '5', '5'},
    {0x4D, 0x66, '6', '6'},        {0x47, 0x67, '7', '7'},        {0x48, 0x68, '8', '8'},
    {0x49, 0x69, '9', '9'},
};

constexpr KeyDef kUs[] = {
    {0x29, VK_OEM_3, '`', '~'},     {0x02, '1', '1', '!'},           {0x03, '2', '2', '@'},
    {0x04, '3', '3', '#'},          {0x05, '4', '4', '$'},           {0x06, '5', '5', '%'},
    {0x07, '6', '6', '^'},          {0x08, '7', '7', '&'},           {0x09, '8', '8', '*'},
    {0x0A, '9', '9', '('},          {0x0B, '0', '0', ')'},           {0x0C, VK_OEM_MINUS, '-', '_'},
    {0x0D, VK_OEM_PLUS, '=', '+'},  {0x1A, VK_OEM_4, '[', '{'},      {0x1B, VK_OEM_6, ']', '}'},
    {0x27, VK_OEM_1, ';', ':'},     {0x28, VK_OEM_7, '\'', '"'},     {0x2B, VK_OEM_5, '\\', '|'},
    {0x33, VK_OEM_COMMA, ',', '<'}, {0x34, VK_OEM_PERIOD, '.', '>'}, {0x35, VK_OEM_2, '/', '?'},
    {0x10, 'Q', 'q', 'Q'},          {0x11, 'W', 'w', 'W'},           {0x12, 'E', 'e', 'E'},
    {0x13, 'R', 'r', 'R'},          {0x14, 'T', 't', 'T'},           {0x15, 'Y', 'y', 'Y'},
    {0x16, 'U', 'u', 'U'},          {0x17, 'I', 'i', 'I'},           {0x18, 'O', 'o', 'O'},
    {0x19, 'P', 'p', 'P'},          {0x1E, 'A', 'a', 'A'},           {0x1F, 'S', 's', 'S'},
    {0x20, 'D', 'd', 'D'},          {0x21, 'F', 'f', 'F'},           {0x22, 'G', 'g', 'G'},
    {0x23, 'H', 'h', 'H'},          {0x24, 'J', 'j', 'J'},           {0x25, 'K', 'k', 'K'},
    {0x26, 'L', 'l', 'L'},          {0x2C, 'Z', 'z', 'Z'},           {0x2D, 'X', 'x', 'X'},
    {0x2E, 'C', 'c', 'C'},          {0x2F, 'V', 'v', 'V'},           {0x30, 'B', 'b', 'B'},
    {0x31, 'N', 'n', 'N'},          {0x32, 'M', 'm', 'M'},
};

// Czech QWERTZ: the number row gives accented letters, Shift the digits; the key right of "="
// (scan 0x0D) is the dead acute, with Shift the dead caron.
constexpr KeyDef kCzech[] = {
    {0x29, VK_OEM_3, ';', 0xB0},
    {0x02, '1', '+', '1'},
    {0x03, '2', 0xEC, '2'},
    {0x04, '3', 0x9A, '3'},
    {0x05, '4', 0xE8, '4'},
    {0x06, '5', 0xF8, '5'},
    {0x07, '6', 0x9E, '6'},
    {0x08, '7', 0xFD, '7'},
    {0x09, '8', 0xE1, '8'},
    {0x0A, '9', 0xED, '9'},
    {0x0B, '0', 0xE9, '0'},
    {0x0C, VK_OEM_PLUS, '=', '%'},
    {0x0D, VK_OEM_2, kAcute, kCaron, true, true},
    {0x1A, VK_OEM_4, 0xFA, '/'},
    {0x1B, VK_OEM_6, ')', '('},
    {0x27, VK_OEM_1, 0xF9, '"'},
    {0x28, VK_OEM_7, 0xA7, '!'},
    {0x2B, VK_OEM_5, kDiaeresis, '\'', true, false},
    {0x33, VK_OEM_COMMA, ',', '?'},
    {0x34, VK_OEM_PERIOD, '.', ':'},
    {0x35, VK_OEM_MINUS, '-', '_'},
    {0x10, 'Q', 'q', 'Q'},
    {0x11, 'W', 'w', 'W'},
    {0x12, 'E', 'e', 'E'},
    {0x13, 'R', 'r', 'R'},
    {0x14, 'T', 't', 'T'},
    {0x15, 'Z', 'z', 'Z'},
    {0x16, 'U', 'u', 'U'},
    {0x17, 'I', 'i', 'I'},
    {0x18, 'O', 'o', 'O'},
    {0x19, 'P', 'p', 'P'},
    {0x1E, 'A', 'a', 'A'},
    {0x1F, 'S', 's', 'S'},
    {0x20, 'D', 'd', 'D'},
    {0x21, 'F', 'f', 'F'},
    {0x22, 'G', 'g', 'G'},
    {0x23, 'H', 'h', 'H'},
    {0x24, 'J', 'j', 'J'},
    {0x25, 'K', 'k', 'K'},
    {0x26, 'L', 'l', 'L'},
    {0x2C, 'Y', 'y', 'Y'},
    {0x2D, 'X', 'x', 'X'},
    {0x2E, 'C', 'c', 'C'},
    {0x2F, 'V', 'v', 'V'},
    {0x30, 'B', 'b', 'B'},
    {0x31, 'N', 'n', 'N'},
    {0x32, 'M', 'm', 'M'},
};

struct Combo {
  std::uint8_t dead, base, result;
};
constexpr Combo kCombos[] = {
    {kAcute, 'a', 0xE1},     {kAcute, 'e', 0xE9},     {kAcute, 'i', 0xED},
    {kAcute, 'o', 0xF3},     {kAcute, 'u', 0xFA},     {kAcute, 'y', 0xFD},
    {kAcute, 'c', 0xE6},     {kAcute, 'l', 0xE5},     {kAcute, 'n', 0xF1},
    {kAcute, 'r', 0xE0},     {kAcute, 's', 0x9C},     {kAcute, 'z', 0x9F},
    {kAcute, 'A', 0xC1},     {kAcute, 'E', 0xC9},     {kAcute, 'I', 0xCD},
    {kAcute, 'O', 0xD3},     {kAcute, 'U', 0xDA},     {kAcute, 'Y', 0xDD},
    {kAcute, 'C', 0xC6},     {kAcute, 'L', 0xC5},     {kAcute, 'N', 0xD1},
    {kAcute, 'R', 0xC0},     {kAcute, 'S', 0x8C},     {kAcute, 'Z', 0x8F},
    {kCaron, 'c', 0xE8},     {kCaron, 'd', 0xEF},     {kCaron, 'e', 0xEC},
    {kCaron, 'n', 0xF2},     {kCaron, 'r', 0xF8},     {kCaron, 's', 0x9A},
    {kCaron, 't', 0x9D},     {kCaron, 'z', 0x9E},     {kCaron, 'l', 0xBE},
    {kCaron, 'C', 0xC8},     {kCaron, 'D', 0xCF},     {kCaron, 'E', 0xCC},
    {kCaron, 'N', 0xD2},     {kCaron, 'R', 0xD8},     {kCaron, 'S', 0x8A},
    {kCaron, 'T', 0x8D},     {kCaron, 'Z', 0x8E},     {kCaron, 'L', 0xBC},
    {kDiaeresis, 'a', 0xE4}, {kDiaeresis, 'e', 0xEB}, {kDiaeresis, 'o', 0xF6},
    {kDiaeresis, 'u', 0xFC}, {kDiaeresis, 'A', 0xC4}, {kDiaeresis, 'E', 0xCB},
    {kDiaeresis, 'O', 0xD6}, {kDiaeresis, 'U', 0xDC},
};

std::span<const KeyDef> Table(KeyboardLayout layout) {
  if (layout == kLayoutCzech) return kCzech;
  return kUs;
}

struct OtherKey {
  std::uint8_t vk, scan;
};
constexpr OtherKey kOther[] = {
    {VK_LSHIFT, 0x2A},  {VK_SHIFT, 0x2A},    {VK_RSHIFT, 0x36},  {VK_LCONTROL, 0x1D},
    {VK_CONTROL, 0x1D}, {VK_RCONTROL, 0x1D}, {VK_LMENU, 0x38},   {VK_MENU, 0x38},
    {VK_RMENU, 0x38},   {VK_CAPITAL, 0x3A},  {VK_NUMLOCK, 0x45}, {VK_LEFT, 0x4B},
    {VK_UP, 0x48},      {VK_RIGHT, 0x4D},    {VK_DOWN, 0x50},    {VK_HOME, 0x47},
    {VK_END, 0x4F},     {VK_PRIOR, 0x49},    {VK_NEXT, 0x51},    {VK_DELETE, 0x53},
    {0x2D, 0x52},       {0x70, 0x3B},        {0x71, 0x3C},       {0x72, 0x3D},
    {0x73, 0x3E},       {0x74, 0x3F},        {0x75, 0x40},       {0x76, 0x41},
    {0x77, 0x42},       {0x78, 0x43},        {0x79, 0x44},       {0x7A, 0x57},
    {0x7B, 0x58},
};

}  // namespace

std::optional<KeyDef> FindByVk(KeyboardLayout layout, std::uint32_t vk) {
  for (const KeyDef& k : Table(layout)) {
    if (k.vk == vk) return k;
  }
  for (const KeyDef& k : kCommon) {
    if (k.vk == vk) return k;
  }
  return std::nullopt;
}

std::optional<KeyDef> FindByScan(KeyboardLayout layout, std::uint32_t scan) {
  for (const KeyDef& k : Table(layout)) {
    if (k.scan == scan) return k;
  }
  return std::nullopt;
}

bool IsExtended(std::uint32_t vk) {
  switch (vk) {
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_DELETE:
    case 0x2D:  // Insert
    case 0x6F:  // numeric-pad /
    case VK_NUMLOCK:
      return true;
    default:
      return false;
  }
}

std::uint32_t ScanOf(KeyboardLayout layout, std::uint32_t vk) {
  if (auto k = FindByVk(layout, vk)) return k->scan;
  for (const OtherKey& o : kOther) {
    if (o.vk == vk) return o.scan;
  }
  return 0;
}

std::optional<std::uint8_t> Combine(std::uint8_t dead, std::uint8_t base) {
  if (base == ' ') return dead;
  for (const Combo& c : kCombos) {
    if (c.dead == dead && c.base == base) return c.result;
  }
  return std::nullopt;
}

std::optional<Stroke> StrokeFor(KeyboardLayout layout, std::uint8_t code) {
  for (const KeyDef& k : Table(layout)) {
    if (k.normal == code && !k.deadNormal) return Stroke{0, false, k.vk, false};
    if (k.shifted == code && !k.deadShifted) return Stroke{0, false, k.vk, true};
  }
  for (const KeyDef& k : kCommon) {
    if (k.normal == code) return Stroke{0, false, k.vk, false};
  }
  for (const Combo& c : kCombos) {
    if (c.result != code) continue;
    for (const KeyDef& d : Table(layout)) {
      const bool normal = d.deadNormal && d.normal == c.dead;
      const bool shifted = d.deadShifted && d.shifted == c.dead;
      if (!normal && !shifted) continue;
      auto base = StrokeFor(layout, c.base);
      if (!base || base->deadVk != 0) continue;
      return Stroke{d.vk, shifted && !normal, base->vk, base->shift};
    }
  }
  return std::nullopt;
}

std::optional<Translated> Translate(KeyboardLayout layout, std::uint32_t vk, bool shift, bool caps,
                                    bool ctrl) {
  auto k = FindByVk(layout, vk);
  if (!k) return std::nullopt;
  if (ctrl) {
    // Ctrl with a letter gives its control code; Ctrl with other keys gives nothing.
    if (vk >= 'A' && vk <= 'Z') return Translated{static_cast<std::uint8_t>(vk - 'A' + 1), false};
    if (vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE) return Translated{k->normal, false};
    return std::nullopt;
  }
  bool useShift = shift;
  // Caps Lock works on the keys whose plain character is a letter (in the Czech layout also the
  // accented letters of the number row, which then give capitals).
  const char16_t plain = text::Cp1250ToChar(k->normal);
  const bool letter = text::ToUpper(plain) != plain;
  std::uint8_t ch = useShift ? k->shifted : k->normal;
  bool dead = useShift ? k->deadShifted : k->deadNormal;
  if (caps && letter) {
    if (vk >= 'A' && vk <= 'Z') {
      ch = shift ? k->normal : k->shifted;
    } else if (!shift) {
      ch = text::CharToCp1250(text::ToUpper(plain)).value_or(k->normal);
    }
  }
  if (ch == 0) return std::nullopt;
  return Translated{ch, dead};
}

}  // namespace quellon::platform::simlayout
