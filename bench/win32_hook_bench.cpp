// The low-level keyboard hook's own cost per key (Windows build, run under Wine here): the body of
// the hook callback, LowLevelKeyHook::OnKey, for 10 000 synthetic key records. It builds the
// moment (the asynchronous Ctrl and Shift state, the lock tracker), asks a gate shaped like the
// reader's (two atomics read, a verdict), queues the key and posts the delivery message to a
// window of another thread, as on the hook thread. Each key is delivered before the next one
// comes, so every key pays for its own message. Prints the median and the maximum.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_windows.h"

namespace {

using namespace quellon::platform;
using Clock = std::chrono::steady_clock;

constexpr int kKeys = 10000;

// A press and a release of each, over and over: letters, Shift, the numeric pad, Caps Lock.
constexpr std::uint32_t kCodes[] = {'A',        'B',        VK_LSHIFT, 'C',
                                    VK_NUMPAD5, VK_CAPITAL, VK_SPACE,  VK_NUMPAD8};

KeyEvent Record(int i) {
  KeyEvent key;
  const int stroke = i / 2;
  key.vkCode = kCodes[static_cast<std::size_t>(stroke) % std::size(kCodes)];
  key.scanCode = MapVirtualKeyW(key.vkCode, MAPVK_VK_TO_VSC);
  key.flags = (i % 2 == 1) ? LLKHF_UP : 0;
  key.time = static_cast<std::uint32_t>(i * 8);
  return key;
}

}  // namespace

int main() {
  // What the reader's gate reads: whether the hook is wanted, and the numeric pad's mode.
  std::atomic<bool> hookWanted{true};
  std::atomic<int> padMode{1};
  std::atomic<int> delivered{0};
  const auto hook = LowLevelKeyHook::Create(
      [&](const KeyMoment& m) {
        if (!hookWanted.load(std::memory_order_relaxed)) return KeyVerdict::kPass;
        const bool pad = m.key.vkCode >= VK_NUMPAD0 && m.key.vkCode <= VK_NUMPAD9;
        if (pad && padMode.load(std::memory_order_relaxed) != 0 && !m.ctrl) {
          return KeyVerdict::kSwallow;
        }
        return KeyVerdict::kPass;
      },
      [&](const KeyMoment&, KeyVerdict) { delivered.fetch_add(1, std::memory_order_release); });
  if (!hook->OpenDelivery()) {
    std::fprintf(stderr, "win32_hook_bench: no delivery window\n");
    return 1;
  }

  std::vector<double> micros(kKeys);
  std::atomic<bool> done{false};
  const DWORD mainThread = GetCurrentThreadId();
  // The "hook thread": times each call; the main thread delivers as the installing thread does.
  std::thread keys([&] {
    for (int i = 0; i < kKeys; ++i) {
      const KeyEvent key = Record(i);
      const auto start = Clock::now();
      hook->OnKey(key);
      const auto end = Clock::now();
      micros[static_cast<std::size_t>(i)] =
          std::chrono::duration<double, std::micro>(end - start).count();
      while (delivered.load(std::memory_order_acquire) <= i) std::this_thread::yield();
    }
    done.store(true);
    PostThreadMessageW(mainThread, WM_NULL, 0, 0);  // wakes the loop below to see `done`
  });
  MSG msg;
  while (!done.load() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  keys.join();
  hook->Stop();

  std::vector<double> sorted = micros;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double p99 = sorted[sorted.size() * 99 / 100];
  const double worst = sorted.back();
  std::printf("hook callback body, %d keys: median %.2f us, 99th percentile %.2f us, max %.2f us\n",
              kKeys, median, p99, worst);
  std::printf("delivered %d keys\n", delivered.load());
  return 0;
}
