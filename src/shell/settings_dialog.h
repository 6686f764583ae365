// The settings dialog (frmSet): loaded hidden at startup, where loading applies the stored voice
// settings to the engines and selects the system voice by name; shown from the menu; unloaded at
// the end.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/program.h"

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

// The dialog's load without its window: volume, pitch and tempo from the settings to the built-in
// engine, the system voice selected by name and, when it speaks, given volume, rate and the pitch
// tag. The window itself (ShowDialog) is not built yet.
class frmSet final : public SettingsDialog {
 public:
  frmSet(const core::Program& program, SapiVoiceSelector selectSapiVoice)
      : program_(program), selectSapiVoice_(std::move(selectSapiVoice)) {}

  void LoadDialogHidden() override;
  void ShowDialog() override {}
  void UnloadDialog() override {}

  // Load steps that failed and were skipped (7, 8 or 9).
  const std::vector<int>& SkippedSteps() const { return skipped_; }

 private:
  const core::Program& program_;
  SapiVoiceSelector selectSapiVoice_;
  std::vector<int> skipped_;
};

}  // namespace quellon::shell
