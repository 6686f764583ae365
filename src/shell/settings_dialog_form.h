// The settings dialog's window (frmSet) as the program sees it: the voice list, the volume,
// tempo and pitch sliders, OK and Cancel. Captions arrive by control name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "strings/string_table.h"

namespace quellon::shell {

class SettingsDialogForm : public strings::CaptionTarget {
 public:
  std::u16string_view FormName() const override { return u"frmSet"; }
  virtual void ShowDialogWindow() = 0;
  virtual void HideDialogWindow() = 0;
  // List1: the voices, one selected.
  virtual void SetVoices(const std::vector<std::u16string>& names, std::int32_t selected) = 0;
  virtual std::int32_t SelectedVoice() const = 0;
  // HSVolume, HSTempo, HSPitch: 0..100.
  virtual void SetSlider(std::u16string_view control, std::int32_t value) = 0;
  virtual std::int32_t Slider(std::u16string_view control) const = 0;
};

}  // namespace quellon::shell
