// The system voice of the simulated desktop, recording what it was asked to say.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/system_voice.h"

namespace quellon::platform {

// A Speak call, as recorded.
struct SpeakCall {
  std::u16string text;
  std::uint32_t flags = 0;
  std::int64_t at = 0;  // virtual time, microseconds
};

// The system voice: records every call; speech lasts `microsPerChar` of virtual time per
// character (0: it ends at once).
class SimSystemVoice : public SystemVoice, public SystemVoiceFactory {
 public:
  explicit SimSystemVoice(SimEventLoop& loop) : loop_(loop) {}
  // Tests: which voices are installed (none: CreateVoice gives nullptr, as without SAPI).
  void Install(std::vector<std::u16string> voices) { voices_ = std::move(voices); }
  void SetMicrosPerChar(std::int64_t micros) { microsPerChar_ = micros; }
  const std::vector<SpeakCall>& Calls() const { return calls_; }
  std::vector<std::u16string> Spoken() const;  // texts of the calls, empty ones left out
  std::optional<std::size_t> Selected() const { return selected_; }
  bool Speaking() const { return loop_.Now() < speakingUntil_; }
  void ClearRecord() { calls_.clear(); }

  std::unique_ptr<SystemVoice> CreateVoice() override;
  std::vector<std::u16string> GetVoices() override { return voices_; }
  std::int32_t SetVoice(std::size_t index) override;
  std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override;
  std::int32_t SetRate(std::int32_t rate) override;
  std::int32_t SetVolume(std::int32_t volume) override;
  std::int32_t Rate() override { return rate_; }
  std::int32_t Volume() override { return volume_; }
  bool WaitUntilDone(std::uint32_t milliseconds) override;

 private:
  SimEventLoop& loop_;
  std::vector<std::u16string> voices_;
  std::optional<std::size_t> selected_;
  std::vector<SpeakCall> calls_;
  std::int64_t microsPerChar_ = 0;
  std::int64_t speakingUntil_ = 0;
  std::int32_t rate_ = 0;
  std::int32_t volume_ = 100;
};

}  // namespace quellon::platform
