// VazaVorod: the built-in speech engine as the rest of the program sees it. One object takes a
// text and speaks it asynchronously, word by word: Say stores the text and takes its first word
// at once; the object's 50 ms thread timer keeps the speaking loop going (take a word, render
// it, play it) until the text is used up. It holds the voice parameters, selects and lists
// voices, and owns the voice, the pronunciation dictionary and the wave output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/wave_out.h"
#include "speech/dictionary.h"
#include "speech/engine_state.h"
#include "speech/voice_database.h"
#include "synth/psola.h"
#include "synth/wave_output.h"

namespace quellon {

// TakeFirstWord: the engine's own step that takes the first word of a text. Unlike FetchNextWord,
// every delimiter ends the step even when no letter was taken yet, short words are not joined,
// and its delimiter set differs.
void TakeFirstWord(EngineState& state);

struct VazaVorodOptions {
  WaveOutputOptions Output;
  // Renders words instead of the engine's own synthesis (tests, tools); not owned.
  WordRenderer* Renderer = nullptr;
};

class VazaVorod {
 public:
  static constexpr std::uint32_t kTimerPeriodMs = 50;
  static constexpr char16_t kDefaultVoice[] = u"zuvan";

  // Creation: InitSynthesis, WordSeparation 0 and SpeechBuffer emptied, InitWaveOutput,
  // InitNumberWords, Volume 10, the 50 ms timer. No voice is loaded yet (see SelectVoice).
  VazaVorod(std::filesystem::path programFolder, platform::EventLoop& loop,
            platform::WaveOut& device, VazaVorodOptions options = {});
  // Sets StopFlag, empties SpeechBuffer and kills the timer.
  ~VazaVorod();
  VazaVorod(const VazaVorod&) = delete;
  VazaVorod& operator=(const VazaVorod&) = delete;

  // ---- The interface, in its order ----
  void SetWordSeparation(std::int16_t value) { state_.WordSeparation = value; }
  std::int16_t Pitch() const { return state_.Pitch; }
  void SetPitch(std::int16_t value) { state_.Pitch = value; }
  std::int16_t Tempo() const { return state_.Tempo; }
  void SetTempo(std::int16_t value) { state_.Tempo = value; }
  std::int16_t Volume() const { return state_.Volume; }
  // One step of the speaking loop as Say runs it: StartPlayback, RenderWord, TakeFirstWord.
  // Swallows every error.
  void SpeakEvent();
  // Starts speaking `text`, cutting off whatever is being spoken.
  void Say(std::u16string& text);
  // Accepted and ignored.
  void SayNow(std::u16string text);
  // Stops speech at once.
  void Reset();
  bool IsSpeaking() const { return state_.Playing; }
  // SpeakIndex - 1, or 0 before the first word.
  std::int16_t SpeakingIndex() const;
  // Loads the voice (the default voice when it has no index file) and the dictionary that goes
  // with the requested name.
  void SelectVoice(std::u16string name);
  // The voices in the program folder, then one empty element.
  void GetVoiceNames(std::vector<std::u16string>& names) const;

  // ---- For the program and the tools ----
  // The engine state shared with the back end (the settings dialog sets Volume here).
  EngineState& State() { return state_; }
  const EngineState& State() const { return state_; }
  const PronunciationDictionary& Dictionary() const { return dictionary_; }
  VoiceDatabase& Voice() { return voice_; }
  WaveOutput& Output() { return *output_; }
  const WaveOutput& Output() const { return *output_; }
  // Speech of the last Say has ended: nothing left to take, render or play, device closed.
  bool Finished() const { return output_->Finished(); }
  void TakeFirstWord() { quellon::TakeFirstWord(state_); }

 private:
  class EngineRenderer;

  EngineState state_;
  VoiceDatabase voice_;
  Synthesizer synthesizer_;
  PronunciationDictionary dictionary_;
  std::unique_ptr<WordRenderer> ownRenderer_;
  std::unique_ptr<WaveOutput> output_;
  platform::EventLoop& loop_;
  platform::TimerId timerId_ = 0;
};

}  // namespace quellon
