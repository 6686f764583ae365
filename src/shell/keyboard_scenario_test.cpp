// Scenario tests of the keyboard: a user types and presses command keys on the simulated
// desktop while the whole program runs (the hook's gate, the main thread's handling, the echo,
// the caret readers, focus tracking), and the test checks what was heard, in order, and which
// keys the focused program received.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "shell/main_window.h"
#include "speech/dictionary.h"
#include "testing/journal_sound.h"
#include "testing/sim_main_form.h"
#include "testing/test_folder.h"

namespace quellon::shell {
namespace {

using namespace platform;  // virtual keys, roles, messages

class FixedClock : public LocalClock {
 public:
  LocalTime GetLocalTime() override { return {2026, 12, 9, 8, 5, 0, 0}; }
};

using testing::JournalSound;

struct Keys {
  explicit Keys(bool english = false, bool hookFails = false) {
    folder.Write("qlnd.ini", english ? "[General]\nLang=en\n" : "");
    for (const char* cue : {"tlačítko", "select", "del", "stop", "close", "edit text", "check box",
                            "push button", "radio button"}) {
      folder.Write(std::string("snd/") + cue + ".wav", "RIFF");
    }
    desk.SetKeyboardHooksFail(hookFails);
    note = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
    edit = desk.AddEdit(note, u"", {.multiline = true});
    desk.Focus(edit);
    Ms(1000);
    main = std::make_unique<frmMain>(
        core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, sound, desk.Voice(),
                    clock, waveOut, desk.Html(), desk.ClipboardPort()},
        form, form, [this](const std::filesystem::path&) {
          auto e = std::make_unique<FakeEngine>(log);
          engine = e.get();
          return e;
        });
    main->Load(folder.Path());
    Settle();
  }
  void Ms(std::int64_t ms) { loop.AdvanceBy(ms * 1000); }
  // Lets the focus tick and the key deliveries run, then forgets what was heard so far.
  void Settle() {
    Ms(500);
    log.clear();
  }
  // What was said and which cues played, in order, since the last Settle.
  std::vector<std::u16string> Heard() {
    Ms(1);
    std::vector<std::u16string> out;
    for (const auto& l : log) {
      if (l.rfind(u"say:", 0) == 0 || l.rfind(u"cue:", 0) == 0) out.push_back(l);
    }
    log.clear();
    return out;
  }
  // How a one-character text is heard: its name, through the (empty) dictionary.
  std::u16string Name(std::u16string_view c) const {
    const auto& strings = *main->Strings();
    return u"say:" + ApplyDictionary(engine->Dictionary(), strings.CharName(c));
  }
  std::u16string Spoken(std::u16string_view text) const {
    return u"say:" + ApplyDictionary(engine->Dictionary(), text);
  }
  bool ProgramGot(std::uint32_t vk) const {
    const auto& keys = desk.DeliveredKeys();
    return std::any_of(keys.begin(), keys.end(), [vk](const auto& k) { return k.vk == vk; });
  }
  void SetText(Hwnd w, std::u16string_view text, std::int32_t caret) {
    desk.SetText(w, std::u16string(text));
    desk.Windows().SendMessage(w, EM_SETSEL, caret, caret);
  }

  testing::TestFolder folder;
  SimEventLoop loop;
  SimDesktop desk{loop};
  core::IniProfile profile;
  FixedClock clock;
  SimWaveMapper waveOut{loop, 2};
  testing::SimMainForm form{desk};
  std::vector<std::u16string> log;
  JournalSound sound{log};
  FakeEngine* engine = nullptr;
  Hwnd note = 0, edit = 0;
  std::unique_ptr<frmMain> main;
};

using Heard = std::vector<std::u16string>;

TEST(KeyboardScenario, TypedLettersAndSpaceAreEchoedByName) {
  Keys k;
  k.desk.Type(u"aB ");
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"a"), k.Name(u"B"), k.Name(u" ")}));
  EXPECT_EQ(k.desk.Windows().SendGetText(k.edit, 100), u"aB ");
  // Enter, Tab and arrows have no character worth echoing here; Enter gives a control code.
  k.desk.Tap(VK_RETURN);
  EXPECT_TRUE(k.Heard().empty());
}

