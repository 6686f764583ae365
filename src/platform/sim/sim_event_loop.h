// The simulated event loop: one thread, a virtual clock in microseconds. Nothing waits: tests and
// off-line rendering advance the clock, and everything due runs in the order the Windows message
// loop would run it: device events first (they post their notices), then posted messages, then
// timers.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <unordered_map>

#include "platform/event_loop.h"

namespace quellon::platform {

class SimEventLoop : public EventLoop {
 public:
  using Micros = std::int64_t;
  using EventId = std::uint64_t;

  Micros Now() const { return now_; }
  // Runs everything that falls due up to Now() + d, in time order; the clock ends at Now() + d.
  void AdvanceBy(Micros d) { AdvanceTo(now_ + d); }
  void AdvanceTo(Micros t);
  // Advances from event to event until `done()` is true, at most `limit` of virtual time.
  // Returns whether `done()` became true.
  bool AdvanceUntil(const std::function<bool()>& done, Micros limit);
  // The running callback took this long: the clock moves on and nothing runs meanwhile; what
  // fell due runs late, when the callback has returned.
  void Spend(Micros d) { now_ += d; }

  // A device event at virtual time `at` (run before the messages and timers due then).
  EventId ScheduleAt(Micros at, std::function<void()> fn);
  void Cancel(EventId id);

  // How long RunUntil may advance before it gives up (a loop that can never finish).
  void SetRunLimit(Micros limit) { runLimit_ = limit; }
  std::uint64_t TimerTicks() const { return timerTicks_; }
  std::uint64_t MessagesDispatched() const { return messagesDispatched_; }

  TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) override;
  bool KillTimer(TimerId id) override;
  Hwnd CreateHiddenWindow() override;
  void DestroyWindow(Hwnd window) override;
  WindowProc SetWindowProc(Hwnd window, WindowProc proc) override;
  bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) override;
  bool RemovePostedMessage(Hwnd window, std::uint32_t message, WParam& wParam,
                           LParam& lParam) override;
  void PumpPending() override;
  bool RunUntil(const std::function<bool()>& done) override;
  void QuitLoop() override { quit_ = true; }

 private:
  struct Timer {
    Micros period = 0;
    Micros next = 0;
    TimerProc proc;
  };
  struct Posted {
    Hwnd window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
  };
  // Runs one due item; false when nothing is due at Now().
  bool RunOne();
  Micros NextDueTime() const;  // earliest scheduled or timer time; INT64_MAX when none

  Micros now_ = 0;
  Micros runLimit_ = Micros{3600} * 1000000;
  bool quit_ = false;
  std::map<std::pair<Micros, EventId>, std::function<void()>> events_;
  std::unordered_map<EventId, Micros> eventTimes_;
  EventId nextEvent_ = 1;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::unordered_map<Hwnd, WindowProc> windows_;
  Hwnd nextWindow_ = 0x10010;
  std::deque<Posted> posted_;
  std::uint64_t timerTicks_ = 0;
  std::uint64_t messagesDispatched_ = 0;
};

}  // namespace quellon::platform
