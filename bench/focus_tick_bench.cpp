// The focus tick's own cost on the simulated desktop: from a recorded focus move to the sentence
// handed to the speech routine, for a check box in a dialog (window title, dialog text, name,
// state word) and for a list-view item of a custom accessible list. The engine only records, so
// the figures hold the screen reader's work alone (fetching the object, reading windows,
// composing the sentence, the dictionary pass).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "access/item_list.h"
#include "access/object_walker.h"
#include "core/speech_output.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "reader/event_hook_library.h"
#include "reader/focus_tracking.h"

namespace {

using namespace quellon;
using platform::Hwnd;

struct Rig {
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::ProgramState state;
  std::vector<std::u16string> log;
  FakeEngine engine{log};
  strings::StringTable table = strings::StringTable::Loaded(false);
  core::SpeechOutput output{state, engine, table, desk.Sounds()};
  reader::EventHookLibrary events{desk.Access(), desk.Windows(), &loop};
  access::ObjectWalker walker{desk.Access(), desk.Windows()};
  reader::NullCaretReaders caret;
  access::NullItemList items;
  NullProgressTone tone;
  reader::FocusTracking focus{
      state, desk.Windows(), desk.Access(),
      table, output,         {events, walker, caret, items, tone, {}, nullptr, nullptr, {}}};
};

void BM_FocusTickCheckBox(benchmark::State& st) {
  Rig r;
  const Hwnd dlg = r.desk.AddTopWindow(u"#32770", u"Možnosti tisku");
  r.desk.AddStatic(dlg, u"Vyberte, co se má vytisknout.");
  const Hwnd box = r.desk.AddButton(dlg, u"Tisknout pozadí", platform::BS_AUTOCHECKBOX);
  r.desk.AddButton(dlg, u"OK");
  r.desk.SetCheck(box, true);
  for (auto _ : st) {
    core::FocusRecord& f = r.state.Focus;
    f.FocusHwnd = box;
    f.FocusObjectId = platform::OBJID_CLIENT;
    f.FocusChildId = platform::CHILDID_SELF;
    f.FocusChanged = true;
    f.WindowChanged = true;
    r.focus.FocusTick();
    r.log.clear();
  }
}
BENCHMARK(BM_FocusTickCheckBox);

void BM_FocusTickListViewItem(benchmark::State& st) {
  Rig r;
  const Hwnd top = r.desk.AddTopWindow(u"CabinetWClass", u"Dokumenty", {0, 0, 800, 600});
  const Hwnd lv =
      r.desk.AddChild(top, u"SysListView32", u"", platform::WS_VISIBLE, {0, 0, 800, 600});
  auto list = platform::SimAccessible::Make(platform::ROLE_SYSTEM_LIST, u"Položky");
  for (int i = 0; i < 200; ++i) {
    list->AddElement({.name = u"soubor " + std::u16string(1, char16_t(u'a' + i % 26)),
                      .role = platform::ROLE_SYSTEM_LISTITEM});
  }
  list->window = lv;
  r.desk.SetClientAccessible(lv, list);
  for (auto _ : st) {
    core::FocusRecord& f = r.state.Focus;
    f.FocusHwnd = lv;
    f.FocusObjectId = platform::OBJID_CLIENT;
    f.FocusChildId = 100;
    f.FocusChanged = true;
    r.focus.FocusTick();
    r.log.clear();
  }
}
BENCHMARK(BM_FocusTickListViewItem);

}  // namespace

BENCHMARK_MAIN();
