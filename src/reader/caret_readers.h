// The caret readers of standard edit and rich edit controls: the character, word, line or
// selection at the caret after a caret key, read by window messages to the control; and the
// whole-window reading of the "Read window" command.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace quellon::reader {

class CaretReaders {
 public:
  virtual ~CaretReaders() = default;
  // The whole text of the edit control `hwnd`, or "".
  virtual std::u16string EditText(platform::Hwnd hwnd) = 0;
  // The line of `hwnd` that holds the caret, or "".
  virtual std::u16string CurrentLine(platform::Hwnd hwnd) = 0;
  // Reads what the caret key `vk` (with its modifier code) moved over, or is about to delete, in
  // the text control `hwnd`, and speaks it with its cue.
  virtual void ReadCaret(platform::Hwnd hwnd, std::uint32_t vk, std::uint32_t modifierCode) = 0;
  // Speaks the texts of every child window of the foreground window and puts them on the
  // clipboard (the "Read window" command).
  virtual void ReadWindow() = 0;
  // An editable text got the focus: the remembered caret position starts again from 0.
  virtual void ResetCaretPositions() = 0;
};

// Nothing is read.
class NullCaretReaders final : public CaretReaders {
 public:
  std::u16string EditText(platform::Hwnd) override { return {}; }
  std::u16string CurrentLine(platform::Hwnd) override { return {}; }
  void ReadCaret(platform::Hwnd, std::uint32_t, std::uint32_t) override {}
  void ReadWindow() override {}
  void ResetCaretPositions() override {}
};

}  // namespace quellon::reader
