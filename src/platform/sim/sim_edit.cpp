// The simulated edit and rich edit controls (classes "Edit" and "RichEdit20W"): the edit
// messages, keyboard editing, the clipboard keys and the accessible text object.
#include "platform/sim/sim_edit.h"

#include <algorithm>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_layout.h"
#include "text/text.h"

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

// ---- The control ----

namespace {

class EditControl : public SimControlKind {
 public:
  bool Message(SimDesktop& d, SimWindow& w, std::uint32_t message, WParam wParam, LParam lParam,
               LResult& result) const override {
    if (!w.edit) return false;
    bool handled = false;
    result = w.edit->Message(message, wParam, lParam, handled);
    if (message == EM_SETSEL) UpdateCaret(d);
    return handled;
  }

  bool Describe(SimDesktop& d, SimWindow& w, SimAccessible& o,
                std::uint32_t& state) const override {
    if (!w.edit) return false;
    o.props.role = ROLE_SYSTEM_TEXT;
    o.props.value = w.edit->Text();
    // The name is the label just before the control.
    o.props.name.clear();
    if (SimWindow* p = d.Find(w.parent)) {
      auto it = std::find(p->children.begin(), p->children.end(), w.hwnd);
      if (it != p->children.begin()) {
        if (SimWindow* label = d.Find(*(it - 1));
            label && text::ToUpper(label->className) == u"STATIC") {
          o.props.name = StripMnemonic(label->text);
        }
      }
    }
    state |= STATE_SYSTEM_FOCUSABLE;
    return true;
  }

  void Key(SimDesktop& d, SimWindow& w, std::uint32_t vk, bool up) const override {
    if (!w.edit || up) return;
    SimEdit& edit = *w.edit;
    SimKeyboard& keys = d.Keys();
    const bool shift = keys.GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = keys.GetKeyState(VK_CONTROL) < 0;
    const bool caps = (keys.GetKeyState(VK_CAPITAL) & 0x01) != 0;
    if (ctrl && (vk == 'A' || vk == 'C' || vk == 'X' || vk == 'V')) {
      const std::int32_t lo = std::min(edit.Anchor(), edit.Caret());
      const std::int32_t hi = std::max(edit.Anchor(), edit.Caret());
      const std::u16string selected =
          edit.Internal().substr(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo));
      if (vk == 'A') edit.SetSel(0, -1);
      if ((vk == 'C' || vk == 'X') && lo != hi) d.ClipboardPort().SetText(selected);
      if (vk == 'X') edit.ReplaceSel(u"");
      if (vk == 'V') edit.ReplaceSel(d.ClipboardPort().GetText().value_or(u""));
    } else {
      edit.KeyDown(vk, shift, ctrl);
      // The character the key makes, with the control's own dead-key state.
      std::uint16_t& dead = ProgramDeadKey(d);
      if (auto t = simlayout::Translate(d.Layout(), vk, shift, caps, ctrl)) {
        if (t->dead) {
          dead = t->ch;
        } else if (dead != 0) {
          const auto combined = simlayout::Combine(static_cast<std::uint8_t>(dead), t->ch);
          if (combined) {
            edit.Char(text::Cp1250ToChar(*combined));
          } else {
            edit.Char(text::Cp1250ToChar(static_cast<std::uint8_t>(dead)));
            edit.Char(text::Cp1250ToChar(t->ch));
          }
          dead = 0;
        } else {
          edit.Char(text::Cp1250ToChar(t->ch));
        }
      }
    }
    if (vk != VK_SHIFT && vk != VK_LSHIFT && vk != VK_RSHIFT) UpdateCaret(d);
  }

  bool TabStop(const SimWindow& w) const override { return w.edit != nullptr; }

  bool Caret(const SimWindow& w, Rect& rect) const override {
    if (!w.edit) return false;
    const std::int32_t caret = w.edit->Caret();
    const std::int32_t line = w.edit->LineFromChar(caret);
    const std::int32_t column = caret - w.edit->LineIndex(line);
    rect = {column * kSimCharWidth + 1, line * kSimRowHeight, column * kSimCharWidth + 2,
            (line + 1) * kSimRowHeight};
    return true;
  }
};

}  // namespace

const SimControlKind& SimEditKind() {
  static const EditControl kind;
  return kind;
}

Hwnd SimDesktop::AddEdit(Hwnd parent, std::u16string_view text, EditOptions options) {
  const Hwnd h = AddChild(parent, options.rich ? u"RichEdit20W" : u"Edit", u"",
                          options.multiline ? ES_MULTILINE : 0, options.rect);
  SimWindow* w = Find(h);
  w->edit = std::make_unique<SimEdit>(options.rich, options.multiline);
  w->edit->SetText(text);
  return h;
}

}  // namespace quellon::platform
