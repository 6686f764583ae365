#include "shell/continuous_reading.h"

#include "core/synthetic_input.h"

namespace quellon::shell {

void ContinuousReading::Start() {
  if (timer_ != 0) return;
  timer_ = loop_.SetTimer(kTickMs, [this] {
    try {
      Tick();
    } catch (...) {
      // The next tick tries again.
    }
  });
}

void ContinuousReading::Stop() {
  EndWait();
  if (timer_ != 0) loop_.KillTimer(timer_);
  timer_ = 0;
}

void ContinuousReading::EndWait() {
  if (poll_ != 0) loop_.KillTimer(poll_);
  poll_ = 0;
  waited_ = 0;
}

void ContinuousReading::Tick() {
  if (poll_ != 0) return;  // still waiting for the system voice
  if (state_.SapiActive && state_.SapiVoice != nullptr) {
    if (!state_.SapiVoice->WaitUntilDone(0)) {
      poll_ = loop_.SetTimer(kSapiPollMs, [this] {
        try {
          Poll();
        } catch (...) {
          EndWait();
        }
      });
      return;
    }
  } else if (engine_.IsSpeaking()) {
    countdown_ = 2;
  } else if (countdown_ > 0) {
    --countdown_;
  }
  PressDownWhenDue();
}

void ContinuousReading::Poll() {
  waited_ += kSapiPollMs;
  const bool done = state_.SapiVoice == nullptr || state_.SapiVoice->WaitUntilDone(0);
  if (!done && waited_ < kSapiWaitMs) return;
  if (!done) countdown_ = 0;  // still speaking after the whole wait
  EndWait();
  PressDownWhenDue();
}

void ContinuousReading::PressDownWhenDue() {
  if (countdown_ == 0) core::SendKeyPress(keyboard_, platform::VK_DOWN);
}

}  // namespace quellon::shell
