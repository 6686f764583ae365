#include "reader/event_hook_library.h"

#include <gtest/gtest.h>

#include <memory>

#include "access/test_objects.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::reader {
namespace {

using namespace quellon::platform;

struct Recorder {
  std::vector<WinEvent> seen;
  AccessibleEventCallback Callback() {
    return [this](std::uint32_t event, Hwnd hwnd, std::int32_t idObject, std::int32_t idChild) {
      seen.push_back({event, hwnd, idObject, idChild});
    };
  }
  std::vector<std::uint32_t> Events() const {
    std::vector<std::uint32_t> out;
    for (const WinEvent& e : seen) out.push_back(e.event);
    return out;
  }
};

struct Desk {
  SimEventLoop loop;
  SimDesktop desk{loop};
  Hwnd main = loop.CreateHiddenWindow();
  void Run() { loop.AdvanceBy(1000); }
  // A library with an event loop delivering to `rec`, installed while `active` is the active
  // window.
  std::unique_ptr<EventHookLibrary> InstallWhileActive(Hwnd active, Recorder& rec) {
    desk.Focus(active);
    Run();
    auto library = std::make_unique<EventHookLibrary>(desk.Access(), desk.Windows(), &loop);
    library->InstallEventHook(main, 0, 0, rec.Callback());
    return library;
  }
};

TEST(EventHookLibrary, DeliversTheSixEventsUntilStopped) {
  Desk d;
  EventHookLibrary library(d.desk.Access(), d.desk.Windows());
  Recorder rec;
  EXPECT_EQ(library.InstallEventHook(d.main, 0, 0, rec.Callback()), 1);
  EXPECT_TRUE(library.Installed());

  const Hwnd note = d.desk.AddTopWindow(u"Notepad", u"Poznámky");
  const Hwnd edit = d.desk.AddEdit(note, u"text");
  const Hwnd list = d.desk.AddListBox(note, {u"jedna", u"dvě"});
  const Hwnd bar = d.desk.AddProgressBar(note);
  d.desk.SwitchTo(edit);  // switch start (not delivered), switch end, foreground, focus
  d.desk.SelectListItem(list, 1);
  d.desk.SetProgress(bar, 37);
  d.desk.RaiseEvent(EVENT_OBJECT_NAMECHANGE, edit, OBJID_CLIENT, 0);
  d.desk.RaiseEvent(EVENT_SYSTEM_MENUEND, note, OBJID_MENU, 0);
  d.Run();
  EXPECT_EQ(rec.Events(), (std::vector<std::uint32_t>{
                              EVENT_SYSTEM_SWITCHEND, EVENT_SYSTEM_FOREGROUND, EVENT_OBJECT_FOCUS,
                              EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION,
                              EVENT_OBJECT_VALUECHANGE, EVENT_SYSTEM_MENUEND}));
  // The system's own values reach the callback.
  EXPECT_EQ(rec.seen[5], (WinEvent{EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 2}));

  // A second install replaces the first: every event arrives once, at the new callback.
  Recorder second;
  EXPECT_EQ(library.InstallEventHook(d.main, 0, 0, second.Callback()), 1);
  rec.seen.clear();
  d.desk.Focus(list);
  d.Run();
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(second.Events(), std::vector<std::uint32_t>{EVENT_OBJECT_FOCUS});

  // The all-zero call stops; so does a call with a window but no callback.
  EXPECT_EQ(library.InstallEventHook(0, 0, 0, nullptr), 0);
  EXPECT_FALSE(library.Installed());
  d.desk.Focus(edit);
  d.Run();
  EXPECT_EQ(second.seen.size(), 1u);
  EXPECT_EQ(library.InstallEventHook(d.main, 0, 0, nullptr), 0);
  EXPECT_FALSE(library.Installed());

  // A callback that removes the hook while it runs: later events go nowhere.
  int calls = 0;
  library.InstallEventHook(d.main, 0, 0, [&](std::uint32_t, Hwnd, std::int32_t, std::int32_t) {
    ++calls;
    library.InstallEventHook(0, 0, 0, nullptr);
  });
  d.desk.Focus(list);
  d.desk.Focus(edit);
  d.Run();
  EXPECT_EQ(calls, 1);

  // Hooks that cannot be set: the result says so, and the rest still deliver.
  access::testing::OverrideAccess refusing(d.desk.Access());
  refusing.refuseHooksFrom = {EVENT_OBJECT_VALUECHANGE};
  EventHookLibrary partial(refusing, d.desk.Windows());
  Recorder third;
  EXPECT_EQ(partial.InstallEventHook(d.main, 0, 0, third.Callback()), 0);
  d.desk.SetProgress(bar, 50);
  d.desk.Focus(list);
  d.Run();
  EXPECT_EQ(third.Events(), std::vector<std::uint32_t>{EVENT_OBJECT_FOCUS});
}

TEST(EventHookLibrary, ActiveObjectChildrenAndLocation) {
  Desk d;
  EventHookLibrary library(d.desk.Access(), d.desk.Windows());
  Recorder rec;
  library.InstallEventHook(d.main, 0, 0, rec.Callback());
  std::int32_t l = 9, t = 9, w = 9, h = 9;
  EXPECT_EQ(library.GetActiveObjectChildren(), 0);  // nothing has had the focus yet
  EXPECT_FALSE(library.GetActiveObjectLocation(l, t, w, h));
  EXPECT_EQ(l + t + w + h, 0);

  const Hwnd app = d.desk.AddTopWindow(u"App", u"Aplikace");
  d.desk.Focus(app);
  auto file = SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Soubor");
  file->Add(SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Nový"));
  file->Add(SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Otevřít"));
  auto help = SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Nápověda");
  d.desk.OpenMenu(app, {file, help});
  d.Run();
  EXPECT_EQ(library.GetActiveObjectChildren(), 2);
  EXPECT_TRUE(library.GetActiveObjectLocation(l, t, w, h));
  const Rect r = *file->Location(CHILDID_SELF);
  EXPECT_EQ(l, r.left);
  EXPECT_EQ(t, r.top);
  EXPECT_EQ(w, r.Width());
  EXPECT_EQ(h, r.Height());
  d.desk.FocusMenuItem(1);
  d.Run();
  EXPECT_EQ(library.GetActiveObjectChildren(), 0);
  d.desk.CloseMenu();

  // A simple element (a list item) has no children, but has a location.
  const Hwnd list = d.desk.AddListBox(app, {u"a", u"b", u"c"});
  d.desk.SelectListItem(list, 2);
  d.Run();
  EXPECT_EQ(library.GetActiveObjectChildren(), 0);
  EXPECT_TRUE(library.GetActiveObjectLocation(l, t, w, h));
  Rect listRect;
  d.desk.Windows().GetWindowRect(list, listRect);
  EXPECT_EQ(t, listRect.top + 2 * 16);

  // A focus event in a window that is not visible does not move the active object.
  const Hwnd hidden = d.desk.AddButton(app, u"Skryté");
  d.desk.SetVisible(hidden, false);
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, hidden, OBJID_CLIENT, CHILDID_SELF);
  d.Run();
  EXPECT_EQ(rec.seen.back().hwnd, hidden);  // the program still hears of it
  EXPECT_TRUE(library.GetActiveObjectLocation(l, t, w, h));
  EXPECT_EQ(t, listRect.top + 2 * 16);

  // The active object's window goes away: 0 and no location.
  d.desk.DestroyWindow(list);
  EXPECT_EQ(library.GetActiveObjectChildren(), 0);
  EXPECT_FALSE(library.GetActiveObjectLocation(l, t, w, h));
  EXPECT_EQ(l + t + w + h, 0);

  // A hostile object: a negative child count reads as 0, a huge rectangle does not overflow.
  access::testing::OverrideAccess access(d.desk.Access());
  auto odd = access::testing::TestObject::Make();
  odd->childCount = -5;
  odd->location = Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  access.clients[app] = odd;
  EventHookLibrary hostile(access, d.desk.Windows());
  hostile.InstallEventHook(d.main, 0, 0, rec.Callback());
  d.desk.Focus(app);
  d.Run();
  EXPECT_EQ(hostile.GetActiveObjectChildren(), 0);
  EXPECT_TRUE(hostile.GetActiveObjectLocation(l, t, w, h));
  EXPECT_EQ(w, INT32_MAX);
  EXPECT_EQ(h, INT32_MAX);
}

TEST(EventHookLibrary, HoldsAFocusEventUntilItsWindowShows) {
  Desk d;
  EventHookLibrary library(d.desk.Access(), d.desk.Windows(), &d.loop);
  Recorder rec;
  library.InstallEventHook(d.main, 0, 0, rec.Callback());
  // A program focuses its edit box, then shows the window (nothing else is raised).
  const Hwnd note = d.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  d.desk.SetVisible(note, false);
  const Hwnd edit = d.desk.AddEdit(note, u"");
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF);
  d.loop.AdvanceBy(200'000);  // 200 ms: still hidden, nothing delivered
  EXPECT_TRUE(rec.seen.empty());
  d.desk.SetVisible(note, true);
  d.loop.AdvanceBy(EventHookLibrary::kHoldPollMs * 1000);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back(), (WinEvent{EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF}));
  const std::size_t delivered = rec.seen.size();
  d.loop.AdvanceBy(2'000'000);
  EXPECT_EQ(rec.seen.size(), delivered);  // once only

  // A window that never shows: given up after the limit, even when it shows later.
  rec.seen.clear();
  const Hwnd late = d.desk.AddTopWindow(u"Late", u"Pozdě");
  d.desk.SetVisible(late, false);
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, late, OBJID_CLIENT, CHILDID_SELF);
  d.loop.AdvanceBy((EventHookLibrary::kHoldLimitMs + 100) * 1000);
  d.desk.SetVisible(late, true);
  d.loop.AdvanceBy(500'000);
  EXPECT_TRUE(rec.seen.empty());

  // A newer focus event replaces a held one.
  const Hwnd hidden = d.desk.AddTopWindow(u"Hidden", u"Skryté");
  d.desk.SetVisible(hidden, false);
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, hidden, OBJID_CLIENT, CHILDID_SELF);
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF);
  d.loop.AdvanceBy(1000);  // both arrive while `hidden` is still hidden
  d.desk.SetVisible(hidden, true);
  d.loop.AdvanceBy(500'000);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back(), (WinEvent{EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF}));
  for (const WinEvent& e : rec.seen) EXPECT_NE(e.hwnd, hidden);

  // Without an event loop hidden windows' events are passed on as they come.
  Desk plain;
  EventHookLibrary bare(plain.desk.Access(), plain.desk.Windows());
  Recorder all;
  bare.InstallEventHook(plain.main, 0, 0, all.Callback());
  const Hwnd w = plain.desk.AddTopWindow(u"X", u"x");
  plain.desk.SetVisible(w, false);
  plain.desk.RaiseEvent(EVENT_OBJECT_FOCUS, w, OBJID_CLIENT, CHILDID_SELF);
  plain.Run();
  EXPECT_EQ(all.Events(), std::vector<std::uint32_t>{EVENT_OBJECT_FOCUS});
}