TEST(KeyboardScenario, CzechDeadKeysAreAppliedByTheEchoItself) {
  Keys k;
  const std::uint32_t dead = 191;
  k.desk.Tap(dead);
  k.desk.Tap('A');
  k.desk.Tap(dead);
  k.desk.Tap('A', {VK_LSHIFT});
  k.desk.Tap(dead, {VK_LSHIFT});  // caron; Shift is let go before the letter
  k.desk.Tap('S');
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"á"), k.Name(u"Á"), k.Name(u"š")}));
  // A letter without an accented form: the key's own code, the capital; the dead key is gone.
  k.desk.Tap(dead);
  k.desk.Tap('B');
  k.desk.Tap('A');
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"B"), k.Name(u"a")}));
  // An arrow clears it and says nothing.
  k.desk.Tap(dead);
  k.desk.Tap(VK_END);
  k.desk.Tap('E');
  const Heard heard = k.Heard();
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard.back(), k.Name(u"e"));
}

TEST(KeyboardScenario, CommandKeysAreSwallowedOnPressAndRelease) {
  Keys k;
  EXPECT_TRUE(k.desk.KeyDown(VK_LCONTROL) == false);
  k.desk.KeyDown(VK_LSHIFT);
  EXPECT_TRUE(k.desk.KeyDown(VK_F2));
  EXPECT_TRUE(k.desk.KeyUp(VK_F2));
  k.desk.KeyUp(VK_LSHIFT);
  k.desk.KeyUp(VK_LCONTROL);
  EXPECT_FALSE(k.ProgramGot(VK_F2));
  const Heard heard = k.Heard();
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(heard[0], u"cue:tlačítko");
  // The focused object is announced after the cue (the edit's role cue, then its sentence).
  EXPECT_EQ(heard.back().rfind(u"say:", 0), 0u);

  // Ctrl+Shift+F8 outside a text field: the press is swallowed, the release passed, no reading.
  const Hwnd button = k.desk.AddButton(k.note, u"OK");
  k.desk.Focus(button);
  k.Settle();
  k.desk.KeyDown(VK_LCONTROL);
  k.desk.KeyDown(VK_LSHIFT);
  EXPECT_TRUE(k.desk.KeyDown(VK_F8));
  EXPECT_FALSE(k.desk.KeyUp(VK_F8));
  k.desk.KeyUp(VK_LSHIFT);
  k.desk.KeyUp(VK_LCONTROL);
  k.Ms(2000);
  EXPECT_FALSE(k.main->ReadTimerEnabled());
}

TEST(KeyboardScenario, NavigationModeSwallowsArrowsAndWalksObjects) {
  Keys k;
  k.desk.Tap(VK_F7, {VK_LCONTROL, VK_LSHIFT});
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"navigace zapnuto")}));
  EXPECT_TRUE(k.main->State().NavigationMode);
  EXPECT_TRUE(k.form.checks[u"mnuNavBack"]);
  // Down right after the toggle is already decided by the new mode: it never reaches the edit.
  EXPECT_TRUE(k.desk.KeyDown(VK_DOWN));
  EXPECT_TRUE(k.desk.KeyUp(VK_DOWN));
  EXPECT_FALSE(k.ProgramGot(VK_DOWN));
  k.Heard();
  k.desk.Tap(VK_F7, {VK_LCONTROL, VK_LSHIFT});
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"navigace vypnuto")}));
  EXPECT_FALSE(k.desk.KeyDown(VK_DOWN));
  k.desk.KeyUp(VK_DOWN);
  EXPECT_TRUE(k.ProgramGot(VK_DOWN));
}

TEST(KeyboardScenario, CtrlCSpeaksTheCopiedTextAndTheCopyGoesThrough) {
  Keys k;
  k.desk.ClipboardPort().SetText(u"zkopírovaný text");
  k.desk.Tap('C', {VK_LCONTROL});
  EXPECT_TRUE(k.ProgramGot('C'));
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"zkopírovaný text")}));
}

