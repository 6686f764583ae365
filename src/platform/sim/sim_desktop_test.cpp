// Scenario tests of the simulated desktop itself: its edit controls answer as Windows' own, focus
// moves raise the events Windows raises in its order, the Czech layout and its dead keys, and the
// virtual clock drives hooks and timers in order.
#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_layout.h"

namespace quellon::platform {
namespace {

constexpr WParam kCurrent = static_cast<WParam>(-1);

struct Desk {
  SimEventLoop loop;
  SimDesktop desk{loop};
  WindowSystem& ws = desk.Windows();
};

TEST(SimEdit, EditMessagesAnswerAsWindowsDoes) {
  Desk d;
  const Hwnd top = d.desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
  const Hwnd edit = d.desk.AddEdit(top, u"první\ndruhý řádek\ntřetí", {.multiline = true});
  SimEdit& e = *d.desk.Edit(edit);
  // An edit control counts CR LF as two characters.
  EXPECT_EQ(d.ws.SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 5 + 2 + 11 + 2 + 5);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEINDEX, 1, 0), 7);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEINDEX, 3, 0), -1);  // past the last line
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINELENGTH, 7, 0), 11);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINELENGTH, 1000, 0), 0);  // past the end
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEFROMCHAR, 5, 0), 0);   // on the CR: still line 0
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEFROMCHAR, 7, 0), 1);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEFROMCHAR, 1000, 0), 2);  // past the end: last line
  // EM_LINEINDEX(-1) is the caret's line.
  e.SetSel(10, 10);
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINEINDEX, kCurrent, 0), 7);
  // A reversed selection (caret before anchor) comes back ordered.
  e.SetSel(12, 8);
  std::int32_t start = -1, end = -1;
  const LResult packed = d.ws.SendGetSel(edit, &start, &end);
  EXPECT_EQ(start, 8);
  EXPECT_EQ(end, 12);
  EXPECT_EQ(packed, 8 | (12 << 16));
  EXPECT_EQ(d.ws.SendMessage(edit, EM_GETSEL, 0, 0), packed);
  // EM_LINELENGTH(-1): the unselected characters of the selected lines.
  EXPECT_EQ(d.ws.SendMessage(edit, EM_LINELENGTH, kCurrent, 0), (8 - 7) + (18 - 12));
  // WM_GETTEXT with a short buffer gives bufferSize - 1 characters.
  EXPECT_EQ(d.ws.SendGetText(edit, 4), u"prv");
  // GetWindowText does not read another program's edit control.
  EXPECT_EQ(d.ws.GetWindowText(edit), u"");
}

TEST(SimEdit, RichEditCountsALineBreakAsOneCharacter) {
  Desk d;
  const Hwnd top = d.desk.AddTopWindow(u"WordPadClass", u"Dokument - WordPad");
  const Hwnd rich = d.desk.AddEdit(top, u"ab\ncd\nef", {.multiline = true, .rich = true});
  EXPECT_EQ(d.ws.SendMessage(rich, EM_LINEINDEX, 1, 0), 3);
  EXPECT_EQ(d.ws.SendMessage(rich, EM_LINEINDEX, 2, 0), 6);
  // WM_GETTEXT gives CR LF; with the CRs removed the positions match the line index.
  const std::u16string text = d.ws.SendGetText(rich, 100);
  EXPECT_EQ(text, u"ab\r\ncd\r\nef");
  EXPECT_EQ(d.ws.SendMessage(rich, WM_GETTEXTLENGTH, 0, 0), 10);
  std::u16string noCr;
  for (char16_t c : text) {
    if (c != u'\r') noCr += c;
  }
  EXPECT_EQ(noCr.substr(6, 2), u"ef");
}

