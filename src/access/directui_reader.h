// The DirectUI reader: text at the caret of views that draw their text themselves and expose
// none (captured from what they draw), after a caret key (private message MSG_CARET_KEY).
#pragma once

#include <cstdint>
#include <string>

namespace quellon::access {

class DirectUIReader {
 public:
  virtual ~DirectUIReader() = default;
  // The text the caret key `vk` (with its modifier code) moved over: a character, a word or, for
  // Up, Down, Page Up and Page Down, the whole line.
  virtual std::u16string ReadDirectUIText(std::uint32_t vk, std::uint32_t modifierCode) = 0;
};

// Such views are not read.
class NullDirectUIReader final : public DirectUIReader {
 public:
  std::u16string ReadDirectUIText(std::uint32_t, std::uint32_t) override { return {}; }
};

}  // namespace quellon::access
