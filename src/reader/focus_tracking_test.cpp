// Scenario tests of the focus tick on the simulated desktop: the sentence, the cue before it and
// the words each kind of control adds, as a user moving the focus hears them.
#include "reader/focus_tracking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/item_list.h"
#include "access/object_walker.h"
#include "aids/info_band.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "reader/event_hook_library.h"
#include "reader/window_readers.h"
#include "testing/test_folder.h"
#include "text/text.h"

namespace quellon::reader {
namespace {

using platform::Hwnd;
using platform::SimAccessible;

class CountingCaret : public CaretReaders {
 public:
  std::u16string EditText(Hwnd) override { return {}; }
  std::u16string CurrentLine(Hwnd) override { return {}; }
  void ReadCaret(Hwnd, std::uint32_t, std::uint32_t) override {}
  void ReadWindow() override {}
  void ResetCaretPositions() override { ++resets; }
  int resets = 0;
};

// The screen reader's side: the program state, a recording engine, the speech routine, the
// event library delivering to the focus tracker.
struct Rig {
  explicit Rig(bool english = false) : table(strings::StringTable::Loaded(english)) {
    folder.Write("snd/push button.wav", "RIFF");
    state.ProgramFolder = folder.Path();
    owner = loop.CreateHiddenWindow();
    events.InstallEventHook(
        owner, 0, 0,
        [this](std::uint32_t event, Hwnd hwnd, std::int32_t idObject, std::int32_t idChild) {
          focus.OnAccessibleEvent(event, hwnd, idObject, idChild);
        });
  }
  // Lets the queued events arrive, then runs one focus tick; returns what was said by it.
  std::vector<std::u16string> Tick() {
    loop.AdvanceBy(1000);
    log.clear();
    desk.Sounds().ClearRecord();
    focus.FocusTick();
    return engine.Said();
  }
  // What Say passes on for `text`: the dictionary pass lower-cases.
  static std::u16string Heard(std::u16string_view text) { return text::ToLower(text); }

  testing::TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::ProgramState state;
  std::vector<std::u16string> log;
  FakeEngine engine{log};
  strings::StringTable table;
  core::SpeechOutput output{state, engine, table, desk.Sounds()};
  EventHookLibrary events{desk.Access(), desk.Windows(), &loop};
  access::ObjectWalker walker{desk.Access(), desk.Windows()};
  CountingCaret caret;
  access::NullItemList items;
  NullProgressTone tone;
  std::vector<Hwnd> browserHooks;
  FocusTracking focus{state,
                      desk.Windows(),
                      desk.Access(),
                      table,
                      output,
                      {events,
                       walker,
                       caret,
                       items,
                       tone,
                       [this](Hwnd foreground) { browserHooks.push_back(foreground); },
                       nullptr,
                       nullptr,
                       {},
                       [this] { ++focusChanges; }}};
  Hwnd owner = 0;
  int focusChanges = 0;  // calls of focusChanged
};

TEST(FocusTrackingTest, EveryRecordedChangeIsReportedRightAfterItWasRecorded) {
  Rig r;
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  const Hwnd edit = r.desk.AddEdit(note, u"text", {.multiline = true});
  const Hwnd hidden = r.desk.AddChild(note, u"Edit", u"", 0);
  r.desk.SetVisible(hidden, false);
  int seen = 0;
  auto expectReported = [&](std::uint32_t event, Hwnd hwnd, std::int32_t child, bool reported) {
    const int before = r.focusChanges;
    r.state.Focus.FocusChanged = false;
    r.focus.OnAccessibleEvent(event, hwnd, platform::OBJID_CLIENT, child);
    EXPECT_EQ(r.focusChanges - before, reported ? 1 : 0) << std::hex << event;
    // Reported exactly when the change was recorded.
    EXPECT_EQ(r.state.Focus.FocusChanged, reported) << std::hex << event;
    ++seen;
  };
  expectReported(platform::EVENT_OBJECT_FOCUS, edit, platform::CHILDID_SELF, true);
  EXPECT_EQ(r.state.Focus.FocusHwnd, edit);
  expectReported(platform::EVENT_OBJECT_SELECTION, edit, 3, true);
  expectReported(platform::EVENT_SYSTEM_FOREGROUND, note, platform::CHILDID_SELF, true);
  expectReported(platform::EVENT_SYSTEM_MENUEND, note, platform::CHILDID_SELF, true);
  expectReported(platform::EVENT_SYSTEM_SWITCHEND, note, platform::CHILDID_SELF, true);
  // Nothing recorded, nothing reported: a window not shown, a value change, other events.
  expectReported(platform::EVENT_OBJECT_FOCUS, hidden, platform::CHILDID_SELF, false);
  EXPECT_EQ(r.state.Focus.FocusHwnd, edit);
  expectReported(platform::EVENT_OBJECT_VALUECHANGE, edit, platform::CHILDID_SELF, false);
  expectReported(platform::EVENT_OBJECT_CREATE, edit, platform::CHILDID_SELF, false);
  EXPECT_EQ(seen, 8);
}

TEST(FocusTrackingTest, MessageBoxSentenceIsTitleChildTextsAndButton) {
  Rig r;
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  r.desk.Focus(note);
  r.Tick();
  r.desk.ShowMessageBox(note, u"Poznámkový blok", u"Uložit změny?", {u"Ano", u"Ne"});
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u"Poznámkový blok \r\nUložit změny?\r\nAno\r\nNe Ano "));
  // The push button's cue came first.
  ASSERT_FALSE(r.desk.Sounds().Cues().empty());
  EXPECT_EQ(r.desk.Sounds().Cues().back(), u"push button");
  EXPECT_FALSE(r.state.Focus.FocusChanged);
  EXPECT_TRUE(r.state.Focus.NavigationRestart);
}