// Under Wine a program started while another one is active focuses its control, shows its
// window and only then is made the active window: its focus event waits for that, so the new
// window (not the one before) is named and its title read.
TEST(EventHookLibrary, HoldsAFocusEventUntilItsShownWindowIsActive) {
  Desk d;
  const Hwnd before = d.desk.AddTopWindow(u"QuellonMain", u"Quellon");
  Recorder rec;
  const auto library = d.InstallWhileActive(before, rec);
  d.desk.SetRaisesForegroundEvents(false);
  const Hwnd note = d.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  d.desk.SetVisible(note, false);
  const Hwnd edit = d.desk.AddEdit(note, u"");
  d.desk.Focus(edit);
  d.desk.SetForegroundQuietly(before);
  d.Run();
  d.desk.SetVisible(note, true);
  d.loop.AdvanceBy(3 * EventHookLibrary::kHoldPollMs * 1000);
  EXPECT_TRUE(rec.seen.empty());  // shown, but the program before is still named active
  d.desk.SetForegroundQuietly(note);
  d.loop.AdvanceBy(EventHookLibrary::kHoldPollMs * 1000);
  ASSERT_EQ(rec.seen.size(), 2u);
  EXPECT_EQ(rec.seen[0], (WinEvent{EVENT_SYSTEM_FOREGROUND, note, OBJID_WINDOW, CHILDID_SELF}));
  EXPECT_EQ(rec.seen[1], (WinEvent{EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF}));

  // A shown window that is never made active: its event goes on after the limit, as it is.
  rec.seen.clear();
  const Hwnd other = d.desk.AddTopWindow(u"Other", u"Jiné");
  d.desk.SetVisible(other, false);
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, other, OBJID_CLIENT, CHILDID_SELF);
  d.Run();
  d.desk.SetVisible(other, true);
  d.loop.AdvanceBy((EventHookLibrary::kHoldLimitMs - 2 * EventHookLibrary::kHoldPollMs) * 1000);
  EXPECT_TRUE(rec.seen.empty());
  d.loop.AdvanceBy(2 * EventHookLibrary::kHoldPollMs * 1000);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back(), (WinEvent{EVENT_OBJECT_FOCUS, other, OBJID_CLIENT, CHILDID_SELF}));

  // A pop-up of the active program's own thread (a menu shown after its first item's event) is
  // never made active: its event goes as soon as it shows.
  const Hwnd menu = d.desk.OpenMenu(note, {SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Nový")});
  d.desk.SetVisible(menu, false);
  d.Run();
  rec.seen.clear();
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, menu, OBJID_CLIENT, 1);
  d.Run();
  d.desk.SetVisible(menu, true);
  d.loop.AdvanceBy(EventHookLibrary::kHoldPollMs * 1000);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back(), (WinEvent{EVENT_OBJECT_FOCUS, menu, OBJID_CLIENT, 1}));
}

