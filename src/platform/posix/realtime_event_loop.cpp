#include "platform/posix/realtime_event_loop.h"

namespace quellon::platform {

TimerId RealTimeEventLoop::SetTimer(std::uint32_t periodMs, TimerProc proc) {
  if (!proc) return 0;
  const auto period = std::chrono::milliseconds(periodMs == 0 ? 1 : periodMs);
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{period, Clock::now() + period, std::move(proc)};
  return id;
}

bool RealTimeEventLoop::KillTimer(TimerId id) {
  return timers_.erase(id) > 0;
}

Hwnd RealTimeEventLoop::CreateHiddenWindow() {
  const Hwnd window = nextWindow_;
  nextWindow_ += 4;
  windows_[window] = WindowProc{};
  std::lock_guard lock(mutex_);
  liveWindows_[window] = true;
  return window;
}

void RealTimeEventLoop::DestroyWindow(Hwnd window) {
  windows_.erase(window);
  std::lock_guard lock(mutex_);
  liveWindows_.erase(window);
}

WindowProc RealTimeEventLoop::SetWindowProc(Hwnd window, WindowProc proc) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  WindowProc previous = std::move(it->second);
  it->second = std::move(proc);
  return previous;
}

bool RealTimeEventLoop::PostMessage(Hwnd window, std::uint32_t message, WParam wParam,
                                    LParam lParam) {
  {
    std::lock_guard lock(mutex_);
    if (!liveWindows_.contains(window)) return false;
    posted_.push_back(Posted{window, message, wParam, lParam});
  }
  wake_.notify_one();
  return true;
}

void RealTimeEventLoop::QuitLoop() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
}

bool RealTimeEventLoop::RunOne() {
  Posted m{};
  bool have = false;
  {
    std::lock_guard lock(mutex_);
    if (!posted_.empty()) {
      m = posted_.front();
      posted_.pop_front();
      have = true;
    }
  }
  if (have) {
    auto it = windows_.find(m.window);
    if (it != windows_.end()) {
      WindowProc proc = it->second;
      CallWindowProc(proc, m.window, m.message, m.wParam, m.lParam);
    }
    return true;
  }
  const auto now = Clock::now();
  for (auto& [id, timer] : timers_) {
    if (timer.next > now) continue;
    const TimerId fired = id;
    TimerProc proc = timer.proc;
    proc();
    auto it = timers_.find(fired);
    if (it != timers_.end()) {
      const auto after = Clock::now();
      it->second.next += it->second.period;
      while (it->second.next <= after) it->second.next += it->second.period;
    }
    return true;
  }
  return false;
}

RealTimeEventLoop::Clock::time_point RealTimeEventLoop::NextTimer() const {
  auto next = Clock::time_point::max();
  for (const auto& [id, timer] : timers_) next = std::min(next, timer.next);
  return next;
}

void RealTimeEventLoop::PumpPending() {
  while (RunOne()) {
  }
}

bool RealTimeEventLoop::RunUntil(const std::function<bool()>& done) {
  {
    std::lock_guard lock(mutex_);
    quit_ = false;
  }
  for (;;) {
    while (!done() && RunOne()) {
      std::lock_guard lock(mutex_);
      if (quit_) return false;
    }
    if (done()) return true;
    std::unique_lock lock(mutex_);
    if (quit_) return false;
    const auto next = NextTimer();
    if (next == Clock::time_point::max()) {
      wake_.wait(lock, [this] { return quit_ || !posted_.empty(); });
    } else {
      wake_.wait_until(lock, next, [this] { return quit_ || !posted_.empty(); });
    }
  }
}

}  // namespace quellon::platform