TEST(FocusTrackingTest, CheckedBoxesInBothLanguagesAndTheToggleWord) {
  for (const bool english : {false, true}) {
    Rig r(english);
    const Hwnd dlg = r.desk.AddTopWindow(u"#32770", u"Volby");
    const Hwnd box = r.desk.AddButton(dlg, u"Zalamovat", platform::BS_AUTOCHECKBOX);
    r.desk.SetCheck(box, true);
    r.desk.Focus(box);
    const auto said = r.Tick();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0],
              Rig::Heard(english ? u"Volby Zalamovat  checked" : u"Volby Zalamovat  zatrženo"));
    r.desk.SetCheck(box, false);
    EXPECT_EQ(r.focus.CheckStateText(), english ? u"unchecked" : u"nezatrženo");
    // A radio button that is not checked adds nothing.
    const Hwnd radio = r.desk.AddButton(dlg, u"Jiná", platform::BS_AUTORADIOBUTTON);
    r.desk.Focus(radio);
    EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" Jiná ")});
  }
}

TEST(FocusTrackingTest, MenuItemsSayUnavailableCheckedAndExpandable) {
  Rig r;
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  r.desk.Focus(note);
  r.Tick();
  auto file = SimAccessible::Make(platform::ROLE_SYSTEM_MENUITEM, u"Soubor");
  file->Add(SimAccessible::Make(platform::ROLE_SYSTEM_MENUITEM, u"Nový"));
  auto print = SimAccessible::Make(platform::ROLE_SYSTEM_MENUITEM, u"Tisk", u"",
                                   platform::STATE_SYSTEM_UNAVAILABLE);
  auto wrap = SimAccessible::Make(platform::ROLE_SYSTEM_MENUITEM, u"Zalamovat", u"",
                                  platform::STATE_SYSTEM_CHECKED);
  r.desk.OpenMenu(note, {file, print, wrap});
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" Soubor  rozbalovací")});
  r.desk.FocusMenuItem(1);
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" Tisk  nedostupné")});
  r.desk.FocusMenuItem(2);
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" Zalamovat  zatrženo")});
}

