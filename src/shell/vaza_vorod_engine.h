// The built-in engine object (VazaVorod) as the main window and the speech routine drive it.
#pragma once

#include <filesystem>

#include "shell/main_window.h"
#include "speech/vaza_vorod.h"

namespace quellon::shell {

class VazaVorodEngine : public BuiltInEngine {
 public:
  VazaVorodEngine(const std::filesystem::path& programFolder, platform::EventLoop& loop,
                  platform::WaveOut& device, VazaVorodOptions options = {})
      : engine_(programFolder, loop, device, std::move(options)) {}

  std::int32_t Reset() override {
    engine_.Reset();
    return 0;
  }
  std::int32_t Say(std::u16string& text) override {
    engine_.Say(text);
    return 0;
  }
  const PronunciationDictionary& Dictionary() const override { return engine_.Dictionary(); }
  void SelectVoice(const std::u16string& name) override { engine_.SelectVoice(name); }
  void SetVolume(std::int16_t value) override { engine_.State().Volume = value; }
  void SetPitch(std::int16_t value) override { engine_.SetPitch(value); }
  void SetTempo(std::int16_t value) override { engine_.SetTempo(value); }
  bool IsSpeaking() const override { return engine_.IsSpeaking(); }
  void LoadWaveWindow() override { engine_.Output().LoadWaveWindow(); }

  VazaVorod& Object() { return engine_; }

 private:
  VazaVorod engine_;
};

}  // namespace quellon::shell
