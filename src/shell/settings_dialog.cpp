#include "shell/settings_dialog.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "speech/dictionary.h"
#include "text/text.h"

namespace quellon::shell {
namespace {

std::u16string Decimal(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

std::int32_t ToSlider(std::int32_t stored) {
  return std::clamp<std::int32_t>(stored, 0, kSliderMax);
}

// The label in front of each slider (its caption is also the slider's accessible name).
int LabelText(std::u16string_view slider) {
  if (slider == kVolumeSlider) return 27;
  if (slider == kTempoSlider) return 28;
  return 29;
}

template <typename F>
void Guard(F&& f) {
  try {
    f();
  } catch (...) {
    // The handler ends; nothing is reported.
  }
}

}  // namespace

std::int32_t NearestEven(double v) {
  return static_cast<std::int32_t>(text::RoundHalfEven(v));
}

std::u16string SapiPitchTagFor(std::int32_t pitchSlider) {
  const std::int32_t n = NearestEven(pitchSlider / 5.0 - 10);
  return u"<pitch absmiddle=\"" + std::u16string(n >= 0 ? u" " : u"") + Decimal(n) + u"\">";
}

frmSet::frmSet(const core::Program& program, std::unique_ptr<SettingsDialogForm> form,
               SapiVoiceSelector selectSapiVoice)
    : program_(program),
      form_(form ? std::move(form) : std::make_unique<MemorySettingsDialogForm>()),
      selectSapiVoice_(std::move(selectSapiVoice)) {
  form_->SetEvents(this);
}

frmSet::~frmSet() {
  form_->SetEvents(nullptr);
}

void frmSet::LoadDialogHidden() {
  auto step = [this](int number, auto&& f) {
    try {
      f();
    } catch (...) {
      skipped_.push_back(number);
    }
  };
  core::cSetting& settings = program_.settings;
  core::ProgramState& state = program_.state;
  step(1, [&] { program_.strings.ApplyCaptions(*form_); });
  step(2, [&] { sapiVoiceNames_.clear(); });
  step(3, [&] {
    std::vector<std::u16string> names;
    program_.engine.GetVoiceNames(names);
    if (!names.empty() && names.back().empty()) names.pop_back();
    for (const std::u16string& name : names) form_->AddVoice(name);
  });
  step(4, [&] {
    // Only the list is wanted here; the main window owns the voice that speaks.
    std::unique_ptr<platform::SystemVoice> own;
    platform::SystemVoice* voice = state.SapiVoice;
    if (voice == nullptr) {
      own = program_.ports.voices.CreateVoice();
      voice = own.get();
    }
    if (voice == nullptr) return;
    for (const std::u16string& description : voice->GetVoices()) {
      form_->AddVoice(description);
      sapiVoiceNames_.push_back(description);
    }
  });
  step(5, [&] {
    for (std::int32_t i = 0; i < form_->ListCount(); ++i) {
      if (form_->ListEntry(i) != settings.VoiceName()) continue;
      form_->SetListIndex(i);
      OnListClick();
    }
  });
  step(6, [&] {
    // Hidden: each Change only writes the value label.
    for (auto [slider, stored] : {std::pair{kVolumeSlider, settings.VoiceVolume()},
                                  std::pair{kPitchSlider, settings.VoicePitch()},
                                  std::pair{kTempoSlider, settings.VoiceTempo()}}) {
      form_->SetSlider(slider, ToSlider(stored));
      OnSliderChange(slider);
    }
  });
  step(7, [&] {
    BuiltInEngine& engine = program_.engine;
    engine.SetVolume(static_cast<std::int16_t>(NearestEven(form_->Slider(kVolumeSlider) / 5.0)));
    engine.SetPitch(
        static_cast<std::int16_t>(-4 * NearestEven((form_->Slider(kPitchSlider) - 50) / 5.0)));
    engine.SetTempo(
        static_cast<std::int16_t>(NearestEven((form_->Slider(kTempoSlider) - 50) / 5.0)));
  });
  step(8, [&] {
    if (selectSapiVoice_) selectSapiVoice_(settings.VoiceName());
  });
  step(9, [&] { ApplySlidersToSystemVoice(); });
}

void frmSet::ShowDialog() {
  Guard([&] {
    if (!form_->DialogVisible()) {
      // Activation: what Cancel goes back to.
      savedVolume_ = program_.engine.Volume();
      savedTempo_ = program_.engine.Tempo();
      savedPitch_ = program_.engine.Pitch();
      savedVoiceName_ = program_.settings.VoiceName();
      activeVoice_ = savedVoiceName_;
    }
    form_->ShowDialogWindow();
  });
}

void frmSet::UnloadDialog() {
  Guard([&] {
    form_->SetEvents(nullptr);
    form_->DestroyDialogWindow();
  });
}

void frmSet::ApplySlider(std::u16string_view slider, std::int32_t value) {
  BuiltInEngine& engine = program_.engine;
  core::ProgramState& state = program_.state;
  platform::SystemVoice* sapi = state.SapiActive ? state.SapiVoice : nullptr;
  if (slider == kVolumeSlider) {
    engine.SetVolume(static_cast<std::int16_t>(NearestEven(value / 5.0)));
    if (sapi != nullptr) sapi->SetVolume(value);
  } else if (slider == kTempoSlider) {
    engine.SetTempo(static_cast<std::int16_t>(NearestEven((value - 50) / 5.0)));
    if (sapi != nullptr) sapi->SetRate(NearestEven(value / 5.0 - 10));
  } else if (slider == kPitchSlider) {
    engine.SetPitch(static_cast<std::int16_t>(-4 * NearestEven((value - 50) / 5.0)));
    if (sapi != nullptr) state.SapiPitchTag = SapiPitchTagFor(value);
  }
}

void frmSet::ApplySlidersToSystemVoice() {
  core::ProgramState& state = program_.state;
  if (!state.SapiActive || state.SapiVoice == nullptr) return;
  state.SapiVoice->SetVolume(form_->Slider(kVolumeSlider));
  state.SapiVoice->SetRate(NearestEven(form_->Slider(kTempoSlider) / 5.0 - 10));
  state.SapiPitchTag = SapiPitchTagFor(form_->Slider(kPitchSlider));
}

void frmSet::OnSliderChange(std::u16string_view slider) {
  Guard([&] {
    const std::int32_t value = form_->Slider(slider);
    form_->SetValueLabel(slider, Decimal(value));
    if (!form_->DialogVisible()) return;
    ApplySlider(slider, value);
    program_.output.Say(form_->ValueLabel(slider));
  });
}

void frmSet::OnSliderGotFocus(std::u16string_view slider) {
  Guard([&] {
    program_.output.Say(program_.strings.GetString(LabelText(slider)) + u" " +
                        form_->ValueLabel(slider));
  });
}

void frmSet::MoveSlider(std::u16string_view slider, std::int32_t value) {
  if (form_->Slider(slider) == value) return;
  form_->SetSlider(slider, value);
  OnSliderChange(slider);
}

bool frmSet::IsSapiName(const std::u16string& name) const {
  return std::find(sapiVoiceNames_.begin(), sapiVoiceNames_.end(), name) != sapiVoiceNames_.end();
}

std::u16string frmSet::ListText() const {
  return form_->ListEntry(form_->ListIndex());
}

void frmSet::SelectByName(const std::u16string& name) {
  core::ProgramState& state = program_.state;
  activeVoice_ = name;
  if (IsSapiName(name)) {
    if (selectSapiVoice_) selectSapiVoice_(name);
    // A freshly selected system voice speaks with the sliders' values at once.
    ApplySlidersToSystemVoice();
  } else {
    state.SapiActive = false;
    program_.engine.SelectVoice(name);
  }
}

void frmSet::OnListClick() {
  Guard([&] {
    const std::u16string text = ListText();
    // The voice that speaks now (at first the one the dialog was opened with) stays as it is.
    if (text == activeVoice_) return;
    SelectByName(text);
  });
}

void frmSet::OnTestClick() {
  Guard([&] { program_.output.Say(std::u16string(kTestSentence) + ListText()); });
}

void frmSet::OnOKClick() {
  Guard([&] {
    core::cSetting& settings = program_.settings;
    const std::u16string name = ListText();
    settings.SetVoiceName(name);
    settings.SetVoiceVolume(form_->Slider(kVolumeSlider));
    settings.SetVoicePitch(form_->Slider(kPitchSlider));
    settings.SetVoiceTempo(form_->Slider(kTempoSlider));
    if (selectSapiVoice_) selectSapiVoice_(name);
    if (program_.state.SapiActive) {
      program_.engine.SetDictionary(
          LoadDictionary(program_.state.ProgramFolder / std::filesystem::path(name + u".def")));
    } else {
      program_.engine.SelectVoice(name);
    }
    activeVoice_ = name;
    settings.SaveSetting();
    form_->HideDialogWindow();
  });
}

void frmSet::OnCancelClick() {
  Guard([&] {
    BuiltInEngine& engine = program_.engine;
    core::cSetting& settings = program_.settings;
    engine.SetVolume(savedVolume_);
    engine.SetTempo(savedTempo_);
    engine.SetPitch(savedPitch_);
    if (activeVoice_ != savedVoiceName_) {  // a different voice was chosen
      SelectByName(savedVoiceName_);
      if (program_.state.SapiActive) {
        // The built-in voice chosen meanwhile brought its own dictionary.
        engine.SetDictionary(LoadDictionary(program_.state.ProgramFolder /
                                            std::filesystem::path(savedVoiceName_ + u".def")));
      }
      for (std::int32_t i = 0; i < form_->ListCount(); ++i) {
        if (form_->ListEntry(i) == savedVoiceName_) form_->SetListIndex(i);
      }
    }
    // Still shown: a slider that moves back applies and speaks its value.
    MoveSlider(kVolumeSlider, ToSlider(settings.VoiceVolume()));
    MoveSlider(kTempoSlider, ToSlider(settings.VoiceTempo()));
    MoveSlider(kPitchSlider, ToSlider(settings.VoicePitch()));
    form_->HideDialogWindow();
  });
}

}  // namespace quellon::shell
