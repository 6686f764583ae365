// The event loop of the Linux tools: thread timers on the steady clock and a queue of posted
// messages, in the order of the Windows message loop (posted messages before timers). Only
// PostMessage may be called from other threads (an audio device's worker posts its notices).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/event_loop.h"

namespace quellon::platform {

class RealTimeEventLoop : public EventLoop {
 public:
  using Clock = std::chrono::steady_clock;

  TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) override;
  bool KillTimer(TimerId id) override;
  Hwnd CreateHiddenWindow() override;
  void DestroyWindow(Hwnd window) override;
  WindowProc SetWindowProc(Hwnd window, WindowProc proc) override;
  bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) override;
  void PumpPending() override;
  bool RunUntil(const std::function<bool()>& done) override;
  void QuitLoop() override;

 private:
  struct Timer {
    Clock::duration period;
    Clock::time_point next;
    TimerProc proc;
  };
  struct Posted {
    Hwnd window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
  };
  bool RunOne();  // one posted message or one due timer; false when nothing is due
  Clock::time_point NextTimer() const;

  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::unordered_map<Hwnd, WindowProc> windows_;
  Hwnd nextWindow_ = 0x10010;

  std::mutex mutex_;  // guards posted_, quit_ and the set of live windows seen by PostMessage
  std::condition_variable wake_;
  std::deque<Posted> posted_;
  std::unordered_map<Hwnd, bool> liveWindows_;
  bool quit_ = false;
};

}  // namespace quellon::platform
