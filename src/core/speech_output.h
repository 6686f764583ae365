// The one road of every announcement (Say) and every sound cue (PlaySoundCue). Say decides whether
// anything is spoken, shows the text in the info band, passes it through the pronunciation
// dictionary and hands it to the active engine: a system voice or the built-in engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/info_band_output.h"
#include "core/program_state.h"
#include "engine/built_in_engine.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "strings/string_table.h"

namespace quellon::core {

class SpeechOutput {
 public:
  // Speak flags for the system voice: asynchronous, after purging what is still being spoken.
  static constexpr std::uint32_t kSpeakFlags =
      platform::SVSFlagsAsync | platform::SVSFPurgeBeforeSpeak;

  // Reads ShuttingDown, SapiActive, SapiVoice, SapiPitchTag and ProgramFolder of `state`.
  SpeechOutput(ProgramState& state, BuiltInEngine& engine, const strings::StringTable& strings,
               platform::SoundPlayer& sound, InfoBandOutput* infoBand = nullptr)
      : state_(state), engine_(engine), strings_(strings), sound_(sound), infoBand_(infoBand) {}

  void SetInfoBand(InfoBandOutput* band) { infoBand_ = band; }

  // Speaks `text`. A text of exactly one character is replaced by that character's spoken name.
  // The text (after that) goes into the info band when the band is shown and suppressInfoBand is
  // false. Any failure ends the call silently. The empty text stops speech and clears the band.
  void Say(std::u16string text, std::int32_t reserved = 0, bool suppressInfoBand = false);

  // Stops the built-in engine, then plays ProgramFolder\snd\<name>.wav (name lower-cased and
  // trimmed of spaces) synchronously; a missing file is skipped.
  void PlaySoundCue(std::u16string name);
  // The file PlaySoundCue plays for `name`.
  std::filesystem::path SoundCuePath(std::u16string_view name) const;

 private:
  ProgramState& state_;
  BuiltInEngine& engine_;
  const strings::StringTable& strings_;
  platform::SoundPlayer& sound_;
  InfoBandOutput* infoBand_;
};

}  // namespace quellon::core
