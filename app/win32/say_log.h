// For measurements only: QUELLON_TEST_SAY_LOG=PATH makes Quellon.exe append one line per Say of the
// built-in engine to PATH, "TICKS TEXT" (QueryPerformanceCounter at the call, the text in UTF-8),
// after a first line "frequency F". Every other call goes to the engine unchanged. Other programs
// on the same system time their own events with the same counter, so the two logs give the time
// from an event to the speech it brought.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/built_in_engine.h"
#include "text/text.h"

namespace quellon::app {

class SayLogEngine final : public BuiltInEngine {
 public:
  SayLogEngine(std::unique_ptr<BuiltInEngine> engine, const std::string& path)
      : engine_(std::move(engine)), log_(path, std::ios::app | std::ios::binary) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    log_ << "frequency " << frequency.QuadPart << "\n" << std::flush;
  }

  std::int32_t Say(std::u16string& text) override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::int32_t result = engine_->Say(text);
    log_ << now.QuadPart << " " << text::Utf16ToUtf8(text) << "\n" << std::flush;
    return result;
  }
  std::int32_t Reset() override { return engine_->Reset(); }
  void SelectVoice(const std::u16string& name) override { engine_->SelectVoice(name); }
  void GetVoiceNames(std::vector<std::u16string>& names) const override {
    engine_->GetVoiceNames(names);
  }
  bool IsSpeaking() const override { return engine_->IsSpeaking(); }
  std::int16_t SpeakingIndex() const override { return engine_->SpeakingIndex(); }
  std::int16_t Pitch() const override { return engine_->Pitch(); }
  void SetPitch(std::int16_t value) override { engine_->SetPitch(value); }
  std::int16_t Tempo() const override { return engine_->Tempo(); }
  void SetTempo(std::int16_t value) override { engine_->SetTempo(value); }
  std::int16_t Volume() const override { return engine_->Volume(); }
  void SetVolume(std::int16_t value) override { engine_->SetVolume(value); }
  std::int16_t WordSeparation() const override { return engine_->WordSeparation(); }
  void SetWordSeparation(std::int16_t value) override { engine_->SetWordSeparation(value); }
  const PronunciationDictionary& Dictionary() const override { return engine_->Dictionary(); }
  void SetDictionary(PronunciationDictionary dictionary) override {
    engine_->SetDictionary(std::move(dictionary));
  }
  void LoadWaveWindow() override { engine_->LoadWaveWindow(); }

 private:
  std::unique_ptr<BuiltInEngine> engine_;
  std::ofstream log_;
};

}  // namespace quellon::app
