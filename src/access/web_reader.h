// The web reader: the text of a web page at its caret, read through the page's document (the
// browser's HTML view gives no caret to window messages).
#pragma once

#include <cstdint>

namespace quellon::access {

class WebReader {
 public:
  virtual ~WebReader() = default;
  // The line of the page at the caret (private message MSG_READ_WEB_LINE).
  virtual void ReadWebLine() = 0;
  // What the caret key `vk` (with its modifier code) moved over in the page (private message
  // MSG_CARET_KEY).
  virtual void ReadWebCaret(std::uint32_t vk, std::uint32_t modifierCode) = 0;
};

// Web pages are not read at the caret.
class NullWebReader final : public WebReader {
 public:
  void ReadWebLine() override {}
  void ReadWebCaret(std::uint32_t, std::uint32_t) override {}
};

}  // namespace quellon::access
