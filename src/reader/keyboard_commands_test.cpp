// The gate's swallow table, the numeric-pad rows against a shown info band, the posted caret and
// navigation messages, and the mouse announcement, on the simulated desktop.
#include "reader/keyboard_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/item_list.h"
#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "reader/mouse_announcer.h"
#include "testing/sim_program.h"
#include "testing/test_folder.h"
#include "text/text.h"

namespace quellon::reader {
namespace {

using namespace platform;

KeyMoment Moment(std::uint32_t vk, bool up, bool ctrl = false, bool shift = false) {
  KeyMoment m;
  m.key.vkCode = vk;
  m.key.flags = up ? LLKHF_UP : 0;
  m.ctrl = ctrl;
  m.shift = shift;
  return m;
}

TEST(KeyGate, CommandKeysNavigationArrowsAndDeleteInText) {
  KeyGateState gate;
  for (std::uint32_t vk : {VK_F2, VK_F5, VK_F9, VK_F12}) {
    EXPECT_EQ(DecideKey(Moment(vk, false, true, true), gate), KeyVerdict::kSwallow) << vk;
    EXPECT_EQ(DecideKey(Moment(vk, true, true, true), gate), KeyVerdict::kSwallow) << vk;
    EXPECT_EQ(DecideKey(Moment(vk, false, true, false), gate), KeyVerdict::kPass) << vk;
    EXPECT_EQ(DecideKey(Moment(vk, true, false, true), gate), KeyVerdict::kPass) << vk;
  }
  // F8: the press always, the release only in text.
  EXPECT_EQ(DecideKey(Moment(VK_F8, false, true, true), gate), KeyVerdict::kSwallow);
  EXPECT_EQ(DecideKey(Moment(VK_F8, true, true, true), gate), KeyVerdict::kPass);
  gate.textRole = true;
  EXPECT_EQ(DecideKey(Moment(VK_F8, true, true, true), gate), KeyVerdict::kSwallow);
  // Delete and Backspace wait for the reading in a plain text field, never in a web page, and
  // never on the release.
  EXPECT_EQ(DecideKey(Moment(VK_BACK, false), gate), KeyVerdict::kPassAfterHandled);
  EXPECT_EQ(DecideKey(Moment(VK_DELETE, false, true), gate), KeyVerdict::kPassAfterHandled);
  EXPECT_EQ(DecideKey(Moment(VK_DELETE, true), gate), KeyVerdict::kPass);
  gate.webView = true;
  EXPECT_EQ(DecideKey(Moment(VK_BACK, false), gate), KeyVerdict::kPass);
  // Ctrl+Shift+F7 flips navigation mode in the gate at its release; the arrows follow it.
  EXPECT_EQ(DecideKey(Moment(VK_DOWN, false), gate), KeyVerdict::kPass);
  EXPECT_EQ(DecideKey(Moment(VK_F7, false, true, true), gate), KeyVerdict::kSwallow);
  EXPECT_FALSE(gate.navigationMode);
  EXPECT_EQ(DecideKey(Moment(VK_F7, true, true, true), gate), KeyVerdict::kSwallow);
  EXPECT_TRUE(gate.navigationMode);
  for (std::uint32_t vk : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT}) {
    EXPECT_EQ(DecideKey(Moment(vk, false), gate), KeyVerdict::kSwallow);
    EXPECT_EQ(DecideKey(Moment(vk, true), gate), KeyVerdict::kSwallow);
  }
  EXPECT_EQ(DecideKey(Moment(VK_LEFT, false), gate), KeyVerdict::kPass);
  DecideKey(Moment(VK_F7, true, true, true), gate);
  EXPECT_EQ(DecideKey(Moment(VK_UP, true), gate), KeyVerdict::kPass);
}

class ShownBand : public aids::InfoBand {
 public:
  bool IsShown() const override { return visible; }
  void SetText(const std::u16string&) override {}
  void ShowBand() override {
    visible = true;
    ++shows;
  }
  void HideBand() override {
    visible = false;
    ++hides;
  }
  bool BandVisible() const override { return visible; }
  void UnloadBand() override {}
  bool visible = true;
  int shows = 0, hides = 0;
};

class RecordingWeb : public access::WebReader, public access::DirectUIReader {
 public:
  void ReadWebLine() override { calls.push_back("web line"); }
  void ReadWebCaret(std::uint32_t vk, std::uint32_t code) override {
    calls.push_back("web caret " + std::to_string(vk) + " " + std::to_string(code));
  }
  std::u16string ReadDirectUIText(std::uint32_t vk, std::uint32_t) override {
    calls.push_back("directui " + std::to_string(vk));
    return u"řádek";
  }
  std::vector<std::string> calls;
};

// The command keys with a shown info band and recording web readers.
struct Rig : testing::SimProgram {
  Rig() {
    state.ProgramFolder = folder.Path();
    loop.SetWindowProc(mainWindow, [this](Hwnd, std::uint32_t m, WParam w, LParam l) {
      if (m == MSG_CARET_KEY || m == MSG_NAVIGATE_KEY) keys->OnKeyMessage(m, w, l);
      return LResult{0};
    });
    keys = std::make_unique<KeyboardCommands>(
        program, KeyboardParts{focus, caret, items, web, web, band, {}, {}, {}, {}});
    keys->HookKeyboard();
  }
  void FocusOn(std::u16string upperClass, std::int32_t role) {
    state.Focus.FocusClassName = std::move(upperClass);
    state.Focus.FocusRole = role;
    keys->FocusStateChanged();
  }