// A window whose client object is `object`, focused.
Hwnd FocusCustom(Rig& r, std::u16string className, std::shared_ptr<SimAccessible> object) {
  const Hwnd top = r.desk.AddTopWindow(u"Frame", u"Okno", {0, 0, 400, 300});
  r.desk.Focus(top);
  r.Tick();
  const Hwnd w =
      r.desk.AddChild(top, std::move(className), u"", platform::WS_VISIBLE, {10, 10, 390, 290});
  object->window = w;
  r.desk.SetClientAccessible(w, object);
  r.desk.Focus(w);
  return w;
}

TEST(FocusTrackingTest, LinksWithAndWithoutName) {
  Rig r;
  auto named = SimAccessible::Make(platform::ROLE_SYSTEM_LINK, u"Domů", u"http://x/");
  FocusCustom(r, u"Link", named);
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u"Domů")});

  // Without a name: the name of the object just inside its top-left corner.
  Rig n;
  auto nameless =
      SimAccessible::Make(platform::ROLE_SYSTEM_LINK, u"", u"http://y/", 0, {50, 50, 150, 70});
  nameless->Add(
      SimAccessible::Make(platform::ROLE_SYSTEM_GRAPHIC, u"Logo", u"", 0, {50, 50, 150, 70}));
  FocusCustom(n, u"Link", nameless);
  EXPECT_EQ(n.Tick(), std::vector<std::u16string>{Rig::Heard(u"Logo")});

  // Nothing named there either: the link's value.
  Rig v;
  auto bare =
      SimAccessible::Make(platform::ROLE_SYSTEM_LINK, u"", u"http://z/", 0, {50, 50, 150, 70});
  bare->Add(SimAccessible::Make(platform::ROLE_SYSTEM_GRAPHIC, u"", u"", 0, {50, 50, 150, 70}));
  FocusCustom(v, u"Link", bare);
  EXPECT_EQ(v.Tick(), std::vector<std::u16string>{Rig::Heard(u"http://z/")});
}

TEST(FocusTrackingTest, ListViewItemsTreeItemsAndEditableText) {
  Rig r;
  auto list = SimAccessible::Make(platform::ROLE_SYSTEM_LIST, u"Soubory");
  list->AddElement({.name = u"dopis.txt", .role = platform::ROLE_SYSTEM_LISTITEM});
  list->AddElement({.name = u"faktura.txt",
                    .role = platform::ROLE_SYSTEM_LISTITEM,
                    .state = platform::STATE_SYSTEM_SELECTED});
  const Hwnd lv = FocusCustom(r, u"SysListView32", list);
  r.Tick();
  r.desk.RaiseEvent(platform::EVENT_OBJECT_FOCUS, lv, platform::OBJID_CLIENT, 1);
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" dopis.txt  nevybráno")});
  r.desk.RaiseEvent(platform::EVENT_OBJECT_FOCUS, lv, platform::OBJID_CLIENT, 2);
  EXPECT_EQ(r.Tick(), std::vector<std::u16string>{Rig::Heard(u" faktura.txt ")});

  // A tree item: its name and its expansion word, no value and no title.
  Rig t;
  auto tree = SimAccessible::Make(platform::ROLE_SYSTEM_OUTLINE, u"Složky");
  tree->AddElement({.name = u"Dokumenty",
                    .value = u"1",
                    .role = platform::ROLE_SYSTEM_OUTLINEITEM,
                    .state = platform::STATE_SYSTEM_EXPANDED});
  tree->AddElement({.name = u"Obrázky",
                    .role = platform::ROLE_SYSTEM_OUTLINEITEM,
                    .state = platform::STATE_SYSTEM_COLLAPSED});
  const Hwnd tv = FocusCustom(t, u"SysTreeView32", tree);
  t.Tick();
  t.desk.RaiseEvent(platform::EVENT_OBJECT_FOCUS, tv, platform::OBJID_CLIENT, 1);
  EXPECT_EQ(t.Tick(), std::vector<std::u16string>{Rig::Heard(u"Dokumenty rozbaleno")});
  t.desk.RaiseEvent(platform::EVENT_OBJECT_FOCUS, tv, platform::OBJID_CLIENT, 2);
  EXPECT_EQ(t.Tick(), std::vector<std::u16string>{Rig::Heard(u"Obrázky sbaleno")});
  EXPECT_EQ(t.state.Focus.FocusHwnd, tv);  // the focus window of the thread

  // An editable text tells the caret readers to start again.
  Rig e;
  const Hwnd note = e.desk.AddTopWindow(u"Notepad", u"Bez názvu");
  const Hwnd edit = e.desk.AddEdit(note, u"ahoj", {.multiline = true});
  e.desk.Focus(edit);
  e.Tick();
  EXPECT_EQ(e.caret.resets, 1);
}

