#include "platform/sim/sim_event_loop.h"

#include <limits>

namespace quellon::platform {

void SimEventLoop::AdvanceTo(Micros t) {
  for (;;) {
    while (RunOne()) {
    }
    const Micros next = NextDueTime();
    if (next > t) break;
    if (next > now_) now_ = next;
  }
  if (now_ < t) now_ = t;
}

bool SimEventLoop::AdvanceUntil(const std::function<bool()>& done, Micros limit) {
  const Micros end = now_ + limit;
  for (;;) {
    while (!done() && RunOne()) {
    }
    if (done()) return true;
    const Micros next = NextDueTime();
    if (next > end) {
      now_ = end;
      return false;
    }
    if (next > now_) now_ = next;
  }
}

SimEventLoop::EventId SimEventLoop::ScheduleAt(Micros at, std::function<void()> fn) {
  const EventId id = nextEvent_++;
  events_.emplace(std::make_pair(at, id), std::move(fn));
  eventTimes_[id] = at;
  return id;
}

void SimEventLoop::Cancel(EventId id) {
  auto it = eventTimes_.find(id);
  if (it == eventTimes_.end()) return;
  events_.erase({it->second, id});
  eventTimes_.erase(it);
}

TimerId SimEventLoop::SetTimer(std::uint32_t periodMs, TimerProc proc) {
  if (!proc) return 0;
  const Micros period = Micros{periodMs == 0 ? 1 : periodMs} * 1000;  // as Windows: at least 1
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{period, now_ + period, std::move(proc)};
  return id;
}

bool SimEventLoop::KillTimer(TimerId id) {
  return timers_.erase(id) > 0;
}

Hwnd SimEventLoop::CreateHiddenWindow() {
  const Hwnd window = nextWindow_;
  nextWindow_ += 4;
  windows_[window] = WindowProc{};
  return window;
}

void SimEventLoop::DestroyWindow(Hwnd window) {
  windows_.erase(window);
}

WindowProc SimEventLoop::SetWindowProc(Hwnd window, WindowProc proc) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  WindowProc previous = std::move(it->second);
  it->second = std::move(proc);
  return previous;
}

bool SimEventLoop::PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
  if (!windows_.contains(window)) return false;
  posted_.push_back(Posted{window, message, wParam, lParam});
  return true;
}

bool SimEventLoop::RemovePostedMessage(Hwnd window, std::uint32_t message, WParam& wParam,
                                       LParam& lParam) {
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (it->window != window || it->message != message) continue;
    wParam = it->wParam;
    lParam = it->lParam;
    posted_.erase(it);
    return true;
  }
  return false;
}

void SimEventLoop::PumpPending() {
  while (RunOne()) {
  }
}

bool SimEventLoop::RunUntil(const std::function<bool()>& done) {
  quit_ = false;
  const bool finished = AdvanceUntil([&] { return quit_ || done(); }, runLimit_);
  return finished && !quit_;
}

bool SimEventLoop::RunOne() {
  if (!events_.empty() && events_.begin()->first.first <= now_) {
    auto node = events_.extract(events_.begin());
    eventTimes_.erase(node.key().second);
    node.mapped()();
    return true;
  }
  if (!posted_.empty()) {
    const Posted m = posted_.front();
    posted_.pop_front();
    auto it = windows_.find(m.window);
    if (it != windows_.end()) {
      ++messagesDispatched_;
      WindowProc proc = it->second;  // the procedure may replace itself while it runs
      CallWindowProc(proc, m.window, m.message, m.wParam, m.lParam);
    }
    return true;
  }
  for (auto& [id, timer] : timers_) {
    if (timer.next > now_) continue;
    const TimerId fired = id;
    TimerProc proc = timer.proc;
    ++timerTicks_;
    proc();
    auto it = timers_.find(fired);  // the callback may have killed it
    if (it != timers_.end()) {
      it->second.next += it->second.period;
      while (it->second.next <= now_) it->second.next += it->second.period;  // missed ticks merge
    }
    return true;
  }
  return false;
}

SimEventLoop::Micros SimEventLoop::NextDueTime() const {
  Micros next = std::numeric_limits<Micros>::max();
  if (!events_.empty()) next = events_.begin()->first.first;
  for (const auto& [id, timer] : timers_) next = std::min(next, timer.next);
  if (!posted_.empty()) next = std::min(next, now_);
  return next;
}

}  // namespace quellon::platform
