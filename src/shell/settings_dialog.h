// The settings dialog (frmSet): the user chooses the voice (the built-in voices, then the system
// voices) and sets its volume, tempo and pitch. Every change is applied and spoken at once; OK
// stores the choice in the settings file, Cancel puts back what held when the dialog was shown.
// It is loaded hidden at startup, where loading applies the stored voice settings to the engines
// and selects the voice; shown modeless from the menu; OK and Cancel hide it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/program.h"
#include "shell/settings_dialog_form.h"

namespace quellon::shell {

class SettingsDialog {
 public:
  virtual ~SettingsDialog() = default;
  virtual void LoadDialogHidden() = 0;
  virtual void ShowDialog() = 0;
  virtual void UnloadDialog() = 0;
};

// No dialog: the stored voice settings are not applied.
class NullSettingsDialog final : public SettingsDialog {
 public:
  void LoadDialogHidden() override {}
  void ShowDialog() override {}
  void UnloadDialog() override {}
};

// Selects the system voice with the given description (the main window's SelectSapiVoice).
using SapiVoiceSelector = std::function<void(const std::u16string& name)>;

// nearest(): halves to the even neighbour.
std::int32_t NearestEven(double v);
// The system voice's pitch tag for a pitch slider position: <pitch absmiddle=" 0">, with a
// leading space before a number that is not negative.
std::u16string SapiPitchTagFor(std::int32_t pitchSlider);

class frmSet final : public SettingsDialog, private SettingsDialogEvents {
 public:
  // The text the Test button speaks before the voice's name.
  static constexpr std::u16string_view kTestSentence = u"Hallo, jmenuji se ";

  frmSet(const core::Program& program, std::unique_ptr<SettingsDialogForm> form,
         SapiVoiceSelector selectSapiVoice);
  ~frmSet() override;

  void LoadDialogHidden() override;
  // Shows the dialog and remembers what to go back to on Cancel; when it is shown already, only
  // brings it to the front.
  void ShowDialog() override;
  void UnloadDialog() override;

  SettingsDialogForm& Form() { return *form_; }
  // Load steps that failed and were skipped (1 to 9).
  const std::vector<int>& SkippedSteps() const { return skipped_; }

 private:
  void OnSliderChange(std::u16string_view slider) override;
  void OnSliderGotFocus(std::u16string_view slider) override;
  void OnListClick() override;
  void OnTestClick() override;
  void OnOKClick() override;
  void OnCancelClick() override;

  // Moves a slider; when it really moves, runs its Change as if the user had moved it.
  void MoveSlider(std::u16string_view slider, std::int32_t value);
  // The slider's value to the built-in engine and, when it speaks, the system voice.
  void ApplySlider(std::u16string_view slider, std::int32_t value);
  // Volume, rate and the pitch tag of the system voice, when one speaks, from the sliders.
  void ApplySlidersToSystemVoice();
  bool IsSapiName(const std::u16string& name) const;
  // Makes `name` the voice that speaks: a system voice, or else a built-in one.
  void SelectByName(const std::u16string& name);
  std::u16string ListText() const;

  const core::Program& program_;
  std::unique_ptr<SettingsDialogForm> form_;
  SapiVoiceSelector selectSapiVoice_;
  std::vector<int> skipped_;
  // What held when the dialog was last shown.
  std::int16_t savedVolume_ = 0;
  std::int16_t savedTempo_ = 0;
  std::int16_t savedPitch_ = 0;
  std::u16string savedVoiceName_;
  // The system voices' descriptions, in the order they were added to List1.
  std::vector<std::u16string> sapiVoiceNames_;
  // The voice the dialog made active last; when it differs from the saved one, a different voice
  // was chosen since the dialog was shown.
  std::u16string activeVoice_;
};

}  // namespace quellon::shell