  testing::TestFolder folder;
  NullFocusAnnouncer focus;
  NullCaretReaders caret;
  access::NullItemList items;
  RecordingWeb web;
  ShownBand band;
  std::unique_ptr<KeyboardCommands> keys;
};

TEST(KeyboardCommands, NumericPadGrowsAndShrinksTheShownBand) {
  Rig r;
  r.settings.SetInfoTextSize(20);
  r.desk.Tap(VK_SUBTRACT);  // 20 - 10 is not above 10: nothing
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.settings.InfoTextSize(), 20);
  EXPECT_EQ(r.band.shows, 0);
  r.settings.SetInfoTextSize(21);
  r.desk.Tap(VK_SUBTRACT);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.settings.InfoTextSize(), 11);
  EXPECT_EQ(r.band.hides, 1);  // rebuilt: hidden and shown again
  EXPECT_EQ(r.band.shows, 1);
  EXPECT_TRUE(r.band.visible);
  r.desk.Tap(VK_ADD);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.settings.InfoTextSize(), 21);
  // No upper bound, but no overflow either.
  r.settings.SetInfoTextSize(2147483640);
  r.desk.Tap(VK_ADD);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.settings.InfoTextSize(), 2147483640);
  // A hidden band: neither key is looked at.
  r.band.visible = false;
  r.settings.SetInfoTextSize(30);
  r.desk.Tap(VK_ADD);
  r.desk.Tap(VK_SUBTRACT);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.settings.InfoTextSize(), 30);
}

TEST(KeyboardCommands, CaretKeysInWebPagesAndDirectUIViewsArePostedToTheMainWindow) {
  Rig r;
  r.FocusOn(u"INTERNET EXPLORER_SERVER", ROLE_SYSTEM_PANE);
  r.desk.Tap(VK_RIGHT, {VK_LCONTROL});
  r.desk.Tap(VK_DOWN);
  r.desk.Tap(VK_BACK);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.web.calls, (std::vector<std::string>{"web caret 39 2", "web line", "web caret 8 6"}));
  r.web.calls.clear();
  r.FocusOn(u"DIRECTUIHWND", ROLE_SYSTEM_TEXT);
  r.desk.Tap(VK_LEFT);
  r.desk.Tap(VK_NEXT);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.web.calls, (std::vector<std::string>{"directui 37", "directui 34"}));
  EXPECT_EQ(r.engine.Said().back(), u"řádek");
}