TEST(SimEdit, KeysEditAndMoveTheCaret) {
  Desk d;
  const Hwnd top = d.desk.AddTopWindow(u"Notepad", u"Poznámky");
  const Hwnd edit = d.desk.AddEdit(top, u"", {.multiline = true});
  d.desk.Focus(edit);
  d.desk.Type(u"Žluťoučký kůň\núpěl");
  SimEdit& e = *d.desk.Edit(edit);
  EXPECT_EQ(e.Text(), u"Žluťoučký kůň\r\núpěl");
  d.desk.Tap(VK_HOME, {VK_LCONTROL});
  EXPECT_EQ(e.Caret(), 0);
  d.desk.Tap(VK_RIGHT, {VK_LCONTROL});  // to the start of the next word
  EXPECT_EQ(e.Caret(), 10);
  d.desk.Tap(VK_RIGHT, {VK_LSHIFT});
  d.desk.Tap(VK_RIGHT, {VK_LSHIFT});
  std::int32_t start = 0, end = 0;
  d.ws.SendGetSel(edit, &start, &end);
  EXPECT_EQ(start, 10);
  EXPECT_EQ(end, 12);
  d.desk.Tap(VK_END);
  d.desk.Tap(VK_RIGHT);  // over the CR LF in one step
  EXPECT_EQ(e.Caret(), 15);
  d.desk.Tap(VK_BACK);  // joins the lines: the whole CR LF goes
  EXPECT_EQ(e.Text(), u"Žluťoučký kůňúpěl");
  // The caret rectangle follows the caret in GetGUIThreadInfo.
  GuiThreadInfo info;
  ASSERT_TRUE(d.ws.GetGUIThreadInfo(0, info));
  EXPECT_EQ(info.active, top);
  EXPECT_EQ(info.focus, edit);
  EXPECT_EQ(info.caret, edit);
  EXPECT_EQ(info.caretRect.top, 0);
  EXPECT_GT(info.caretRect.left, 0);
  // Ctrl+C puts the selection on the clipboard.
  d.desk.Tap(VK_HOME);
  d.desk.Tap(VK_RIGHT, {VK_LSHIFT});
  d.desk.Tap('C', {VK_LCONTROL});
  EXPECT_EQ(d.desk.ClipboardPort().GetText(), u"Ž");
}

TEST(SimFocus, EventsComeInWindowsOrderThroughTheLoop) {
  Desk d;
  std::vector<WinEvent> seen;
  const WinEventHook hook = d.desk.Access().SetWinEventHook(
      EVENT_MIN, EVENT_MAX, [&](const WinEvent& e) { seen.push_back(e); });
  ASSERT_NE(hook, 0u);
  const Hwnd a = d.desk.AddTopWindow(u"AppA", u"A");
  const Hwnd okA = d.desk.AddButton(a, u"&OK");
  const Hwnd b = d.desk.AddTopWindow(u"AppB", u"B");
  const Hwnd edit = d.desk.AddEdit(b, u"x");
  const Hwnd list = d.desk.AddListBox(b, {u"jedna", u"dvě"});
  d.desk.Focus(okA);
  EXPECT_TRUE(seen.empty());  // out-of-context: delivered when the thread takes its messages
  d.loop.PumpPending();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (WinEvent{EVENT_SYSTEM_FOREGROUND, a, OBJID_WINDOW, CHILDID_SELF}));
  EXPECT_EQ(seen[1], (WinEvent{EVENT_OBJECT_FOCUS, okA, OBJID_CLIENT, CHILDID_SELF}));
  seen.clear();
  d.desk.Focus(edit);  // another window: foreground first
  d.desk.Focus(list);  // same window: focus only
  d.desk.SelectListItem(list, 1);
  d.loop.PumpPending();
  const std::vector<WinEvent> expected = {{EVENT_SYSTEM_FOREGROUND, b, OBJID_WINDOW, CHILDID_SELF},
                                          {EVENT_OBJECT_FOCUS, edit, OBJID_CLIENT, CHILDID_SELF},
                                          {EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, CHILDID_SELF},
                                          {EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, 2},
                                          {EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 2}};
  EXPECT_EQ(seen, expected);
  // The event's object: the list item is a simple element of the list's client object.
  AccessibleChild item = d.desk.Access().ObjectFromEvent(list, OBJID_CLIENT, 2);
  ASSERT_TRUE(item);
  EXPECT_EQ(item.childId, 2);
  EXPECT_EQ(item.object->Name(2), u"dvě");
  EXPECT_EQ(item.object->Role(2), ROLE_SYSTEM_LISTITEM);
  EXPECT_TRUE(*item.object->State(2) & STATE_SYSTEM_SELECTED);
  // Standard controls: the button's name without its mnemonic, the edit's value.
  AccessibleChild ok = d.desk.Access().ObjectFromEvent(okA, OBJID_CLIENT, CHILDID_SELF);
  EXPECT_EQ(ok.object->Name(0), u"OK");
  EXPECT_EQ(ok.object->Role(0), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(d.desk.Access().ObjectFromWindow(edit, OBJID_CLIENT)->Value(0), u"x");
  // After unhooking nothing more arrives; a closed window's object fails every read.
  EXPECT_TRUE(d.desk.Access().UnhookWinEvent(hook));
  seen.clear();
  d.desk.Focus(okA);
  d.loop.PumpPending();
  EXPECT_TRUE(seen.empty());
  d.desk.DestroyWindow(a);
  EXPECT_FALSE(ok.object->Name(0).has_value());
  EXPECT_FALSE(d.ws.IsWindow(okA));
}