TEST(EventHookLibrary, NamesANewActiveWindowThatNoForegroundEventNamed) {
  Desk d;
  const Hwnd first = d.desk.AddTopWindow(u"First", u"První");
  Recorder rec;
  const auto library = d.InstallWhileActive(first, rec);
  // The window active at install time is not named again.
  d.desk.RaiseEvent(EVENT_OBJECT_FOCUS, first, OBJID_CLIENT, CHILDID_SELF);
  d.Run();
  EXPECT_EQ(rec.Events(), std::vector<std::uint32_t>{EVENT_OBJECT_FOCUS});
  // A normal switch raises its own foreground event: nothing is added.
  rec.seen.clear();
  const Hwnd second = d.desk.AddTopWindow(u"Second", u"Druhé");
  d.desk.Focus(second);
  d.Run();
  EXPECT_EQ(rec.Events(),
            (std::vector<std::uint32_t>{EVENT_SYSTEM_FOREGROUND, EVENT_OBJECT_FOCUS}));
  // A system that raises no foreground event: the library names the new active window itself,
  // just before the focus event.
  rec.seen.clear();
  d.desk.SetRaisesForegroundEvents(false);
  d.desk.Focus(first);
  d.Run();
  ASSERT_EQ(rec.seen.size(), 2u);
  EXPECT_EQ(rec.seen[0], (WinEvent{EVENT_SYSTEM_FOREGROUND, first, OBJID_WINDOW, CHILDID_SELF}));
  EXPECT_EQ(rec.seen[1].event, EVENT_OBJECT_FOCUS);
  // Another focus move inside the same window names nothing.
  rec.seen.clear();
  d.desk.Focus(d.desk.AddEdit(first, u""));
  d.Run();
  EXPECT_EQ(rec.Events(), std::vector<std::uint32_t>{EVENT_OBJECT_FOCUS});
}

}  // namespace
}  // namespace quellon::reader