TEST(KeyboardCommands, UnhookRemovesTheHookAndTheFallbackIsUsedWhenItFails) {
  Rig r;
  EXPECT_TRUE(r.keys->IsKeyboardHooked());
  r.keys->UnhookKeyboard();
  EXPECT_FALSE(r.keys->IsKeyboardHooked());
  r.log.clear();
  r.desk.Tap('A');
  r.loop.AdvanceBy(1000);
  EXPECT_TRUE(r.engine.Said().empty());
  r.desk.SetKeyboardHooksFail(true);
  r.keys->HookKeyboard();
  EXPECT_FALSE(r.keys->IsKeyboardHooked());
  EXPECT_TRUE(r.keys->FallbackHookActive());
  r.keys->UnhookKeyboard();
  EXPECT_FALSE(r.keys->FallbackHookActive());
}

// A list whose walk can be made to run while keys come, as on the hook's own thread.
class WalkingList : public access::NullItemList {
 public:
  const std::atomic<bool>& WalkRunning() const override { return walking; }
  std::atomic<bool> walking{false};
};

TEST(KeyboardCommands, EscapeDuringAWalkPostsTheCancelMessage) {
  Rig r;
  WalkingList list;
  KeyboardCommands keys(
      r.program, KeyboardParts{r.focus, r.caret, list, r.web, r.web, r.band, {}, {}, {}, {}});
  r.keys->UnhookKeyboard();
  keys.HookKeyboard();
  std::vector<std::pair<WParam, LParam>> cancels;
  r.loop.SetWindowProc(r.mainWindow, [&](Hwnd, std::uint32_t m, WParam w, LParam l) {
    if (m == MSG_CANCEL_WALK) cancels.emplace_back(w, l);
    return LResult{0};
  });
  r.desk.Tap(VK_ESCAPE);  // no walk: nothing
  list.walking = true;
  r.desk.Tap(VK_ESCAPE);
  r.desk.Tap('A');
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(cancels, (std::vector<std::pair<WParam, LParam>>{{2, 27}}));
}

TEST(MouseAnnouncer, SaysEachNewObjectOnceAndNothingAtRest) {
  Rig r;
  const Hwnd top = r.desk.AddTopWindow(u"Dialog", u"Nastavení", {0, 0, 400, 300});
  const Hwnd ok = r.desk.AddButton(top, u"OK");
  const Hwnd box = r.desk.AddButton(top, u"Zvuk", BS_AUTOCHECKBOX);
  r.desk.SetCheck(box, true);
  const Hwnd edit = r.desk.AddEdit(top, u"text");
  PointerAnnouncer mouse(r.desk.Windows(), r.desk.Access(), r.output);
  auto centre = [&r](Hwnd w) {
    Rect rc;
    r.desk.Windows().GetWindowRect(w, rc);
    return Point{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  };
  auto heardAt = [&](Point p) {
    r.desk.MoveMouse(p.x, p.y);
    r.log.clear();
    mouse.MouseTick();
    return r.engine.Said();
  };
  const auto okSaid = heardAt(centre(ok));
  ASSERT_EQ(okSaid.size(), 1u);
  EXPECT_EQ(okSaid[0].rfind(u"ok (", 0), 0u);  // the name, then the role word in brackets
  r.log.clear();
  mouse.MouseTick();  // at rest
  EXPECT_TRUE(r.engine.Said().empty());
  const Point inside = centre(ok);
  EXPECT_TRUE(heardAt({inside.x + 1, inside.y}).empty());  // moved within the same object
  const auto boxSaid = heardAt(centre(box));
  ASSERT_EQ(boxSaid.size(), 1u);
  EXPECT_NE(boxSaid[0].find(u"zvuk ("), std::u16string::npos);
  EXPECT_NE(boxSaid[0].find(u")"), boxSaid[0].size() - 1);  // the state text follows the role
  const auto editSaid = heardAt(centre(edit));
  ASSERT_EQ(editSaid.size(), 1u);
  EXPECT_EQ(editSaid[0].find(u"("), std::u16string::npos);  // no role word for a text field
}

}  // namespace
}  // namespace quellon::reader
