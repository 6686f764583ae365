// The clipboard port: plain text in and out.
#pragma once

#include <optional>
#include <string>

namespace quellon::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's text (CF_UNICODETEXT, or CF_TEXT read in the ANSI code page); nullopt when
  // it holds no text or cannot be opened.
  virtual std::optional<std::u16string> GetText() = 0;
  // Empties the clipboard and puts `text` on it as plain text. False on failure.
  virtual bool SetText(const std::u16string& text) = 0;
};

}  // namespace quellon::platform