TEST(SimFocus, MessageBoxAndMenuRaiseTheirEvents) {
  Desk d;
  const Hwnd app = d.desk.AddTopWindow(u"App", u"Editor");
  d.desk.Focus(app);
  d.desk.ClearEvents();
  const Hwnd box = d.desk.ShowMessageBox(app, u"Editor", u"Uložit změny?", {u"&Ano", u"&Ne"});
  std::vector<std::uint32_t> kinds;
  for (const WinEvent& e : d.desk.Events()) kinds.push_back(e.event);
  EXPECT_EQ(kinds, (std::vector<std::uint32_t>{EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW,
                                               EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_FOREGROUND,
                                               EVENT_OBJECT_FOCUS}));
  GuiThreadInfo info;
  d.ws.GetGUIThreadInfo(0, info);
  EXPECT_EQ(info.active, box);
  std::vector<std::u16string> texts;
  d.ws.EnumChildWindows(box, [&](Hwnd c) {
    texts.push_back(d.ws.GetClassName(c, 255) + u":" + d.ws.GetWindowText(c));
    return true;
  });
  EXPECT_EQ(texts,
            (std::vector<std::u16string>{u"Static:Uložit změny?", u"Button:&Ano", u"Button:&Ne"}));
  // A menu item with a submenu: the focus event's child is a full object with children.
  auto file = SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Soubor");
  file->Add(SimAccessible::Make(ROLE_SYSTEM_MENUPOPUP, u""));
  auto help = SimAccessible::Make(ROLE_SYSTEM_MENUITEM, u"Nápověda", u"", STATE_SYSTEM_UNAVAILABLE);
  d.desk.ClearEvents();
  const Hwnd popup = d.desk.OpenMenu(box, {file, help});
  d.desk.FocusMenuItem(1);
  d.desk.CloseMenu();
  kinds.clear();
  for (const WinEvent& e : d.desk.Events()) kinds.push_back(e.event);
  EXPECT_EQ(kinds, (std::vector<std::uint32_t>{EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUPOPUPSTART,
                                               EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS,
                                               EVENT_SYSTEM_MENUPOPUPEND, EVENT_OBJECT_DESTROY,
                                               EVENT_SYSTEM_MENUEND}));
  EXPECT_EQ(d.desk.Events()[3], (WinEvent{EVENT_OBJECT_FOCUS, popup, OBJID_CLIENT, 2}));
  EXPECT_EQ(d.desk.FocusWindow(), info.focus);  // back where it was before the menu
}

