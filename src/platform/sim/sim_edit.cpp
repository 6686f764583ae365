// The simulated edit and rich edit controls: the edit messages and keyboard editing.
#include <algorithm>

#include "platform/sim/sim_desktop.h"

namespace quellon::platform {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

}  // namespace

void SimEdit::SetText(std::u16string_view text) {
  text_.clear();
  const std::u16string_view brk = rich_ ? u"\r" : u"\r\n";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      if (multiline_) text_ += brk;
      continue;
    }
    text_ += c;
  }
  anchor_ = caret_ = 0;
}

std::u16string SimEdit::Text() const {
  if (!rich_) return text_;
  std::u16string out;
  for (char16_t c : text_) {
    out += c;
    if (c == u'\r') out += u'\n';
  }
  return out;
}

bool SimEdit::IsBreakAt(std::int32_t i) const {
  return i >= 0 && i < static_cast<std::int32_t>(text_.size()) &&
         text_[static_cast<std::size_t>(i)] == u'\r';
}

std::int32_t SimEdit::LineCount() const {
  return 1 + static_cast<std::int32_t>(std::count(text_.begin(), text_.end(), u'\r'));
}

std::int32_t SimEdit::LineFromChar(std::int32_t index) const {
  std::int32_t line = 0;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(text_.size()); ++i) {
    if (IsBreakAt(i) && i + BreakLength() <= index) ++line;
  }
  return line;
}

std::int32_t SimEdit::LineIndex(std::int32_t line) const {
  if (line < 0 || line >= LineCount()) return -1;
  std::int32_t index = 0;
  for (std::int32_t l = 0; l < line; ++l) {
    while (!IsBreakAt(index)) ++index;
    index += BreakLength();
  }
  return index;
}

std::int32_t SimEdit::LineLength(std::int32_t line) const {
  const std::int32_t start = LineIndex(line);
  if (start < 0) return 0;
  std::int32_t end = start;
  while (end < static_cast<std::int32_t>(text_.size()) && !IsBreakAt(end)) ++end;
  return end - start;
}

void SimEdit::SetSel(std::int32_t start, std::int32_t end) {
  const auto size = static_cast<std::int32_t>(text_.size());
  if (start == -1) {  // remove the selection, keep the caret
    anchor_ = caret_;
    return;
  }
  if (end < 0 || end > size) end = size;
  start = std::clamp(start, 0, size);
  anchor_ = start;
  caret_ = end;
}

void SimEdit::ReplaceSel(std::u16string_view text) {
  const std::int32_t lo = std::min(anchor_, caret_);
  const std::int32_t hi = std::max(anchor_, caret_);
  SimEdit piece(rich_, multiline_);
  piece.SetText(text);
  text_.replace(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo), piece.text_);
  anchor_ = caret_ = lo + static_cast<std::int32_t>(piece.text_.size());
}

LResult SimEdit::Message(std::uint32_t message, WParam wParam, LParam lParam, bool& handled) {
  handled = true;
  const auto w = static_cast<std::int32_t>(wParam);
  const std::int32_t lo = std::min(anchor_, caret_);
  const std::int32_t hi = std::max(anchor_, caret_);
  switch (message) {
    case WM_GETTEXTLENGTH:
      return static_cast<LResult>(Text().size());
    case EM_GETSEL:
      if (lo > 0xFFFF || hi > 0xFFFF) return -1;
      return static_cast<LResult>(static_cast<std::uint32_t>(lo) | static_cast<std::uint32_t>(hi)
                                                                       << 16);
    case EM_SETSEL:
      SetSel(w, static_cast<std::int32_t>(lParam));
      return 0;
    case EM_GETLINECOUNT:
      return LineCount();
    case EM_LINEINDEX:
      return LineIndex(w == -1 ? LineFromChar(caret_) : w);
    case EM_LINEFROMCHAR:
      if (w == -1) return LineFromChar(lo != hi ? lo : caret_);
      return LineFromChar(std::min(w, static_cast<std::int32_t>(text_.size())));
    case EM_LINELENGTH: {
      if (w == -1) {
        // The unselected characters on the lines that hold the selection.
        const std::int32_t first = LineFromChar(lo);
        const std::int32_t last = LineFromChar(hi);
        return (lo - LineIndex(first)) + (LineIndex(last) + LineLength(last) - hi);
      }
      if (w < 0 || w > static_cast<std::int32_t>(text_.size())) return 0;
      return LineLength(LineFromChar(w));
    }
    default:
      handled = false;
      return 0;
  }
}

