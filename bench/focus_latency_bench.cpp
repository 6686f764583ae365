// Focus-move figures on the simulated desktop with the whole main window: the virtual time from a
// burst of accessibility events (foreground, focus on a list, focus and selection on its item,
// all queued together as one user action raises them) to the announcement handed to the engine,
// and how many announcements the burst gave. "virtual_ms" is the mean and "virtual_max_ms" the
// worst over bursts at every millisecond of the focus timer's 50 ms period. "timer_only" is the
// main window as it was before the posted tick (its messages are dropped, so only the 50 ms
// timer runs the focus tick); "posted" is the main window as it is. The wall clock of each
// iteration is one burst and its announcement: the screen reader's own work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "platform/win_types.h"
#include "shell/main_window.h"
#include "testing/sim_main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace quellon;
using platform::Hwnd;
using platform::SimEventLoop;
using Micros = SimEventLoop::Micros;

class TimerOnlyLoop : public SimEventLoop {
 public:
  bool PostMessage(Hwnd window, std::uint32_t message, platform::WParam wParam,
                   platform::LParam lParam) override {
    if (message == platform::MSG_POSTED_CALL) return true;
    return SimEventLoop::PostMessage(window, message, wParam, lParam);
  }
};

class NoClock : public platform::LocalClock {
 public:
  platform::LocalTime GetLocalTime() override { return {2026, 12, 1, 7, 14, 5, 0}; }
};

// Notepad and a dialog with a list, the main window loaded over them with a recording engine.
template <typename Loop>
struct Desk {
  Desk() {
    fs::create_directories(folder);
    note = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
    edit = desk.AddEdit(note, u"ahoj", {.multiline = true});
    dialog = desk.AddTopWindow(u"#32770", u"Otevřít");
    list = desk.AddListBox(dialog, {u"dopis.txt", u"faktura.txt", u"poznámky.txt", u"zpráva.txt"});
    desk.Focus(edit);
    loop.AdvanceBy(1000);
    main = std::make_unique<shell::frmMain>(
        core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                    desk.Voice(), clock, waveOut, desk.Html(), desk.ClipboardPort()},
        form, form, [this](const fs::path&) { return std::make_unique<FakeEngine>(log); });
    loadedAt = loop.Now();
    main->Load(folder);
    loop.AdvanceBy(200000);
  }
  ~Desk() {
    main.reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  std::size_t Said() const {
    return static_cast<std::size_t>(std::count_if(
        log.begin(), log.end(), [](const auto& l) { return l.rfind(u"say:", 0) == 0; }));
  }
  // One user action: the dialog comes to the front with the focus on its list, then on item `i`.
  void Burst(int i) {
    desk.Focus(edit);  // back to Notepad first, so the dialog is a new active window each time
    loop.PumpPending();
    loop.AdvanceBy(60000);
    log.clear();
    desk.Focus(list);
    desk.SelectListItem(list, i % 4);
  }

  fs::path folder = fs::temp_directory_path() / "quellon-focus-latency-bench";
  Loop loop;
  platform::SimDesktop desk{loop};
  core::IniProfile profile;
  NoClock clock;
  platform::SimWaveMapper waveOut{loop, 2};
  testing::SimMainForm form{desk};
  std::vector<std::u16string> log;
  Hwnd note = 0, edit = 0, dialog = 0, list = 0;
  Micros loadedAt = 0;
  std::unique_ptr<shell::frmMain> main;
};

template <typename Loop>
void BM_FocusBurstToAnnouncement(benchmark::State& state) {
  Desk<Loop> d;
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    d.Burst(++i);
    state.ResumeTiming();
    d.loop.AdvanceUntil([&] { return d.Said() > 0; }, 1000000);
  }
  // The virtual figures: a burst at every millisecond of the timer's period.
  const Micros period = Micros{shell::frmMain::kFocusTimerMs} * 1000;
  double sum = 0;
  double worst = 0;
  std::size_t announcements = 0;
  const int bursts = static_cast<int>(shell::frmMain::kFocusTimerMs);
  for (int ms = 0; ms < bursts; ++ms) {
    // Back to Notepad, then on to the wanted place in the period (the timer ticks at
    // loadedAt + k * period), at least one period later so Notepad's own announcement is over.
    d.desk.Focus(d.edit);
    const Micros phase = (d.loop.Now() - d.loadedAt) % period;
    const Micros wanted = Micros{ms} * 1000 + 500;
    d.loop.AdvanceBy((wanted - phase + period) % period + period);
    d.log.clear();
    d.desk.Focus(d.list);
    d.desk.SelectListItem(d.list, ms % 4);
    const Micros raised = d.loop.Now();
    d.loop.AdvanceUntil([&] { return d.Said() > 0; }, 1000000);
    const double wait = static_cast<double>(d.loop.Now() - raised) / 1000.0;
    sum += wait;
    worst = std::max(worst, wait);
    d.loop.AdvanceBy(3 * period);  // later ticks: any second announcement of the burst
    announcements += d.Said();
  }
  state.counters["virtual_ms"] = sum / bursts;
  state.counters["virtual_max_ms"] = worst;
  state.counters["announcements_per_burst"] = static_cast<double>(announcements) / bursts;
}
BENCHMARK_TEMPLATE(BM_FocusBurstToAnnouncement, TimerOnlyLoop)->Name("BM_FocusBurst/timer_only");
BENCHMARK_TEMPLATE(BM_FocusBurstToAnnouncement, SimEventLoop)->Name("BM_FocusBurst/posted");

}  // namespace

BENCHMARK_MAIN();
