#include "shell/settings_dialog.h"

#include <algorithm>
#include <string>

#include "text/text.h"

namespace quellon::shell {
namespace {

// nearest(): halves to the even neighbour.
std::int32_t Nearest(double v) {
  return static_cast<std::int32_t>(text::RoundHalfEven(v));
}

std::u16string Decimal(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

}  // namespace

void frmSet::LoadDialogHidden() {
  auto step = [this](int number, auto&& f) {
    try {
      f();
    } catch (...) {
      skipped_.push_back(number);
    }
  };
  core::cSetting& settings = program_.settings;
  // The sliders run from 0 to 100.
  auto slider = [](std::int32_t v) { return std::clamp<std::int32_t>(v, 0, 100); };
  const std::int32_t volume = slider(settings.VoiceVolume());
  const std::int32_t tempo = slider(settings.VoiceTempo());
  const std::int32_t pitch = slider(settings.VoicePitch());
  step(7, [&] {
    program_.engine.SetVolume(static_cast<std::int16_t>(Nearest(volume / 5.0)));
    program_.engine.SetPitch(static_cast<std::int16_t>(-4 * Nearest((pitch - 50) / 5.0)));
    program_.engine.SetTempo(static_cast<std::int16_t>(Nearest((tempo - 50) / 5.0)));
  });
  step(8, [&] {
    if (selectSapiVoice_) selectSapiVoice_(settings.VoiceName());
  });
  step(9, [&] {
    core::ProgramState& state = program_.state;
    if (!state.SapiActive || state.SapiVoice == nullptr) return;
    state.SapiVoice->SetVolume(settings.VoiceVolume());
    state.SapiVoice->SetRate(Nearest(tempo / 5.0 - 10));
    const std::int32_t n = Nearest(pitch / 5.0 - 10);
    state.SapiPitchTag =
        u"<pitch absmiddle=\"" + std::u16string(n >= 0 ? u" " : u"") + Decimal(n) + u"\">";
  });
}

}  // namespace quellon::shell