TEST(SimKeyboard, HookSeesKeysBeforeTheStateAndCanSwallow) {
  Desk d;
  Keyboard& kb = d.desk.Keys();
  const Hwnd top = d.desk.AddTopWindow(u"Notepad", u"N");
  const Hwnd edit = d.desk.AddEdit(top, u"");
  d.desk.Focus(edit);
  std::vector<KeyMoment> seen;
  std::vector<KeyMoment> delivered;
  std::vector<std::size_t> programKeysAtDelivery;
  const KeyboardHook hook = kb.SetLowLevelHook(
      [&](const KeyMoment& m) {
        seen.push_back(m);
        return m.key.vkCode == VK_F2 ? KeyVerdict::kSwallow : KeyVerdict::kPass;
      },
      [&](const KeyMoment& m, KeyVerdict) {
        delivered.push_back(m);
        programKeysAtDelivery.push_back(d.desk.DeliveredKeys().size());
      });
  ASSERT_NE(hook, 0u);
  d.desk.Tap(VK_F2, {VK_LCONTROL});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].key.vkCode, VK_LCONTROL);
  EXPECT_EQ(seen[0].key.scanCode, 0x1Du);
  EXPECT_FALSE(seen[0].ctrl);  // the moment holds the state before its own key
  EXPECT_TRUE(seen[1].ctrl);
  EXPECT_EQ(seen[2].key.flags & LLKHF_UP, LLKHF_UP);
  // The swallowed F2 never reached the program; Ctrl did.
  for (const auto& k : d.desk.DeliveredKeys()) EXPECT_NE(k.vk, VK_F2);
  EXPECT_EQ(d.desk.DeliveredKeys().size(), 2u);
  // The deliveries come when the loop runs, in order, after the program has had the keys.
  EXPECT_TRUE(delivered.empty());
  d.loop.PumpPending();
  ASSERT_EQ(delivered.size(), 4u);
  EXPECT_EQ(delivered[1].key.vkCode, VK_F2);
  EXPECT_EQ(delivered[3].key.vkCode, VK_LCONTROL);
  EXPECT_EQ(programKeysAtDelivery[0], 2u);
  // Caps Lock: the toggle bit flips on the press, after the hook has seen it.
  EXPECT_EQ(kb.GetKeyState(VK_CAPITAL) & 1, 0);
  seen.clear();
  d.desk.Tap(VK_CAPITAL);
  EXPECT_EQ(kb.GetKeyState(VK_CAPITAL) & 1, 1);
  EXPECT_FALSE(seen[0].lockToggled);
  d.desk.Tap(VK_CAPITAL);
  EXPECT_TRUE(seen[2].lockToggled);
  // Synthetic input reaches the hook (marked injected) when the loop runs.
  seen.clear();
  EXPECT_EQ(kb.SendInput({Input::Key(VK_DOWN, 0), Input::Key(VK_DOWN, KEYEVENTF_KEYUP)}), 2u);
  EXPECT_TRUE(seen.empty());
  d.loop.PumpPending();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].key.flags & (LLKHF_INJECTED | LLKHF_EXTENDED), LLKHF_INJECTED | LLKHF_EXTENDED);
  EXPECT_TRUE(kb.Unhook(hook));
}

TEST(SimKeyboard, KeyPassedAfterHandledIsDeliveredBeforeTheProgramGetsIt) {
  Desk d;
  Keyboard& kb = d.desk.Keys();
  const Hwnd top = d.desk.AddTopWindow(u"Notepad", u"N");
  const Hwnd edit = d.desk.AddEdit(top, u"abc");
  d.desk.Focus(edit);
  std::vector<std::pair<std::uint32_t, std::u16string>> delivered;
  kb.SetLowLevelHook(
      [](const KeyMoment& m) {
        return m.key.vkCode == VK_BACK && !(m.key.flags & LLKHF_UP) ? KeyVerdict::kPassAfterHandled
                                                                    : KeyVerdict::kPass;
      },
      [&](const KeyMoment& m, KeyVerdict) {
        delivered.emplace_back(m.key.vkCode, d.desk.Windows().SendGetText(edit, 100));
      });
  d.desk.Windows().SendMessage(edit, EM_SETSEL, 3, 3);
  d.desk.Tap('X');  // waits for the loop
  d.desk.KeyDown(VK_BACK);
  // Every key before the Backspace, and the Backspace itself, were delivered while the text
  // still held the character it removes.
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_EQ(delivered[2].first, VK_BACK);
  EXPECT_EQ(delivered[2].second, u"abcx");
  EXPECT_EQ(d.desk.Windows().SendGetText(edit, 100), u"abc");
}