TEST(FocusTrackingTest, GreetingOnceAndOneAnnouncementForSeveralEvents) {
  Rig r;
  r.state.Greeting = u"dobrý den, je 7 hodin ";
  const Hwnd dlg = r.desk.AddTopWindow(u"#32770", u"Volby");
  const Hwnd a = r.desk.AddButton(dlg, u"První");
  const Hwnd b = r.desk.AddButton(dlg, u"Druhé");
  r.desk.Focus(a);
  r.desk.Focus(b);  // two moves before one tick: the last is announced
  const auto first = r.Tick();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].rfind(Rig::Heard(u"dobrý den, je 7 hodin "), 0), 0u);
  EXPECT_NE(first[0].find(u"druhé"), std::u16string::npos);
  EXPECT_TRUE(r.state.Greeting.empty());
  r.desk.Focus(a);
  const auto second = r.Tick();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0], Rig::Heard(u" První "));
  // Nothing changed: no announcement at all.
  EXPECT_TRUE(r.Tick().empty());
}

TEST(FocusTrackingTest, DialogTextNeedsAButtonAndNoOtherControl) {
  platform::SimEventLoop loop;
  platform::SimDesktop desk(loop);
  const Hwnd dlg = desk.AddTopWindow(u"#32770", u"Hledat");
  desk.AddStatic(dlg, u"Co:");
  EXPECT_EQ(DialogText(desk.Windows(), dlg), u"");  // no button yet
  desk.AddButton(dlg, u"Najít");
  EXPECT_EQ(DialogText(desk.Windows(), dlg), u"\r\nCo:\r\nNajít");
  desk.AddEdit(dlg, u"slovo");
  EXPECT_EQ(DialogText(desk.Windows(), dlg), u"");
  // Another program's edit box has no window text of its own to give.
  EXPECT_EQ(ChildWindowsText(desk.Windows(), dlg), u"\r\nCo:\r\nNajít\r\n");

  const Hwnd big = desk.AddTopWindow(u"#32770", u"Mnoho");
  for (int i = 0; i < 50; ++i) desk.AddStatic(big, u"t");
  desk.AddButton(big, u"OK");
  EXPECT_NE(DialogText(desk.Windows(), big), u"");  // 51 windows: the counter reaches 51
  desk.AddStatic(big, u"t");
  EXPECT_EQ(DialogText(desk.Windows(), big), u"");
  EXPECT_EQ(ChildWindowsText(desk.Windows(), big), u"");
}

TEST(FocusTrackingTest, NavigationSuppressesLibraryPlaceholdersAndMovesThePointer) {
  Rig r;
  auto root = SimAccessible::Make(platform::ROLE_SYSTEM_CLIENT, u"Okno");
  root->Add(SimAccessible::Make(platform::ROLE_SYSTEM_PUSHBUTTON, u"OK", u"", 0, {20, 30, 80, 50}));
  root->Add(SimAccessible::Make(platform::ROLE_SYSTEM_STATICTEXT, u"none", u"[Error 5]", 0,
                                {20, 60, 80, 80}));
  FocusCustom(r, u"Custom", root);
  r.Tick();
  r.log.clear();
  r.focus.NavigateObject(true);
  EXPECT_EQ(r.engine.Said(), std::vector<std::u16string>{Rig::Heard(u"OK ")});
  platform::Point pointer;
  ASSERT_TRUE(r.desk.Windows().GetCursorPos(pointer));
  EXPECT_EQ(pointer, (platform::Point{20, 30}));
  r.log.clear();
  r.focus.NavigateObject(true);
  // Both texts suppressed: the one space left is a single character, said by its name.
  EXPECT_EQ(r.engine.Said(), std::vector<std::u16string>{Rig::Heard(r.table.CharName(u" "))});
  r.log.clear();
  r.focus.NavigateObject(false);
  EXPECT_EQ(r.engine.Said(), std::vector<std::u16string>{Rig::Heard(u"OK ")});
}

