#include "access/mod_gui_text.h"

#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "text/text.h"

namespace quellon::access {

// clang-format off
const std::array<std::int32_t, 256> kCandaraWidths = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,    // 0-15
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,    // 16-31
    3,  3,  5,  7,  6, 10, 10,  3,  4,  4,  5,  8,  3,  5,  3,  5,    // 32-47
    6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  3,  3,  8,  8,  8,  5,    // 48-63
   11,  8,  7,  8,  8,  6,  6,  8,  9,  3,  4,  7,  6, 11,  9,  9,    // 64-79
    7,  9,  7,  6,  7,  8,  7, 11,  7,  7,  7,  4,  5,  4,  0,  5,    // 80-95
    0,  6,  7,  6,  7,  6,  4,  7,  7,  3,  3,  6,  3, 11,  7,  7,    // 96-111
    7,  7,  4,  5,  4,  7,  6,  9,  5,  6,  5,  4,  3,  4,  8, -19,   // 112-127
    6,  8,  3,  8,  5,  9,  5,  5,  8, 15,  5,  4,  6,  7,  5,  7,    // 128-143
    8,  3,  3,  5,  5,  5,  6, 12,  8,  9,  5,  4,  5,  5,  5,  5,    // 144-159
    3,  0,  8,  6,  7,  8,  3,  5,  0, 11,  6,  6,  8,  0, 11,  7,    // 160-175
   10,  8,  0,  5,  0,  7,  6,  3,  0,  6,  5,  6,  6,  6,  4,  5,    // 176-191
    7,  6,  8,  8,  8,  6,  8,  8,  6,  6,  6,  6,  6,  3,  3,  8,    // 192-207
    8,  9,  9,  9,  9,  9,  9,  8,  4,  7,  7,  8,  8,  6,  7,  7,    // 208-223
    4,  6,  6,  6,  6,  3,  6,  6,  6,  6,  6,  6,  6,  3,  3,  8,    // 224-239
    7,  7,  7,  7,  7,  7,  7,  8,  4,  7,  7,  7,  7,  6,  4,  0,    // 240-255
};
// clang-format on

namespace {

// An ANSI buffer the value query writes into (the size the views' values fit in).
constexpr std::size_t kValueBufferLength = 255;

// A coordinate worked out from another program's geometry: a sum or difference of 32-bit numbers
// that must itself fit 32 bits. One that does not is an error (the read gives nothing), never a
// wrapped or undefined number.
std::int32_t Fits32OrThrow(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max()) {
    throw std::out_of_range("coordinate out of range");
  }
  return static_cast<std::int32_t>(v);
}

std::int32_t RoundedOrThrow(double v) {
  const std::optional<std::int32_t> r = text::RoundToInt32(v);
  if (!r) throw std::out_of_range("coordinate out of range");
  return *r;
}

// The part of `text` between its carriage returns numbered `k` (from 0).
std::u16string LinePart(const std::u16string& text, std::int32_t k) {
  if (k < 0) throw std::out_of_range("line before the value");
  std::size_t begin = 0;
  for (std::int32_t i = 0; i < k; ++i) {
    const std::size_t cr = text.find(u'\r', begin);
    if (cr == std::u16string::npos) throw std::out_of_range("line after the value");
    begin = cr + 1;
  }
  const std::size_t end = text.find(u'\r', begin);
  return text.substr(begin, end == std::u16string::npos ? std::u16string::npos : end - begin);
}

}  // namespace

std::int32_t modGUIText::CharIndexAtOffset(std::u16string_view text, std::int32_t offset) {
  if (text.empty() || offset == 0) return 0;
  // The target and the carry it may leave are 32-bit numbers: an offset that takes either out of
  // range is an error, and the carry stays as it was.
  const std::int32_t target = Fits32OrThrow(static_cast<std::int64_t>(offset) - WidthCarry_);
  if (target == std::numeric_limits<std::int32_t>::min()) {
    throw std::out_of_range("offset out of range");
  }
  if (CharWidths_[32] == 0) CharWidths_ = kCandaraWidths;
  std::int64_t sum = 0;
  for (std::size_t i = 1;; ++i) {
    if (i > text.size()) return static_cast<std::int32_t>(i);
    const std::optional<std::uint8_t> code = text::CharToCp1250(text[i - 1]);
    if (!code) throw std::out_of_range("character outside the ANSI code page");
    sum += CharWidths_[*code];
    if (sum == target) {
      WidthCarry_ = 0;
      return static_cast<std::int32_t>(i);
    }
    if (sum > target) {
      // The offset falls inside character i: the characters before it. An offset inside the
      // first character is remembered and taken off the next call's offset.
      if (i == 1) WidthCarry_ = target < 0 ? -target : target;
      return static_cast<std::int32_t>(i - 1);
    }
  }
}

std::u16string modGUIText::ReadDirectUIText(std::uint32_t vk, std::uint32_t modifierCode) {
  const bool horizontal = vk == platform::VK_LEFT || vk == platform::VK_RIGHT;
  const bool vertical = vk == platform::VK_UP || vk == platform::VK_DOWN;
  if (!horizontal && !vertical) return {};
  try {
    platform::GuiThreadInfo info;
    if (!windows_.GetGUIThreadInfo(0, info) || info.caret == 0) return {};
    platform::Rect window;
    if (!windows_.GetWindowRect(info.caret, window)) return {};
    const platform::Rect& caret = info.caretRect;
    const std::int64_t caretTop = Fits32OrThrow(std::int64_t{caret.top} + window.top);
    const std::int32_t x = Fits32OrThrow(std::int64_t{caret.left} + window.left);
    const std::int32_t h = Fits32OrThrow(std::int64_t{caret.bottom} - caret.top);
    const std::int32_t y = RoundedOrThrow(h / 2.0 + static_cast<double>(caretTop));

    platform::Rect object;
    if (!points_.zibGetObjectLocationByPOINT(x, y, object)) return {};
    PointValueRecord record;
    record.address = strings_.dwGetAddressForObject(std::u16string(kValueBufferLength, u' '));
    if (!points_.zibGetObjectValueByPOINT(x, y, record)) return {};
    std::u16string text = strings_.dwGetStringFromLPSTR(record.address);

    if (text.find(u'\r') != std::u16string::npos) {
      if (h == 0) return {};
      const std::int32_t k =
          RoundedOrThrow(static_cast<double>(Fits32OrThrow(caretTop - object.top)) / h);
      text = LinePart(text, k);
    }
    const std::int32_t n = CharIndexAtOffset(text, Fits32OrThrow(std::int64_t{x} - object.left));
    if (vertical) return text;
    const auto next = static_cast<std::size_t>(n) + 1;  // 1-based
    if (modifierCode == 2) return wordAt_ ? wordAt_(text, next) : std::u16string();
    if (next > text.size()) return {};
    return text.substr(next - 1, 1);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace quellon::access