TEST(KeyboardScenario, LeftCtrlStopsSpeechAndContinuousReadingRightCtrlDoesNot) {
  Keys k;
  k.SetText(k.edit, u"první\r\ndruhý\r\ntřetí", 0);
  k.Settle();
  k.desk.Tap(VK_F8, {VK_LCONTROL, VK_LSHIFT});
  k.Ms(100);
  EXPECT_TRUE(k.main->ReadTimerEnabled());
  k.log.clear();
  k.desk.Tap(VK_RCONTROL);
  k.Ms(100);
  EXPECT_TRUE(k.main->ReadTimerEnabled());
  EXPECT_EQ(std::count(k.log.begin(), k.log.end(), u"reset"), 0);
  k.desk.Tap(VK_LCONTROL);
  k.Ms(100);
  EXPECT_FALSE(k.main->ReadTimerEnabled());
  EXPECT_EQ(std::count(k.log.begin(), k.log.end(), u"reset"), 1);
}

TEST(KeyboardScenario, ContinuousReadingPressesDownOnTheSecondQuietTick) {
  Keys k;
  k.SetText(k.edit, u"první\r\ndruhý\r\ntřetí", 0);
  k.Settle();
  k.desk.Tap(VK_F8, {VK_LCONTROL, VK_LSHIFT});
  k.engine->speaking = true;  // the first line is still being spoken
  k.Ms(1000);                 // two ticks: the countdown stays at 2
  EXPECT_EQ(k.Heard(), Heard{});
  k.engine->speaking = false;
  k.Ms(500);  // 2 -> 1
  EXPECT_EQ(k.Heard(), Heard{});
  k.Ms(500);  // 1 -> 0: Down, and the line reader speaks the next line
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"druhý")}));
  k.Ms(500);  // still quiet: the next Down at once
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"třetí")}));
}

TEST(KeyboardScenario, NumericPadResizesTheInfoBandOnlyWhileItIsShown) {
  Keys k;
  k.main->Settings()->SetInfoTextSize(21);
  k.desk.Tap(VK_SUBTRACT);
  EXPECT_EQ(k.main->Settings()->InfoTextSize(), 21);  // band hidden: not looked at
  // The band's own part comes later; here the null band is never visible, so the rows stay off.
  k.desk.Tap(VK_ADD);
  EXPECT_EQ(k.main->Settings()->InfoTextSize(), 21);
}

TEST(KeyboardScenario, CapsLockTwiceInBothLanguages) {
  Keys cz;
  cz.desk.Tap(VK_CAPITAL);
  cz.desk.Tap(VK_CAPITAL);
  EXPECT_EQ(cz.Heard(), (Heard{cz.Spoken(u"velká zapnuto"), cz.Spoken(u"velká vypnuto")}));
  Keys en(true);
  en.desk.Tap(VK_CAPITAL);
  en.desk.Tap(VK_NUMLOCK);
  EXPECT_EQ(en.Heard(), (Heard{en.Spoken(u"capitals on"), en.Spoken(u"numlock on")}));
  // With Caps Lock on, a letter is echoed as the capital.
  en.desk.Tap('Q');
  EXPECT_EQ(en.Heard(), (Heard{en.Name(u"Q")}));
}

TEST(KeyboardScenario, SpaceOnCheckBoxSaysItsStateOnPushButtonItsName) {
  Keys k;
  const Hwnd box = k.desk.AddButton(k.note, u"Zvuk", BS_AUTOCHECKBOX);
  k.desk.Focus(box);
  k.Settle();
  k.desk.Tap(VK_SPACE);
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"zatrženo")}));
  const Hwnd push = k.desk.AddButton(k.note, u"OK");
  k.desk.Focus(push);
  k.Settle();
  k.desk.Tap(VK_SPACE);
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u" ")}));
}

TEST(KeyboardScenario, ListsAndComboBoxesEchoNothing) {
  Keys k;
  const Hwnd list = k.desk.AddListBox(k.note, {u"jablko", u"hruška"});
  k.desk.Focus(list);
  k.Settle();
  k.desk.Type(u"h");
  for (const auto& h : k.Heard()) EXPECT_NE(h, k.Name(u"h"));
}

