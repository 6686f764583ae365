// The caret readers of standard edit and rich edit controls: the character, word, line or
// selection at the caret after a caret key, read by window messages to the control; and the
// whole-window reading of the "Read window" command.
#pragma once

namespace quellon::reader {

class CaretReaders {
 public:
  virtual ~CaretReaders() = default;
  // Reads what the last caret key moved over in the focused text control.
  virtual void ReadCaret() = 0;
  // Reads the whole focused window (the "Read window" command).
  virtual void ReadWindow() = 0;
  // An editable text got the focus: the remembered caret positions start again from 0.
  virtual void ResetCaretPositions() = 0;
};

// Nothing is read.
class NullCaretReaders final : public CaretReaders {
 public:
  void ReadCaret() override {}
  void ReadWindow() override {}
  void ResetCaretPositions() override {}
};

}  // namespace quellon::reader
