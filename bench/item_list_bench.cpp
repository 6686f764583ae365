// Listing a large web page: a window of 5000 accessible objects below its client object (links with
// their text, static texts of which every fifth is long enough to be cut into sentences, buttons,
// images, frames) walked into the item list on the simulated desktop with window reading mode's
// settings, and reading every item once as the list keys would.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "access/aa_enum.h"
#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "testing/sim_program.h"

namespace {

using namespace quellon;
using namespace quellon::platform;

constexpr int kObjects = 5000;

struct Rig : testing::SimProgram {
  Rig() {
    page->window = top;
    // 1000 groups of five objects: a link (with its text, two objects), a text, a button, and a
    // long text or an image or a frame in turn.
    for (int g = 0; objects < kObjects; ++g) {
      const Rect at{20, 20 + g * 4, 300, 38 + g * 4};
      const std::u16string n = Number(g);
      auto link = page->Add(SimAccessible::Make(ROLE_SYSTEM_LINK, u"Článek " + n,
                                                u"http://example.cz/clanek/" + n,
                                                STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE, at));
      link->Add(SimAccessible::Make(ROLE_SYSTEM_STATICTEXT, u"Článek " + n,
                                    u"http://example.cz/clanek/" + n, STATE_SYSTEM_LINKED, at));
      page->Add(SimAccessible::Make(ROLE_SYSTEM_STATICTEXT, u"Krátký odstavec " + n, u"", 0, at));
      page->Add(
          SimAccessible::Make(ROLE_SYSTEM_PUSHBUTTON, u"Sdílet", u"", STATE_SYSTEM_FOCUSABLE, at));
      switch (g % 3) {
        case 0:
          page->Add(SimAccessible::Make(
              ROLE_SYSTEM_STATICTEXT,
              u"První věta odstavce je dost dlouhá. Druhá věta pokračuje dál? A třetí věta "
              u"končí bez tečky " +
                  n,
              u"", 0, at));
          break;
        case 1:
          page->Add(
              SimAccessible::Make(ROLE_SYSTEM_GRAPHIC, u"", u"http://example.cz/i.png", 0, at));
          break;
        default:
          page->Add(SimAccessible::Make(ROLE_SYSTEM_PANE, u"Rám " + n, u"", 0, at));
          break;
      }
      objects += 5;
    }
    desk.SetClientAccessible(top, page);
    list.SetIEprofile(true);
    list.SetFilter(true);
    list.SetReadInvisible(true);
  }
  static std::u16string Number(int v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
  }

  int objects = 0;
  Hwnd top = desk.AddTopWindow(u"IEFrame", u"Zprávy", {0, 0, 1024, 768});
  std::shared_ptr<SimAccessible> page =
      SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"Zprávy", u"", 0, {0, 0, 1024, 768});
  access::clsAAenum list{program};
};

void BM_ListWindowOf5000Objects(benchmark::State& st) {
  Rig r;
  for (auto _ : st) {
    r.list.DoUpdate(r.top, false);
    benchmark::DoNotOptimize(r.list.Count());
  }
  st.counters["objects"] = r.objects;
  st.counters["items"] = r.list.Count();
  st.counters["objects/s"] =
      benchmark::Counter(static_cast<double>(r.objects) * static_cast<double>(st.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ListWindowOf5000Objects)->Unit(benchmark::kMillisecond);

void BM_ReadEveryItemOnce(benchmark::State& st) {
  Rig r;
  r.list.DoUpdate(r.top, false);
  for (auto _ : st) {
    std::size_t chars = 0;
    for (std::int32_t i = 1; i <= r.list.Count(); ++i) chars += r.list.GetItem(i).size();
    benchmark::DoNotOptimize(chars);
  }
  st.counters["items"] = r.list.Count();
}
BENCHMARK(BM_ReadEveryItemOnce)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
