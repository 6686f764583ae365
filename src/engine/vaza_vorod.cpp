#include "engine/vaza_vorod.h"

#include <exception>

#include "engine/word_takers.h"

#include "speech/number_words.h"
#include "synth/unit_selection.h"

namespace quellon {

// The engine's own rendering: number words, letter-to-sound and unit selection, PSOLA.
class VazaVorod::EngineRenderer : public WordRenderer {
 public:
  EngineRenderer(VoiceDatabase& voice, Synthesizer& synthesizer, const EngineState& state)
      : voice_(voice), synthesizer_(synthesizer), state_(state) {}
  std::u16string WordToUnits(std::u16string_view word, std::int32_t pauseClass) override {
    const std::u16string phonemes = ExpandDigits(word);
    return PhomeneToWave(phonemes, pauseClass, voice_, voice_.Parameters().PitchDegradation,
                         state_.StopFlag);
  }
  SampleArray Synthesize(std::u16string_view units) override {
    return synthesizer_.Synthesize(units);
  }

 private:
  VoiceDatabase& voice_;
  Synthesizer& synthesizer_;
  const EngineState& state_;
};

VazaVorod::VazaVorod(std::filesystem::path programFolder, platform::EventLoop& loop,
                     platform::WaveOut& device, VazaVorodOptions options)
    : voice_(std::move(programFolder)),
      synthesizer_(voice_, state_),
      loop_(loop),
      firstSteps_(loop, [this] { SpeakAtOnce(); }) {
  WordRenderer* renderer = options.Renderer;
  if (renderer == nullptr) {
    ownRenderer_ = std::make_unique<EngineRenderer>(voice_, synthesizer_, state_);
    renderer = ownRenderer_.get();
  }
  output_ =
      std::make_unique<WaveOutput>(state_, loop, device, *renderer, std::move(options.Output));

  synthesizer_.InitSynthesis();
  state_.WordSeparation = 0;
  state_.SpeechBuffer = EmptySamples();
  output_->InitWaveOutput();
  InitNumberWords();
  state_.Volume = 10;
  timerId_ = loop_.SetTimer(kTimerPeriodMs, [this] { output_->PumpSpeech(); });
}

VazaVorod::~VazaVorod() {
  state_.StopFlag = true;
  state_.SpeechBuffer = EmptySamples();
  if (timerId_ != 0) loop_.KillTimer(timerId_);
}

void VazaVorod::SpeakEvent() {
  try {
    output_->StartPlayback();
    output_->RenderWord();
    TakeFirstWord();
  } catch (const std::exception&) {
    // Swallowed: the timer's next step goes on.
  }
}

std::int32_t VazaVorod::Say(std::u16string& text) {
  if (state_.Playing) output_->StopSpeech();
  state_.SpeechText = text;
  state_.SpeechPos = 1;
  state_.SpeechBuffer = EmptySamples();
  state_.CurrentWord.clear();
  state_.StopFlag = false;
  SpeakEvent();
  soundStarted_ = false;
  firstSteps_.Post();
  return 0;
}

void VazaVorod::SpeakAtOnce() {
  const bool afterFirstSound = soundStarted_;
  soundStarted_ = false;
  const std::int16_t pos = state_.SpeechPos;
  const std::size_t textLength = state_.SpeechText.size();
  const std::u16string word = state_.CurrentWord;
  try {
    output_->RenderWord();
    output_->StartPlayback();
    output_->FetchNextWord();
  } catch (const std::exception&) {
    return;  // the timer's next step goes on
  }
  if (afterFirstSound || state_.StopFlag) return;
  if (state_.Playing) {
    // The sound is out. As the timer step that used to start it, one more step renders the word
    // after it right away, so a short first word is followed without a gap.
    soundStarted_ = true;
    firstSteps_.Post();
    return;
  }
  if (UpperBound(state_.SpeechBuffer) != 0) return;  // the device is busy: the timer starts it
  const bool gotOn = state_.SpeechPos != pos || state_.SpeechText.size() != textLength ||
                     state_.CurrentWord != word;
  if (gotOn && (!state_.CurrentWord.empty() || !state_.SpeechText.empty())) firstSteps_.Post();
}

void VazaVorod::SayNow(std::u16string /*text*/) {}

std::int32_t VazaVorod::Reset() {
  firstSteps_.Cancel();
  soundStarted_ = false;
  state_.StopFlag = true;
  output_->StopSpeech();
  return 0;
}

std::int16_t VazaVorod::SpeakingIndex() const {
  return state_.SpeakIndex != 0 ? static_cast<std::int16_t>(state_.SpeakIndex - 1) : 0;
}

void VazaVorod::SelectVoice(const std::u16string& name) {
  if (!voice_.LoadVoice(name)) voice_.LoadVoice(kDefaultVoice);
  // The dictionary goes with the requested name even when the default voice was loaded.
  std::u16string file = name;
  const std::size_t dot = file.find(u'.');
  if (dot == std::u16string::npos) {
    file += u'.';
  } else {
    file.resize(dot + 1);
  }
  file += u"def";
  dictionary_ = LoadDictionary(voice_.ProgramFolder() / std::filesystem::path(file));
}

void VazaVorod::GetVoiceNames(std::vector<std::u16string>& names) const {
  names = voice_.ListVoices();
  names.emplace_back();
}

}  // namespace quellon
