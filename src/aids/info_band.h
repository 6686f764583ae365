// The info band: a strip docked at the top of the screen that repeats what is spoken in large,
// configurable letters. Shown and hidden from the menu; the speech routine writes into it while
// it is shown; the numeric-pad rows of the keyboard handler go through it too.
#pragma once

#include <string>

#include "core/info_band_output.h"

namespace quellon::aids {

class InfoBand : public core::InfoBandOutput {
 public:
  // Loads and shows the band, its text box emptied, docked as an application bar.
  virtual void ShowBand() = 0;
  // Hides and unloads it.
  virtual void HideBand() = 0;
  virtual bool BandVisible() const = 0;
  // Shutdown: the band's window goes.
  virtual void UnloadBand() = 0;
};

// No band: never shown, takes no text.
class NullInfoBand final : public InfoBand {
 public:
  bool IsShown() const override { return false; }
  void SetText(const std::u16string&) override {}
  void ShowBand() override {}
  void HideBand() override {}
  bool BandVisible() const override { return false; }
  void UnloadBand() override {}
};

}  // namespace quellon::aids
