// The info band's window (frmInfo) as the program sees it: a borderless, topmost strip with one
// text box.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/event_loop.h"

namespace quellon::aids {

class InfoBandForm {
 public:
  virtual ~InfoBandForm() = default;
  virtual platform::Hwnd BandHandle() const = 0;
  virtual void ShowBandWindow() = 0;
  virtual void HideBandWindow() = 0;
  virtual void SetBandText(std::u16string_view text) = 0;
  // The font and colours of the text box.
  virtual void SetBandFont(std::u16string_view face, std::int32_t size, bool bold) = 0;
  virtual void SetBandColors(std::uint32_t text, std::uint32_t background) = 0;
};

}  // namespace quellon::aids
