#include "shell/automation.h"

#include "platform/system_voice.h"

namespace quellon::shell {

std::int16_t App::Clamp(std::int32_t value) {
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  return static_cast<std::int16_t>(value);
}

std::int32_t App::SayIt(const std::u16string& mess) {
  const core::ProgramState& state = program_.state;
  if (state.SapiActive && state.SapiVoice != nullptr) {
    return state.SapiVoice->Speak(mess, platform::SVSFPurgeBeforeSpeak);
  }
  std::u16string text = mess;
  return program_.engine.Say(text);
}

std::int32_t App::SetHook(std::int32_t value) {
  if (value == 1) {
    parts_.accessibilityHook.InstallAccessibilityHook();
  } else {
    parts_.accessibilityHook.RemoveAccessibilityHook();
  }
  return 0;
}

std::int32_t App::SetVisible(std::int32_t mode) {
  if (parts_.setVisible) parts_.setVisible(mode);
  return 0;
}

std::int32_t App::Destroy() {
  if (!parts_.destroy) return NullAutomation::kNotImplemented;
  parts_.destroy();
  return 0;
}

std::int32_t App::IsSpeaking(bool& speaking) {
  speaking = program_.engine.IsSpeaking();
  return 0;
}

std::int32_t App::Reset() {
  return program_.engine.Reset();
}

std::int32_t App::SetTempo(std::int32_t tempo) {
  program_.engine.SetTempo(Clamp(tempo));
  return 0;
}

std::int32_t App::GetTempo(std::int32_t& tempo) {
  tempo = program_.engine.Tempo();
  return 0;
}

std::int32_t App::SetPitch(std::int32_t pitch) {
  program_.engine.SetPitch(Clamp(pitch));
  return 0;
}

std::int32_t App::GetPitch(std::int32_t& pitch) {
  pitch = program_.engine.Pitch();
  return 0;
}

std::int32_t App::SelectVoice(const std::u16string& voiceName) {
  program_.engine.SelectVoice(voiceName);
  return 0;
}

}  // namespace quellon::shell
