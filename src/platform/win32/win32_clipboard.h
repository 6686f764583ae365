// The clipboard on Windows (user32).
#pragma once

#include <optional>
#include <string>

#include "platform/clipboard.h"

namespace quellon::platform {

// The clipboard. Opening it fails while another program holds it open; the call then gives
// nullopt / false at once rather than waiting.
class Win32Clipboard : public Clipboard {
 public:
  std::optional<std::u16string> GetText() override;
  bool SetText(const std::u16string& text) override;
};

}  // namespace quellon::platform
