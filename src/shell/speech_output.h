// The one road of every announcement (Say) and every sound cue (PlaySoundCue), and bringing a
// window to the front. Say decides whether anything is spoken, shows the text in the info band,
// passes it through the pronunciation dictionary and hands it to the active engine: a system voice
// or the built-in engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "platform/window_system.h"
#include "speech/dictionary.h"
#include "strings/string_table.h"

namespace quellon::shell {

// The built-in engine as the routing sees it. Calls return 0 for success, negative for failure.
class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Stops current speech and empties the queue.
  virtual std::int32_t Reset() = 0;
  // Starts speaking the text (cutting off whatever was being spoken).
  virtual std::int32_t Say(std::u16string& text) = 0;
  // The pronunciation dictionary of the selected voice.
  virtual const PronunciationDictionary& Dictionary() const = 0;
};

// The info band as the routing sees it.
class InfoBand {
 public:
  virtual ~InfoBand() = default;
  // True while the main menu's "Show info band" item is checked.
  virtual bool IsShown() const = 0;
  // Puts the text into the band's text box (creating the band when it does not exist yet).
  virtual void SetText(const std::u16string& text) = 0;
};

// The program-wide state the routing reads; the main window owns and sets it.
struct SpeechRoutingState {
  bool ShuttingDown = false;  // from the start of shutdown on, Say does nothing
  bool SapiActive = false;    // the system voice speaks instead of the built-in engine
  platform::SystemVoice* SapiVoice = nullptr;
  std::u16string SapiPitchTag;  // prefix of every text given to the system voice
  std::filesystem::path ProgramFolder;
};

class SpeechOutput {
 public:
  // Speak flags for the system voice: asynchronous, after purging what is still being spoken.
  static constexpr std::uint32_t kSpeakFlags =
      platform::SVSFlagsAsync | platform::SVSFPurgeBeforeSpeak;

  SpeechOutput(SpeechEngine& engine, const strings::StringTable& strings,
               platform::SoundPlayer& sound, InfoBand* infoBand = nullptr)
      : engine_(engine), strings_(strings), sound_(sound), infoBand_(infoBand) {}

  SpeechRoutingState& State() { return state_; }
  const SpeechRoutingState& State() const { return state_; }
  void SetInfoBand(InfoBand* band) { infoBand_ = band; }

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
  SpeechEngine& engine_;
  const strings::StringTable& strings_;
  platform::SoundPlayer& sound_;
  InfoBand* infoBand_;
  SpeechRoutingState state_;
};

// Makes the top-level window `hwnd` the foreground window and shows it: restores it when it is
// already in front but minimised; otherwise brings it forward (attaching the input of the
// foreground window's thread for the moment when the threads differ), then restores or shows it.
void BringWindowToFront(platform::WindowSystem& windows, platform::Keyboard& keyboard,
                        platform::Hwnd hwnd);

}  // namespace quellon::shell