TEST(FocusTrackingTest, HostileAndVanishedObjectsDoNotStopTheNextAnnouncement) {
  Rig r;
  auto huge = SimAccessible::Make(-7, std::u16string(1'000'000, u'x'));
  FocusCustom(r, u"Hostile", huge);
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].size(), 1'000'002u);
  EXPECT_EQ(r.state.Focus.FocusRole, -7);

  // An object that is gone answers nothing: what the tick could read is said.
  auto gone = SimAccessible::Make(platform::ROLE_SYSTEM_PUSHBUTTON, u"Zmizí");
  const Hwnd w = FocusCustom(r, u"Gone", gone);
  gone->Destroy();
  r.Tick();
  EXPECT_EQ(r.state.Focus.FocusHwnd, w);
  const Hwnd dlg = r.desk.AddTopWindow(u"#32770", u"Další");
  r.desk.Focus(r.desk.AddButton(dlg, u"Dál"));
  const auto next = r.Tick();
  ASSERT_EQ(next.size(), 1u);
  EXPECT_NE(next[0].find(u"dál"), std::u16string::npos);
}

// A focus event can arrive while a tick waits on another program (the system delivers events
// whenever the thread waits): the move it records must not be wiped when that tick ends.
TEST(FocusTrackingTest, AFocusMoveRecordedDuringATickIsAnnouncedByTheNextOne) {
  Rig r;
  auto frame = SimAccessible::Make(platform::ROLE_SYSTEM_PANE, u"Rám");
  const Hwnd w = FocusCustom(r, u"Frame", frame);
  const Hwnd view = r.desk.AddChild(w, u"Internet Explorer_Server", u"", platform::WS_VISIBLE,
                                    {10, 10, 300, 200});
  r.desk.SetClientAccessible(view, SimAccessible::Make(platform::ROLE_SYSTEM_PANE, u"Stránka"));
  bool moved = false;
  frame->refresh = [&](SimAccessible&) {
    if (moved) return;
    moved = true;
    r.focus.OnAccessibleEvent(platform::EVENT_OBJECT_FOCUS, view, platform::OBJID_CLIENT,
                              platform::CHILDID_SELF);
  };
  // The frame's sentence gives way to the newer focus, which is still to be announced.
  EXPECT_TRUE(r.Tick().empty());
  ASSERT_TRUE(moved);
  EXPECT_TRUE(r.desk.Sounds().Cues().empty());
  EXPECT_TRUE(r.state.Focus.FocusChanged);
  const auto second = r.Tick();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(second[0].find(u"stránka"), std::u16string::npos);
  EXPECT_EQ(r.state.Focus.FocusHwnd, view);
  EXPECT_EQ(r.state.Focus.FocusClassName, u"INTERNET EXPLORER_SERVER");
  EXPECT_FALSE(r.state.Focus.FocusChanged);
}

// One action, two events a few milliseconds apart (a dialog focused, then its first control): the
// second arrives while the first is read. One announcement: the dialog's title and the control.
TEST(FocusTrackingTest, ADialogAndItsControlFocusedByOneActionGiveOneAnnouncementWithTheTitle) {
  Rig r;
  const Hwnd dlg = r.desk.AddTopWindow(u"#32770", u"Najít", {0, 0, 300, 200});
  auto whole = SimAccessible::Make(platform::ROLE_SYSTEM_PUSHBUTTON, u"Najít");
  whole->window = dlg;
  r.desk.SetClientAccessible(dlg, whole);
  const Hwnd edit = r.desk.AddEdit(dlg, u"slovo", {});
  bool moved = false;
  whole->refresh = [&](SimAccessible&) {
    if (moved) return;
    moved = true;
    r.desk.Focus(edit);
    r.focus.OnAccessibleEvent(platform::EVENT_OBJECT_FOCUS, edit, platform::OBJID_CLIENT,
                              platform::CHILDID_SELF);
  };
  r.desk.Focus(dlg);
  EXPECT_TRUE(r.Tick().empty());
  ASSERT_TRUE(moved);
  EXPECT_TRUE(r.desk.Sounds().Cues().empty());  // not even the dialog's cue
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u"Najít  slovo"));
  EXPECT_EQ(r.state.Focus.FocusHwnd, edit);
  EXPECT_TRUE(r.Tick().empty());  // and nothing more
}

