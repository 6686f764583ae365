// Speaking-loop figures: the wall-clock time from Say to the first sample handed to the device,
// and the CPU share the loop uses while speaking (CPU seconds per second of sound). The loop runs
// on the simulated clock and device, so the timer's own waiting (at most two 50 ms steps before
// the first sound) is reported apart as "timer_ms" and the wall clock holds only the work.
// Voice: <source>/dist/zuvan when it is built, else a synthetic test voice made for the run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "engine/vaza_vorod.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_out.h"

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

void BM_SayToFirstSample(benchmark::State& state) {
  double timerMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SimEventLoop loop;
    SimWaveOut device(loop);
    VazaVorod engine(VoiceFolder(), loop, device);
    engine.SelectVoice(u"zuvan");
    loop.AdvanceBy(20000);  // Say between two timer steps
    std::u16string text = kSentence;
    state.ResumeTiming();
    const SimEventLoop::Micros said = loop.Now();
    engine.Say(text);
    loop.AdvanceUntil([&] { return device.FirstWriteTime() >= 0; }, 10000000);
    timerMs = static_cast<double>(device.FirstWriteTime() - said) / 1000.0;
  }
  state.counters["timer_ms"] = timerMs;
}
BENCHMARK(BM_SayToFirstSample)->Unit(benchmark::kMillisecond);

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
