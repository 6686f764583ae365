// The simulated edit and rich edit controls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace quellon::platform {

// The text is kept as the control counts it: an edit control's line break is CR LF (two
// characters), a rich edit's is CR alone (one character); WM_GETTEXT of a rich edit gives CR LF.
class SimEdit {
 public:
  SimEdit(bool rich, bool multiline) : rich_(rich), multiline_(multiline) {}
  bool Rich() const { return rich_; }
  bool Multiline() const { return multiline_; }

  // Line breaks in `text` may be written "\n", "\r\n" or "\r".
  void SetText(std::u16string_view text);
  const std::u16string& Internal() const { return text_; }  // in the control's own counting
  std::u16string Text() const;                              // as WM_GETTEXT gives it
  std::int32_t Anchor() const { return anchor_; }
  std::int32_t Caret() const { return caret_; }
  // EM_SETSEL: start -1 removes the selection; end -1 (or past the end) is the end.
  void SetSel(std::int32_t start, std::int32_t end);
  void ReplaceSel(std::u16string_view text);

  LResult Message(std::uint32_t message, WParam wParam, LParam lParam, bool& handled);

  // Keyboard editing as the control does it on WM_KEYDOWN and WM_CHAR.
  void KeyDown(std::uint32_t vk, bool shift, bool ctrl);
  void Char(char16_t c);

  std::int32_t LineCount() const;
  std::int32_t LineFromChar(std::int32_t index) const;
  std::int32_t LineIndex(std::int32_t line) const;  // -1 past the last line
  std::int32_t LineLength(std::int32_t line) const;

 private:
  std::int32_t BreakLength() const { return rich_ ? 1 : 2; }
  bool IsBreakAt(std::int32_t i) const;
  void MoveCaret(std::int32_t to, bool extend);
  std::int32_t WordLeft(std::int32_t from) const;
  std::int32_t WordRight(std::int32_t from) const;

  bool rich_;
  bool multiline_;
  std::u16string text_;
  std::int32_t anchor_ = 0;
  std::int32_t caret_ = 0;
};

struct EditOptions {
  bool multiline = false;
  bool rich = false;  // class "RichEdit20W" instead of "Edit"
  Rect rect{};        // in screen coordinates; empty gives a default placement
};

}  // namespace quellon::platform
