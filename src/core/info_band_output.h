// The info band as the speech routine sees it: every announcement is shown there while the band
// is switched on. The info band part (aids) implements it.
#pragma once

#include <string>

namespace quellon::core {

class InfoBandOutput {
 public:
  virtual ~InfoBandOutput() = default;
  // True while the main menu's "Show info band" item is checked.
  virtual bool IsShown() const = 0;
  // Puts the text into the band's text box (creating the band when it does not exist yet).
  virtual void SetText(const std::u16string& text) = 0;
};

}  // namespace quellon::core