TEST(KeyboardScenario, CaretKeysReadAfterTheControlMovedDeleteBeforeIt) {
  Keys k;
  k.SetText(k.edit, u"abcd efgh", 0);
  k.Settle();
  // Ctrl+Right by a word (from the field's first reading, at 0): the word after the caret and
  // the separators after it; Ctrl+Left back by one word to the start stops there.
  k.desk.Tap(VK_RIGHT, {VK_LCONTROL});
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"efgh")}));
  k.desk.Tap(VK_HOME);
  k.Heard();
  k.desk.Tap(VK_RIGHT);
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"b")}));
  k.desk.Tap(VK_RIGHT);
  k.desk.Tap(VK_RIGHT);
  k.Heard();
  // Backspace after the third character: the cue and the character it removes.
  k.desk.Tap(VK_BACK);
  EXPECT_EQ(k.Heard(), (Heard{u"cue:del", k.Name(u"c")}));
  EXPECT_EQ(k.desk.Windows().SendGetText(k.edit, 100), u"abd efgh");
  k.desk.Tap(VK_DELETE);
  EXPECT_EQ(k.Heard(), (Heard{u"cue:del", k.Name(u"d")}));
  // Up and Down read the whole line.
  k.desk.Tap(VK_DOWN);
  EXPECT_EQ(k.Heard(), (Heard{k.Spoken(u"ab efgh")}));
}

TEST(KeyboardScenario, TimeAndWindowAndFrontCommands) {
  Keys k;
  k.desk.Tap('T', {VK_LCONTROL, VK_LSHIFT});
  const Heard time = k.Heard();
  ASSERT_EQ(time.size(), 1u);
  EXPECT_NE(time[0].find(u"8"), std::u16string::npos);
  // Ctrl+Shift+F9: the texts of the foreground window's children, also on the clipboard.
  k.desk.AddStatic(k.note, u"Popisek okna");
  k.Settle();
  k.desk.Tap(VK_F9, {VK_LCONTROL, VK_LSHIFT});
  const Heard window = k.Heard();
  ASSERT_EQ(window.size(), 1u);
  EXPECT_NE(window[0].find(u"popisek okna"), std::u16string::npos);
  EXPECT_NE(k.desk.ClipboardPort().GetText().value_or(u"").find(u"Popisek okna"),
            std::u16string::npos);
  // Ctrl+Shift+F12: Quellon comes to the front and the next tick announces it as new.
  k.desk.Tap(VK_F12, {VK_LCONTROL, VK_LSHIFT});
  k.Ms(100);
  EXPECT_EQ(k.desk.Foreground(), k.form.Handle());
}

TEST(KeyboardScenario, FallbackLibraryDrivesTheSameCommandsWithNothingSwallowed) {
  Keys k(false, true);
  // The library looks at the key state every 20 ms: each key is held a little longer.
  auto press = [&k](std::uint32_t vk, std::initializer_list<std::uint32_t> modifiers = {}) {
    for (std::uint32_t m : modifiers) k.desk.KeyDown(m);
    k.Ms(30);
    EXPECT_FALSE(k.desk.KeyDown(vk));  // nothing is swallowed
    k.Ms(30);
    EXPECT_FALSE(k.desk.KeyUp(vk));
    k.Ms(30);
    for (std::uint32_t m : modifiers) k.desk.KeyUp(m);
    k.Ms(30);
  };
  press('A');
  press('B', {VK_LSHIFT});
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"a"), k.Name(u"B")}));
  // The dead key on this path: acute, then E.
  press(191);
  press('E');
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"é")}));
  // An arrow key leaves no accent pending.
  press(VK_END);
  press('E');
  const Heard afterArrow = k.Heard();
  ASSERT_FALSE(afterArrow.empty());
  EXPECT_EQ(afterArrow.back(), k.Name(u"e"));
  // Ctrl+Shift+F2 reaches the program on this path, and still announces the focused object.
  press(VK_F2, {VK_LCONTROL, VK_LSHIFT});
  EXPECT_TRUE(k.ProgramGot(VK_F2));
  const Heard heard = k.Heard();
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard[0], u"cue:tlačítko");
  // Ctrl+Shift+F7 walks to the previous object instead of switching navigation mode.
  press(VK_F7, {VK_LCONTROL, VK_LSHIFT});
  EXPECT_FALSE(k.main->State().NavigationMode);
  // The caret keys read as on the hook path.
  k.SetText(k.edit, u"xyz", 0);
  k.Settle();
  press(VK_RIGHT);
  EXPECT_EQ(k.Heard(), (Heard{k.Name(u"y")}));
}

}  // namespace
}  // namespace quellon::shell