TEST(SimKeyboard, CzechLayoutAndDeadKeys) {
  Desk d;
  Keyboard& kb = d.desk.Keys();
  KeyboardState none{};
  KeyboardState shift{};
  shift[VK_SHIFT] = 0x80;
  std::uint16_t ch = 0;
  // The dead key of the Czech layout: scan 13, vk 191, negative from MapVirtualKey.
  EXPECT_EQ(d.desk.ScanCode(VK_OEM_2), 13u);
  EXPECT_LT(static_cast<std::int32_t>(kb.MapVirtualKey(VK_OEM_2, MAPVK_VK_TO_CHAR)), 0);
  EXPECT_EQ(kb.MapVirtualKey('A', MAPVK_VK_TO_CHAR), 'A');
  // The number row gives accented letters, with Shift the digits.
  EXPECT_EQ(kb.ToAsciiEx('2', 3, none, ch, 0, kLayoutCzech), 1);
  EXPECT_EQ(ch, 0xEC);  // ě
  EXPECT_EQ(kb.ToAsciiEx('2', 3, shift, ch, 0, kLayoutCzech), 1);
  EXPECT_EQ(ch, '2');
  EXPECT_EQ(kb.ToAsciiEx('Z', 0x15, none, ch, 0, kLayoutCzech), 1);
  EXPECT_EQ(ch, 'z');  // QWERTZ
  // Acute, then a; Shift+dead (caron), then S; dead, then b does not combine.
  EXPECT_EQ(kb.ToAsciiEx(VK_OEM_2, 13, none, ch, 0, kLayoutCzech), -1);
  EXPECT_EQ(kb.ToAsciiEx('A', 0x1E, none, ch, 0, kLayoutCzech), 1);
  EXPECT_EQ(ch, 0xE1);  // á
  EXPECT_EQ(kb.ToAsciiEx(VK_OEM_2, 13, shift, ch, 0, kLayoutCzech), -1);
  EXPECT_EQ(kb.ToAsciiEx('S', 0x1F, shift, ch, 0, kLayoutCzech), 1);
  EXPECT_EQ(ch, 0x8A);  // Š
  EXPECT_EQ(kb.ToAsciiEx(VK_OEM_2, 13, none, ch, 0, kLayoutCzech), -1);
  EXPECT_EQ(kb.ToAsciiEx('B', 0x30, none, ch, 0, kLayoutCzech), 2);
  EXPECT_EQ(ch, 0xB4 | ('b' << 8));
  // Typing through the focused edit: the control combines the dead keys itself.
  const Hwnd top = d.desk.AddTopWindow(u"Notepad", u"N");
  const Hwnd edit = d.desk.AddEdit(top, u"");
  d.desk.Focus(edit);
  d.desk.Type(u"ďábelské Ó");
  EXPECT_EQ(d.desk.Edit(edit)->Text(), u"ďábelské Ó");
  // The US layout has no dead keys.
  EXPECT_EQ(kb.ToAsciiEx(VK_OEM_2, 0x35, none, ch, 0, kLayoutUs), 1);
  EXPECT_EQ(ch, '/');
}

