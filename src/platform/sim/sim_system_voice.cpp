// The recording system voice of the simulated desktop.
#include "platform/sim/sim_system_voice.h"

#include <algorithm>

namespace quellon::platform {

std::unique_ptr<SystemVoice> SimSystemVoice::CreateVoice() {
  if (voices_.empty()) return nullptr;
  // Every voice object speaks through this one recorder.
  class Handle : public SystemVoice {
   public:
    explicit Handle(SimSystemVoice& v) : v_(v) {}
    std::vector<std::u16string> GetVoices() override { return v_.GetVoices(); }
    std::int32_t SetVoice(std::size_t index) override { return v_.SetVoice(index); }
    std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override {
      return v_.Speak(text, flags);
    }
    std::int32_t SetRate(std::int32_t rate) override { return v_.SetRate(rate); }
    std::int32_t SetVolume(std::int32_t volume) override { return v_.SetVolume(volume); }
    std::int32_t Rate() override { return v_.Rate(); }
    std::int32_t Volume() override { return v_.Volume(); }
    bool WaitUntilDone(std::uint32_t ms) override { return v_.WaitUntilDone(ms); }

   private:
    SimSystemVoice& v_;
  };
  return std::make_unique<Handle>(*this);
}

std::int32_t SimSystemVoice::SetVoice(std::size_t index) {
  if (index >= voices_.size()) return -1;
  selected_ = index;
  return 0;
}

std::int32_t SimSystemVoice::Speak(const std::u16string& text, std::uint32_t flags) {
  calls_.push_back({text, flags, loop_.Now()});
  const std::int64_t now = loop_.Now();
  if ((flags & SVSFPurgeBeforeSpeak) || speakingUntil_ < now) speakingUntil_ = now;
  speakingUntil_ += microsPerChar_ * static_cast<std::int64_t>(text.size());
  if (!(flags & SVSFlagsAsync) && speakingUntil_ > now) {
    loop_.Spend(speakingUntil_ - now);  // synchronous: the thread waits for the end
  }
  return 0;
}

std::int32_t SimSystemVoice::SetRate(std::int32_t rate) {
  if (rate < -10 || rate > 10) return -1;
  rate_ = rate;
  return 0;
}

std::int32_t SimSystemVoice::SetVolume(std::int32_t volume) {
  if (volume < 0 || volume > 100) return -1;
  volume_ = volume;
  return 0;
}

bool SimSystemVoice::WaitUntilDone(std::uint32_t milliseconds) {
  const std::int64_t now = loop_.Now();
  if (speakingUntil_ <= now) return true;
  const std::int64_t wait =
      std::min<std::int64_t>(speakingUntil_ - now, std::int64_t{milliseconds} * 1000);
  loop_.Spend(wait);
  return loop_.Now() >= speakingUntil_;
}

std::vector<std::u16string> SimSystemVoice::Spoken() const {
  std::vector<std::u16string> out;
  for (const SpeakCall& c : calls_) {
    if (!c.text.empty()) out.push_back(c.text);
  }
  return out;
}

}  // namespace quellon::platform
