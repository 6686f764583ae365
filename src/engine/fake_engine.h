// A built-in engine that speaks nothing and writes what it is asked into a log, for tests:
// "say:<text>", "reset", "voice:<name>", "wave window".
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/built_in_engine.h"

namespace quellon {

class FakeEngine : public BuiltInEngine {
 public:
  explicit FakeEngine(std::vector<std::u16string>& log) : log_(log) {}

  std::int32_t Say(std::u16string& text) override {
    log_.push_back(u"say:" + text);
    return sayResult;
  }
  std::int32_t Reset() override {
    log_.push_back(u"reset");
    return resetResult;
  }
  void SelectVoice(const std::u16string& name) override { log_.push_back(u"voice:" + name); }
  void GetVoiceNames(std::vector<std::u16string>& names) const override {
    names = voices;
    names.emplace_back();
  }
  bool IsSpeaking() const override { return speaking; }
  std::int16_t SpeakingIndex() const override { return speakingIndex; }
  std::int16_t Pitch() const override { return pitch; }
  void SetPitch(std::int16_t value) override { pitch = value; }
  std::int16_t Tempo() const override { return tempo; }
  void SetTempo(std::int16_t value) override { tempo = value; }
  std::int16_t Volume() const override { return volume; }
  void SetVolume(std::int16_t value) override { volume = value; }
  std::int16_t WordSeparation() const override { return wordSeparation; }
  void SetWordSeparation(std::int16_t value) override { wordSeparation = value; }
  const PronunciationDictionary& Dictionary() const override { return dictionary; }
  void SetDictionary(PronunciationDictionary value) override { dictionary = std::move(value); }
  void LoadWaveWindow() override { log_.push_back(u"wave window"); }

  // What Say was given, in order.
  std::vector<std::u16string> Said() const {
    std::vector<std::u16string> out;
    for (const auto& entry : log_) {
      if (entry.rfind(u"say:", 0) == 0) out.push_back(entry.substr(4));
    }
    return out;
  }

  std::int32_t sayResult = 0;
  std::int32_t resetResult = 0;
  bool speaking = false;
  std::int16_t speakingIndex = 0;
  std::int16_t pitch = 0, tempo = 0, volume = 10, wordSeparation = 0;
  std::vector<std::u16string> voices;
  PronunciationDictionary dictionary;

 private:
  std::vector<std::u16string>& log_;
};

}  // namespace quellon
