// VazaVorod: the built-in speech engine as the rest of the program sees it. One object takes a
// text and speaks it asynchronously, word by word: Say stores the text and takes its first word
// at once; the speaking loop (take a word, render it, play it) then goes on as soon as the thread
// is free, through posted calls, until the first word sounds, and from there on the object's
// 50 ms thread timer keeps it going until the text is used up. It holds the voice parameters,
// selects and lists voices, and owns the voice, the pronunciation dictionary and the wave
// output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/built_in_engine.h"
#include "engine/engine_state.h"
#include "engine/wave_output.h"
#include "platform/event_loop.h"
#include "platform/posted_call.h"
#include "platform/wave_out.h"
#include "speech/dictionary.h"
#include "speech/voice_database.h"
#include "synth/psola.h"

namespace quellon {

struct VazaVorodOptions {
  WaveOutputOptions Output;
  // Renders words instead of the engine's own synthesis (tests, tools); not owned.
  WordRenderer* Renderer = nullptr;
};

class VazaVorod : public BuiltInEngine {
 public:
  static constexpr std::uint32_t kTimerPeriodMs = 50;
  static constexpr char16_t kDefaultVoice[] = u"zuvan";

  // Creation: InitSynthesis, WordSeparation 0 and SpeechBuffer emptied, InitWaveOutput,
  // InitNumberWords, Volume 10, the 50 ms timer. No voice is loaded yet (see SelectVoice).
  VazaVorod(std::filesystem::path programFolder, platform::EventLoop& loop,
            platform::WaveOut& device, VazaVorodOptions options = {});
  // Sets StopFlag, empties SpeechBuffer and kills the timer.
  ~VazaVorod() override;
  VazaVorod(const VazaVorod&) = delete;
  VazaVorod& operator=(const VazaVorod&) = delete;

  // ---- The interface, in its order ----
  std::int16_t WordSeparation() const override { return state_.WordSeparation; }
  void SetWordSeparation(std::int16_t value) override { state_.WordSeparation = value; }
  std::int16_t Pitch() const override { return state_.Pitch; }
  void SetPitch(std::int16_t value) override { state_.Pitch = value; }
  std::int16_t Tempo() const override { return state_.Tempo; }
  void SetTempo(std::int16_t value) override { state_.Tempo = value; }
  std::int16_t Volume() const override { return state_.Volume; }
  void SetVolume(std::int16_t value) override { state_.Volume = value; }
  // One step of the speaking loop as Say runs it: StartPlayback, RenderWord, TakeFirstWord.
  // Swallows every error.
  void SpeakEvent();
  // Starts speaking `text`, cutting off whatever is being spoken. Always 0. On return the state
  // is what the step above leaves (the first word taken, nothing rendered, nothing playing);
  // the steps up to the first sound are posted (see SpeakAtOnce).
  std::int32_t Say(std::u16string& text) override;
  // Accepted and ignored.
  void SayNow(std::u16string text);
  // Stops speech at once. Always 0.
  std::int32_t Reset() override;
  bool IsSpeaking() const override { return state_.Playing; }
  // SpeakIndex - 1, or 0 before the first word.
  std::int16_t SpeakingIndex() const override;
  // Loads the voice (the default voice when it has no index file) and the dictionary that goes
  // with the requested name.
  void SelectVoice(const std::u16string& name) override;
  // The voices in the program folder, then one empty element.
  void GetVoiceNames(std::vector<std::u16string>& names) const override;

  // ---- For the program and the tools ----
  // The engine state shared with the back end (the settings dialog sets Volume here).
  EngineState& State() { return state_; }
  const EngineState& State() const { return state_; }
  const PronunciationDictionary& Dictionary() const override { return dictionary_; }
  void SetDictionary(PronunciationDictionary dictionary) override {
    dictionary_ = std::move(dictionary);
  }
  void LoadWaveWindow() override { output_->LoadWaveWindow(); }
  VoiceDatabase& Voice() { return voice_; }
  WaveOutput& Output() { return *output_; }
  const WaveOutput& Output() const { return *output_; }
  // Speech of the last Say has ended: nothing left to take, render or play, device closed.
  bool Finished() const { return output_->Finished(); }
  void TakeFirstWord() { quellon::TakeFirstWord(state_); }
  // One step of the speaking loop between Say and the first sound, run as a posted call: renders
  // the word that waits, starts its playback at once, takes the next word. Another step is
  // posted while nothing plays yet and this one got on (took or rendered a word), and one more
  // once the sound is out (it renders the second word, as the timer step that started the sound
  // always did); then, or when the device is busy or nothing is left, the timer's steps carry
  // on. Swallows every error (the timer goes on from there).
  void SpeakAtOnce();
  // A step of SpeakAtOnce is waiting to run.
  bool SpeakAtOncePending() const { return firstSteps_.Waiting(); }

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
  bool soundStarted_ = false;        // the last step of SpeakAtOnce started the sound
  platform::PostedCall firstSteps_;  // SpeakAtOnce
};

}  // namespace quellon
