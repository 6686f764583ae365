// The info band's window (frmInfo) as the program sees it: a borderless, topmost strip with one
// multi-line text box (Text1). Sizes and places are in twips, as the form keeps them; the window
// is never activated by being shown.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "aids/app_bar_docking.h"
#include "platform/event_loop.h"

namespace quellon::aids {

// The events of the band's window, handled by the band.
class InfoBandEvents {
 public:
  virtual ~InfoBandEvents() = default;
  // A key pressed anywhere on the form, seen before the text box; true swallows it.
  virtual bool Form_KeyDown(std::uint32_t vk) = 0;
  // A key released in the text box.
  virtual void Text1_KeyUp(std::uint32_t vk) = 0;
};

class InfoBandForm : public DockedForm {
 public:
  // Creates the window hidden, sending its events to `events`. False when it cannot be made.
  virtual bool LoadBandWindow(InfoBandEvents& events) = 0;
  // Destroys the window; nothing when it does not exist.
  virtual void UnloadBandWindow() = 0;
  virtual bool BandLoaded() const = 0;

  virtual platform::Hwnd BandHandle() const = 0;
  virtual platform::Hwnd BandTextHandle() const = 0;
  virtual void SetBandCaption(std::u16string_view caption) = 0;
  // Shows the window topmost without activating it, or hides it.
  virtual void ShowBandWindow() = 0;
  virtual void HideBandWindow() = 0;
  virtual bool BandWindowVisible() const = 0;

  virtual void SetBandText(std::u16string_view text) = 0;
  virtual std::u16string BandText() const = 0;
  virtual void SetBandFontSize(std::int32_t points) = 0;
  virtual void SetBandColors(std::uint32_t text, std::uint32_t background) = 0;

  // The form's place and size, and the text box's inside it, in twips.
  virtual std::int32_t BandLeft() const = 0;
  virtual std::int32_t BandTop() const = 0;
  virtual void SetBandHeight(std::int32_t twips) = 0;
  virtual void PlaceBandText(std::int32_t left, std::int32_t top, std::int32_t width,
                             std::int32_t height) = 0;

  // Brings the band to the foreground with the keyboard focus in its text box.
  virtual void FocusBandText() = 0;
};

}  // namespace quellon::aids
