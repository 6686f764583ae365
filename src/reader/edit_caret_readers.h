// The caret readers of standard edit and rich edit controls, built on the edit messages
// (EM_GETSEL, EM_LINEINDEX, EM_LINEFROMCHAR, EM_LINELENGTH, WM_GETTEXT), and the whole-window
// reading of the "Read window" command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/program_state.h"
#include "core/speech_output.h"
#include "platform/clipboard.h"
#include "platform/window_system.h"
#include "reader/caret_readers.h"

namespace quellon::reader {

// The word that starts at the 1-based position `start` of `text`, with the separators after it:
// the characters up to the first non-separator that follows a separator, or up to the end.
// Separators are space . , : ! ? \ / CR LF and tab. A start outside the text gives "".
std::u16string WordAt(std::u16string_view text, std::size_t start);

class EditCaretReaders final : public CaretReaders {
 public:
  // Outside Windows XP no edit text longer than this is read (the control is beeped at instead),
  // and no caret position past it is spoken.
  static constexpr std::int64_t kMaxTextLength = 64000;
  // What one caret announcement speaks at most.
  static constexpr std::size_t kMaxSpoken = 500;
  // The modifier code of the Ctrl key, as the keyboard handler passes it.
  static constexpr std::uint32_t kCtrlModifier = 2;

  EditCaretReaders(core::ProgramState& state, platform::WindowSystem& windows,
                   platform::Clipboard& clipboard, core::SpeechOutput& output)
      : state_(state), windows_(windows), clipboard_(clipboard), output_(output) {}

  std::u16string EditText(platform::Hwnd hwnd) override;
  std::u16string CurrentLine(platform::Hwnd hwnd) override;
  void ReadCaret(platform::Hwnd hwnd, std::uint32_t vk, std::uint32_t modifierCode) override;
  void ReadWindow() override;
  void ResetCaretPositions() override { lastCaretPos_ = 0; }

  // The caret position the last announcement left (0-based, never negative).
  std::int32_t LastCaretPos() const { return lastCaretPos_; }

 private:
  // EditText with every CR removed when the focused control is a rich edit, whose positions
  // count a line break as one character.
  std::u16string TextAsPositionsCount(platform::Hwnd hwnd);
  // ReadCaret's work; any exception it throws ends the reading silently.
  void ReadCaretAt(platform::Hwnd hwnd, std::uint32_t vk, std::uint32_t modifierCode);

  core::ProgramState& state_;
  platform::WindowSystem& windows_;
  platform::Clipboard& clipboard_;
  core::SpeechOutput& output_;
  std::int32_t lastCaretPos_ = 0;
};

}  // namespace quellon::reader