void SimEdit::MoveCaret(std::int32_t to, bool extend) {
  caret_ = std::clamp(to, 0, static_cast<std::int32_t>(text_.size()));
  if (!extend) anchor_ = caret_;
}

std::int32_t SimEdit::WordRight(std::int32_t p) const {
  const auto size = static_cast<std::int32_t>(text_.size());
  if (IsBreakAt(p)) return p + BreakLength();
  while (p < size && !IsBlank(text_[static_cast<std::size_t>(p)]) && !IsBreakAt(p)) ++p;
  while (p < size && IsBlank(text_[static_cast<std::size_t>(p)])) ++p;
  return p;
}

std::int32_t SimEdit::WordLeft(std::int32_t p) const {
  const std::int32_t lineStart = LineIndex(LineFromChar(p));
  if (p == lineStart) return p > 0 ? p - BreakLength() : 0;
  while (p > lineStart && IsBlank(text_[static_cast<std::size_t>(p - 1)])) --p;
  while (p > lineStart && !IsBlank(text_[static_cast<std::size_t>(p - 1)])) --p;
  return p;
}

void SimEdit::KeyDown(std::uint32_t vk, bool shift, bool ctrl) {
  const std::int32_t lo = std::min(anchor_, caret_);
  const std::int32_t hi = std::max(anchor_, caret_);
  const std::int32_t line = LineFromChar(caret_);
  const std::int32_t column = caret_ - LineIndex(line);
  switch (vk) {
    case VK_LEFT:
      if (ctrl) {
        MoveCaret(WordLeft(caret_), shift);
      } else if (!shift && lo != hi) {
        MoveCaret(lo, false);
      } else if (caret_ > 0) {
        MoveCaret(caret_ >= BreakLength() && IsBreakAt(caret_ - BreakLength())
                      ? caret_ - BreakLength()
                      : caret_ - 1,
                  shift);
      } else {
        MoveCaret(0, shift);
      }
      break;
    case VK_RIGHT:
      if (ctrl) {
        MoveCaret(WordRight(caret_), shift);
      } else if (!shift && lo != hi) {
        MoveCaret(hi, false);
      } else {
        MoveCaret(IsBreakAt(caret_) ? caret_ + BreakLength() : caret_ + 1, shift);
      }
      break;
    case VK_HOME:
      MoveCaret(ctrl ? 0 : LineIndex(line), shift);
      break;
    case VK_END:
      MoveCaret(ctrl ? static_cast<std::int32_t>(text_.size()) : LineIndex(line) + LineLength(line),
                shift);
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!multiline_) break;
      const std::int32_t step = (vk == VK_UP || vk == VK_DOWN) ? 1 : 10;
      const std::int32_t target =
          std::clamp(line + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step), 0, LineCount() - 1);
      MoveCaret(LineIndex(target) + std::min(column, LineLength(target)), shift);
      break;
    }
    case VK_BACK:
      if (lo != hi) {
        ReplaceSel(u"");
      } else if (caret_ > 0) {
        anchor_ = caret_ >= BreakLength() && IsBreakAt(caret_ - BreakLength())
                      ? caret_ - BreakLength()
                      : caret_ - 1;
        ReplaceSel(u"");
      }
      break;
    case VK_DELETE:
      if (lo != hi) {
        ReplaceSel(u"");
      } else if (caret_ < static_cast<std::int32_t>(text_.size())) {
        anchor_ = IsBreakAt(caret_) ? caret_ + BreakLength() : caret_ + 1;
        ReplaceSel(u"");
      }
      break;
    case VK_RETURN:
      if (multiline_) ReplaceSel(u"\n");
      break;
    default:
      break;
  }
}

void SimEdit::Char(char16_t c) {
  if (c < 32) return;  // control characters (Backspace, Enter, Ctrl+letter) are keys, not text
  ReplaceSel(std::u16string(1, c));
}

}  // namespace quellon::platform
