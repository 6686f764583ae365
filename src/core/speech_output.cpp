#include "core/speech_output.h"

#include <system_error>

#include "core/c_setting.h"
#include "text/text.h"

namespace quellon::core {

void SpeechOutput::Say(std::u16string text, std::int32_t /*reserved*/, bool suppressInfoBand) {
  if (state_.ShuttingDown) return;
  try {
    if (text.size() == 1) text = strings_.CharName(text);
    if (infoBand_ != nullptr && infoBand_->IsShown() && !suppressInfoBand) {
      infoBand_->SetText(text);
    }
    text = ApplyDictionary(engine_.Dictionary(), text);
    if (state_.SapiActive) {
      if (state_.SapiVoice == nullptr) return;
      state_.SapiVoice->Speak(state_.SapiPitchTag + text, kSpeakFlags);
      return;
    }
    if (engine_.Reset() < 0) return;
    engine_.Say(text);
  } catch (...) {
    // Every failure ends the announcement silently.
  }
}

std::filesystem::path SpeechOutput::SoundCuePath(std::u16string_view name) const {
  return ProgramFile(state_.ProgramFolder,
                     u"snd\\" + text::ToLower(text::TrimSpaces(name)) + u".wav");
}

void SpeechOutput::PlaySoundCue(std::u16string name) {
  try {
    engine_.Reset();
    const std::filesystem::path path = SoundCuePath(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return;
    sound_.PlaySoundFile(path, platform::SND_SYNC);
  } catch (...) {
    // A cue that cannot be played is skipped.
  }
}

}  // namespace quellon::core