// A program that raises a newer focus event during every read is still heard: after three
// announcements given up in a row, the fourth is spoken as read.
TEST(FocusTrackingTest, AnEndlessStreamOfFocusEventsIsStillAnnounced) {
  Rig r;
  auto restless = SimAccessible::Make(platform::ROLE_SYSTEM_LISTITEM, u"Neklid");
  const Hwnd w = FocusCustom(r, u"Restless", restless);
  int reads = 0;
  restless->refresh = [&](SimAccessible&) {
    ++reads;
    r.focus.OnAccessibleEvent(platform::EVENT_OBJECT_FOCUS, w, platform::OBJID_CLIENT,
                              platform::CHILDID_SELF);
  };
  for (int tick = 0; tick < FocusTracking::kMaxSuperseded; ++tick) EXPECT_TRUE(r.Tick().empty());
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u" Neklid "));
  EXPECT_GT(reads, FocusTracking::kMaxSuperseded);
  // The count starts again after an announcement.
  EXPECT_TRUE(r.Tick().empty());
}

// Wine names no foreground window for a moment while a dialog becomes active, and the focus
// event of its first control goes out in that moment: the dialog is still named, with its
// title, and so is the window the focus returns to.
TEST(FocusTrackingTest, ADialogActivatedWhileNoWindowIsForegroundIsAnnouncedWithItsTitle) {
  Rig r;
  r.desk.SetRaisesForegroundEvents(false);
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
  const Hwnd edit = r.desk.AddEdit(note, u"", {.multiline = true});
  r.desk.Focus(edit);
  r.Tick();
  const Hwnd about = r.desk.AddTopWindow(u"#32770", u"O programu");
  const Hwnd ok = r.desk.AddButton(about, u"OK");
  r.desk.Focus(ok);
  r.desk.ClearForeground();
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u"O programu \r\nOK OK "));
  r.desk.Focus(edit);
  const auto back = r.Tick();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0], Rig::Heard(u"Bez názvu - Poznámkový blok  "));
}

TEST(FocusTrackingTest, AProgramThatFocusesBeforeShowingIsAnnouncedWithItsTitle) {
  // As Wine's Notepad starts: no foreground event, the edit box focused while the window is
  // still hidden, then the window shown.
  Rig r;
  r.desk.SetRaisesForegroundEvents(false);
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
  r.desk.SetVisible(note, false);
  const Hwnd edit = r.desk.AddEdit(note, u"", {.multiline = true});
  r.desk.Focus(edit);
  EXPECT_TRUE(r.Tick().empty());
  r.desk.SetVisible(note, true);
  r.loop.AdvanceBy(100'000);
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u"Bez názvu - Poznámkový blok  "));
}

TEST(FocusTrackingTest, AProgramShownBeforeItIsActiveIsAnnouncedWithItsOwnTitle) {
  // As Wine's Notepad starts while Quellon's own window is the active one: the edit box focused
  // while hidden, the window shown, and only a moment later made the active window.
  Rig r;
  const Hwnd own = r.desk.AddTopWindow(u"QuellonMain", u"Quellon");
  r.desk.Focus(own);
  r.Tick();
  r.desk.SetRaisesForegroundEvents(false);
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
  r.desk.SetVisible(note, false);
  const Hwnd edit = r.desk.AddEdit(note, u"", {.multiline = true});
  r.desk.Focus(edit);
  r.desk.SetForegroundQuietly(own);
  EXPECT_TRUE(r.Tick().empty());
  r.desk.SetVisible(note, true);
  r.loop.AdvanceBy(100'000);
  EXPECT_TRUE(r.Tick().empty());  // not "Quellon" as the new window's title
  r.desk.SetForegroundQuietly(note);
  r.loop.AdvanceBy(100'000);
  const auto said = r.Tick();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], Rig::Heard(u"Bez názvu - Poznámkový blok  "));
}

