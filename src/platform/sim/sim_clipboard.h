// The clipboard of the simulated desktop: one text, or none.
#pragma once

#include <optional>
#include <string>

#include "platform/clipboard.h"

namespace quellon::platform {

class SimClipboard : public Clipboard {
 public:
  std::optional<std::u16string> GetText() override { return text_; }
  bool SetText(const std::u16string& text) override {
    text_ = text;
    return true;
  }
  void Clear() { text_.reset(); }

 private:
  std::optional<std::u16string> text_;
};

}  // namespace quellon::platform
