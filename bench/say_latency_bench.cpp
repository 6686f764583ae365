// Speaking-loop figures: the time from Say to the first sample handed to the device, and the CPU
// share the loop uses while speaking (CPU seconds per second of sound). The loop runs on the
// simulated clock and device, so the wall clock holds only the work and the waiting on the virtual
// clock is reported apart as "virtual_ms": the mean and the worst over Say at every millisecond
// of the timer's 50 ms period. "timer_only" is the loop as it was before the posted steps (their
// messages are dropped, so only the 50 ms timer drives it: the first sound waits for its second
// step); "posted" is the loop as it is.
// Voice: <source>/dist/zuvan when it is built, else a synthetic test voice made for the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "engine/vaza_vorod.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_out.h"
#include "platform/win_types.h"

namespace {

namespace fs = std::filesystem;
using quellon::VazaVorod;
using quellon::platform::SimEventLoop;
using quellon::platform::SimWaveOut;

const fs::path& VoiceFolder() {
  static const fs::path folder = [] {
    const fs::path dist = fs::path(QUELLON_SOURCE_DIR) / "dist";
    if (fs::exists(dist / "zuvan.idx")) return dist;
    const fs::path tmp = fs::temp_directory_path() / "quellon-say-bench-voice";
    const std::string cmd = "python3 \"" QUELLON_SOURCE_DIR "/tests/model/make_test_voice.py\" \"" +
                            tmp.string() + "\" zuvan";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cannot make the test voice\n");
    return tmp;
  }();
  return folder;
}

const std::u16string kSentence =
    u"Dobrý den, vítejte v programu. Otevřený dokument má 12 stran a 3 obrázky; "
    u"stiskněte Enter pro pokračování, nebo Escape pro návrat do hlavní nabídky.";

// The simulated loop without posted calls: their messages are lost, as if Say only had the timer.
class TimerOnlyLoop : public SimEventLoop {
 public:
  bool PostMessage(quellon::platform::Hwnd window, std::uint32_t message,
                   quellon::platform::WParam wParam, quellon::platform::LParam lParam) override {
    if (message == quellon::platform::MSG_POSTED_CALL) return true;
    return SimEventLoop::PostMessage(window, message, wParam, lParam);
  }
};

// Virtual milliseconds from Say to the first write, with Say `offsetUs` after the timer started.
template <typename Loop>
double VirtualWaitMs(SimEventLoop::Micros offsetUs, benchmark::State* state) {
  if (state) state->PauseTiming();
  Loop loop;
  SimWaveOut device(loop);
  VazaVorod engine(VoiceFolder(), loop, device);
  engine.SelectVoice(u"zuvan");
  loop.AdvanceBy(offsetUs);
  std::u16string text = kSentence;
  if (state) state->ResumeTiming();
  const SimEventLoop::Micros said = loop.Now();
  engine.Say(text);
  loop.AdvanceUntil([&] { return device.FirstWriteTime() >= 0; }, 10000000);
  return static_cast<double>(device.FirstWriteTime() - said) / 1000.0;
}

template <typename Loop>
void BM_SayToFirstSample(benchmark::State& state) {
  for (auto _ : state) VirtualWaitMs<Loop>(20000, &state);  // Say between two timer steps
  double sum = 0;
  double worst = 0;
  const int period = static_cast<int>(VazaVorod::kTimerPeriodMs);
  for (int ms = 0; ms < period; ++ms) {
    const double wait = VirtualWaitMs<Loop>(SimEventLoop::Micros{ms} * 1000 + 500, nullptr);
    sum += wait;
    worst = std::max(worst, wait);
  }
  state.counters["virtual_ms"] = sum / period;
  state.counters["virtual_max_ms"] = worst;
}
BENCHMARK_TEMPLATE(BM_SayToFirstSample, TimerOnlyLoop)
    ->Name("BM_SayToFirstSample/timer_only")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SayToFirstSample, SimEventLoop)
    ->Name("BM_SayToFirstSample/posted")
    ->Unit(benchmark::kMillisecond);

void BM_CpuShareWhileSpeaking(benchmark::State& state) {
  double share = 0;
  double seconds = 0;
  for (auto _ : state) {
    SimEventLoop loop;
    SimWaveOut device(loop);
    VazaVorod engine(VoiceFolder(), loop, device);
    engine.SelectVoice(u"zuvan");
    std::u16string text = kSentence + u" " + kSentence + u" " + kSentence;
    const std::clock_t start = std::clock();
    engine.Say(text);
    loop.AdvanceUntil([&] { return engine.Finished(); }, 600000000);
    const double cpu = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    seconds = static_cast<double>(device.PlayedSamples().size()) / quellon::kSampleRate;
    share = seconds > 0 ? cpu / seconds : 0;
  }
  state.counters["cpu_share_pct"] = 100.0 * share;
  state.counters["speech_s"] = seconds;
}
BENCHMARK(BM_CpuShareWhileSpeaking)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