TEST(FocusTrackingTest, WebViewsAttachTheBrowser) {
  Rig r;
  auto page = SimAccessible::Make(platform::ROLE_SYSTEM_PANE, u"Stránka");
  FocusCustom(r, u"Internet Explorer_Server", page);
  r.Tick();
  ASSERT_EQ(r.browserHooks.size(), 1u);
  EXPECT_EQ(r.browserHooks[0], r.state.Focus.ForegroundHwnd);
}

// The band and the list of window reading mode, recording what the mode does with them.
class ModeBand : public aids::InfoBand {
 public:
  bool IsShown() const override { return visible; }
  void SetText(const std::u16string& t) override { text = t; }
  void ShowBand() override { visible = true; }
  void HideBand() override { visible = false; }
  bool BandVisible() const override { return visible; }
  void UnloadBand() override {}
  Hwnd BandTextWindow() const override { return box; }
  bool visible = false;
  std::u16string text;
  Hwnd box = 0;
};

TEST(FocusTrackingTest, WindowReadingModeListsTheWindowIntoTheBandAndEnds) {
  Rig r;
  const Hwnd note = r.desk.AddTopWindow(u"Notepad", u"Dopis - Poznámkový blok", {0, 0, 400, 300});
  const Hwnd edit = r.desk.AddEdit(note, u"text");
  r.desk.Focus(edit);
  r.Tick();
  ModeBand band;
  band.box = r.desk.AddEdit(r.desk.AddTopWindow(u"Band", u"Quellon - Info"), u"");
  bool menuChecked = false;
  FocusTracking focus{
      r.state,
      r.desk.Windows(),
      r.desk.Access(),
      r.table,
      r.output,
      {r.events, r.walker, r.caret, r.items, r.tone, {}, &band, &r.desk.Keys(), [&menuChecked] {
         return menuChecked;
       }}};
  focus.ToggleWindowReadingMode();
  EXPECT_TRUE(r.state.ListMode);
  EXPECT_EQ(r.state.ListIndex, 0);
  EXPECT_TRUE(band.visible);
  EXPECT_EQ(band.text, u"Dopis - Poznámkový blok");
  // The list keys act on the band's text box from here on.
  EXPECT_EQ(r.state.Focus.FocusHwnd, band.box);
  EXPECT_EQ(r.state.Focus.FocusRole, platform::ROLE_SYSTEM_TEXT);
  // The click that gives the band the keyboard lands at its corner.
  r.loop.AdvanceBy(1000);
  ASSERT_EQ(r.desk.Clicks().size(), 1u);
  EXPECT_EQ(r.desk.Clicks()[0].at, (platform::Point{0, 0}));
  // Off again: the band the mode showed goes, although showing it checked the menu item.
  menuChecked = true;
  focus.ToggleWindowReadingMode();
  EXPECT_FALSE(r.state.ListMode);
  EXPECT_FALSE(band.visible);
  // A band the user had on before stays.
  band.visible = true;
  focus.ToggleWindowReadingMode();
  focus.ToggleWindowReadingMode();
  EXPECT_TRUE(band.visible);
  menuChecked = false;
  band.visible = false;
  // Without a band the mode does not start.
  FocusTracking bare{
      r.state,         r.desk.Windows(),
      r.desk.Access(), r.table,
      r.output,        {r.events, r.walker, r.caret, r.items, r.tone, {}, nullptr, nullptr, {}}};
  bare.ToggleWindowReadingMode();
  EXPECT_FALSE(r.state.ListMode);
}

}  // namespace
}  // namespace quellon::reader
