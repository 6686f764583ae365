// Reading the caret of views that draw their own text (class "DirectUIHWND"): they give no text
// to window messages, and the accessible object under the caret gives only its whole value. So
// the text at the caret is worked out from geometry: the caret rectangle, the object and its
// value at the caret's point, the line picked by the caret's height, and the character under the
// caret found by adding up character widths from a fixed table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "access/ansi_string_store.h"
#include "access/directui_reader.h"
#include "access/point_object.h"
#include "platform/accessibility.h"
#include "platform/window_system.h"

namespace quellon::access {

// The width in pixels of each character of the ANSI code page, by its code, as the views draw
// them (their "Candara" font at its usual size; the table is taken as it is, never scaled).
// Codes 0 to 31 are 0. Some entries are odd (127 is -19, 96 and 94 are 0): they are kept as they
// are, the offsets the views report were measured against this table.
extern const std::array<std::int32_t, 256> kCandaraWidths;

class modGUIText final : public DirectUIReader {
 public:
  // The word that starts at the 1-based position `start` of `text` with the separators after it
  // (the caret readers' WordAt).
  using WordAtFunction = std::function<std::u16string(std::u16string_view, std::size_t)>;

  modGUIText(platform::WindowSystem& windows, platform::Accessibility& access,
             WordAtFunction wordAt)
      : windows_(windows), points_(access, strings_), wordAt_(std::move(wordAt)) {}

  // What to say for the caret key `vk` in the focused view: for Up and Down the line at the
  // caret, for Left and Right the character at the caret (with Ctrl alone, modifier code 2, the
  // word that starts there). Any other key, and any failure, gives the empty text; a coordinate
  // worked out from the view's geometry that does not fit 32 bits is such a failure.
  std::u16string ReadDirectUIText(std::uint32_t vk, std::uint32_t modifierCode) override;

  // How many characters of `text` lie left of the horizontal pixel `offset` (measured from the
  // text's left edge), by the width table and the carry of the previous calls; one more than the
  // text's length when the offset lies beyond its end. Throws std::out_of_range for a character
  // the ANSI code page cannot hold, and for an offset that, less the carry, is not a 32-bit
  // number whose size is one too (the carry is then left as it was).
  std::int32_t CharIndexAtOffset(std::u16string_view text, std::int32_t offset);

  std::int32_t WidthCarry() const { return WidthCarry_; }

 private:
  platform::WindowSystem& windows_;
  AnsiStringStore strings_;
  PointObjectLibrary points_;
  WordAtFunction wordAt_;
  // The width table, filled on first use.
  std::array<std::int32_t, 256> CharWidths_{};
  // The correction an offset that fell inside the first character leaves for the next call.
  std::int32_t WidthCarry_ = 0;
};

}  // namespace quellon::access