TEST(SimClock, HooksTimersAndPostedMessagesRunInOrder) {
  Desk d;
  std::vector<std::string> order;
  const Hwnd top = d.desk.AddTopWindow(u"App", u"A");
  const Hwnd button = d.desk.AddButton(top, u"OK");
  d.desk.Access().SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS,
                                  [&](const WinEvent&) { order.push_back("focus event"); });
  d.loop.SetTimer(50, [&] { order.push_back("tick 50 at " + std::to_string(d.loop.Now())); });
  const TimerId slow =
      d.loop.SetTimer(120, [&] { order.push_back("tick 120 at " + std::to_string(d.loop.Now())); });
  d.desk.Focus(button);
  d.loop.AdvanceBy(130'000);
  d.loop.KillTimer(slow);
  d.loop.AdvanceBy(20'000);
  EXPECT_EQ(order, (std::vector<std::string>{"focus event", "tick 50 at 50000", "tick 50 at 100000",
                                             "tick 120 at 120000", "tick 50 at 150000"}));
  // A synchronous sound spends its length of virtual time; a missing file is not played.
  EXPECT_FALSE(d.desk.Sounds().PlaySoundFile("/nonexistent/stop.wav", SND_SYNC));
  EXPECT_TRUE(d.desk.Sounds().Played().empty());
  // The system voice: WaitUntilDone waits at most its time on the virtual clock.
  SimSystemVoice& voice = d.desk.Voice();
  EXPECT_EQ(voice.CreateVoice(), nullptr);  // no voices installed: as without SAPI
  voice.Install({u"Wine Default Voice"});
  voice.SetMicrosPerChar(100'000);
  auto v = voice.CreateVoice();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Speak(u"ahoj", SVSFlagsAsync | SVSFPurgeBeforeSpeak), 0);
  const auto before = d.loop.Now();
  EXPECT_FALSE(v->WaitUntilDone(100));
  EXPECT_EQ(d.loop.Now() - before, 100'000);
  EXPECT_TRUE(v->WaitUntilDone(5000));
  EXPECT_EQ(d.loop.Now() - before, 400'000);
  EXPECT_EQ(voice.Spoken(), (std::vector<std::u16string>{u"ahoj"}));
}

TEST(SimShellAndMouse, AppBarsAndSyntheticClicks) {
  Desk d;
  const Hwnd band = d.desk.AddTopWindow(u"ThunderForm", u"Quellon - Info", {0, 0, 1280, 40});
  AppBarData data;
  data.hwnd = band;
  EXPECT_EQ(d.desk.ShellPort().AppBarMessage(ABM_NEW, data), 1u);
  data.edge = ABE_TOP;
  data.rect = {0, 0, 1280, 40};
  d.desk.ShellPort().AppBarMessage(ABM_SETPOS, data);
  EXPECT_EQ(data.rect, (Rect{0, 0, 1280, 40}));
  // A second bar at the top lands below the first.
  const Hwnd other = d.desk.AddTopWindow(u"Bar", u"B");
  AppBarData second{other, 0, ABE_TOP, {0, 0, 1280, 30}, 0};
  d.desk.ShellPort().AppBarMessage(ABM_NEW, second);
  d.desk.ShellPort().AppBarMessage(ABM_SETPOS, second);
  EXPECT_EQ(second.rect, (Rect{0, 40, 1280, 70}));
  // A click moves the pointer relatively: acceleration doubles long moves unless switched off.
  const Hwnd app = d.desk.AddTopWindow(u"App", u"A", {200, 200, 600, 600});
  const Hwnd ok = d.desk.AddButton(app, u"OK", BS_PUSHBUTTON);
  Rect r;
  d.ws.GetWindowRect(ok, r);
  d.desk.MoveMouse(0, 0);
  d.desk.Keys().SetMouseParams({0, 0, 0});
  d.desk.Keys().SendInput({Input::Mouse(r.left + 5, r.top + 5, MOUSEEVENTF_MOVE),
                           Input::Mouse(0, 0, MOUSEEVENTF_LEFTDOWN),
                           Input::Mouse(0, 0, MOUSEEVENTF_LEFTUP)});
  d.loop.PumpPending();
  ASSERT_EQ(d.desk.Clicks().size(), 1u);
  EXPECT_EQ(d.desk.Clicks()[0].at, (Point{r.left + 5, r.top + 5}));
  EXPECT_EQ(d.desk.FocusWindow(), ok);
  // The object under the point is the button.
  AccessibleChild hit = d.desk.Access().ObjectFromPoint(r.left + 5, r.top + 5);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit.object->Role(hit.childId), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(d.desk.Access().WindowFromObject(hit.object), ok);
}

}  // namespace
}  // namespace quellon::platform
