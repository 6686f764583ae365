// The built-in engine as the rest of the program drives it: the speech routine, the main window,
// the settings dialog and the automation class. VazaVorod implements it; FakeEngine records what
// it is asked to do, for tests. Calls that can fail return 0 for success, negative for failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speech/dictionary.h"

namespace quellon {

class BuiltInEngine {
 public:
  virtual ~BuiltInEngine() = default;

  // Starts speaking the text, cutting off whatever was being spoken.
  virtual std::int32_t Say(std::u16string& text) = 0;
  // Stops speech at once and empties the queue.
  virtual std::int32_t Reset() = 0;
  // Loads the named voice (the default voice when it has none) and its dictionary.
  virtual void SelectVoice(const std::u16string& name) = 0;
  // The voices in the program folder, then one empty element.
  virtual void GetVoiceNames(std::vector<std::u16string>& names) const = 0;
  virtual bool IsSpeaking() const = 0;
  // The position in the text being spoken (0 before the first word).
  virtual std::int16_t SpeakingIndex() const = 0;

  virtual std::int16_t Pitch() const = 0;
  virtual void SetPitch(std::int16_t value) = 0;
  virtual std::int16_t Tempo() const = 0;
  virtual void SetTempo(std::int16_t value) = 0;
  virtual std::int16_t Volume() const = 0;
  virtual void SetVolume(std::int16_t value) = 0;
  virtual std::int16_t WordSeparation() const = 0;
  virtual void SetWordSeparation(std::int16_t value) = 0;

  // The pronunciation dictionary of the selected voice.
  virtual const PronunciationDictionary& Dictionary() const = 0;
  // Replaces it (a system voice's own dictionary, while that voice speaks).
  virtual void SetDictionary(PronunciationDictionary dictionary) = 0;
  // Creates the hidden window that receives the wave-out completion notices.
  virtual void LoadWaveWindow() = 0;
};

}  // namespace quellon
