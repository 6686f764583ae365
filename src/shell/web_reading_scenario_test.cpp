// Scenario tests of reading web pages and DirectUI views with the whole program running: the
// user presses caret keys on the simulated desktop, the hook's gate lets them through, the page
// or view moves its caret, the keyboard handler posts the caret key to the main window, and the
// main window's procedure has the reader speak. What is checked is what was heard, in order.
#include <gtest/gtest.h>

#include <memory>
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

using namespace platform;
using Heard = std::vector<std::u16string>;

class NoClock : public LocalClock {
 public:
  LocalTime GetLocalTime() override { return {2026, 12, 9, 10, 0, 0, 0}; }
};

using testing::JournalSound;

struct Session {
  Session() {
    folder.Write("qlnd.ini", "");
    for (const char* cue : {"select", "del", "stop"}) {
      folder.Write(std::string("snd/") + cue + ".wav", "RIFF");
    }
    browser = desk.AddTopWindow(u"IEFrame", u"Zprávy - Internet", {0, 0, 800, 600});
    page->text = u"Dobrý den, vítejte\nNapište vzkaz sem a odešlete ho\nKonec";
    SimHtmlDocument::Element area;
    area.tag = u"TEXTAREA";
    area.rect = {0, 16, 120, 32};
    area.clientWidth = 120;
    page->elements.push_back(area);
    view = desk.AddWebView(browser, page);
    desk.Find(view)->rect = {0, 40, 800, 600};
    desk.Focus(view);
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
  void Settle() {
    Ms(500);
    log.clear();
  }
  Heard Take() {
    Ms(1);
    Heard out;
    for (const auto& l : log) {
      if (l.rfind(u"say:", 0) == 0 || l.rfind(u"cue:", 0) == 0) out.push_back(l);
    }
    log.clear();
    return out;
  }
  std::u16string Said(std::u16string_view text) const {
    const std::u16string spoken =
        text.size() == 1 ? main->Strings()->CharName(text) : std::u16string(text);
    return u"say:" + ApplyDictionary(engine->Dictionary(), spoken);
  }
  // A file manager's DirectUI view with a three-line text object; the focus goes to it.
  void OpenDirectUIView() {
    explorer = desk.AddTopWindow(u"CabinetWClass", u"Dokumenty", {100, 100, 700, 500});
    dui = desk.AddDirectUIView(explorer, {100, 130, 600, 400});
    auto client = SimAccessible::Make(ROLE_SYSTEM_PANE, u"", u"", 0, {100, 130, 600, 400});
    client->Add(SimAccessible::Make(ROLE_SYSTEM_TEXT, u"Popis", u"Soubor\rÚpravy zobrazit\rKonec",
                                    0, {120, 150, 420, 198}));
    desk.SetClientAccessible(dui, client);
    desk.Focus(dui);
    Settle();
  }

  testing::TestFolder folder;
  SimEventLoop loop;
  SimDesktop desk{loop};
  core::IniProfile profile;
  NoClock clock;
  SimWaveMapper waveOut{loop, 2};
  testing::SimMainForm form{desk};
  std::vector<std::u16string> log;
  JournalSound sound{log};
  FakeEngine* engine = nullptr;
  std::shared_ptr<SimHtmlDocument> page = std::make_shared<SimHtmlDocument>();
  Hwnd browser = 0, view = 0, explorer = 0, dui = 0;
  std::unique_ptr<frmMain> main;
};

TEST(WebReadingScenario, CaretKeysInAPageSpeakCharactersWordsAndTheSelection) {
  Session s;
  s.desk.Tap(VK_RIGHT);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"o")}));
  s.desk.Tap(VK_RIGHT, {VK_LCONTROL});
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"den, ")}));
  s.desk.Tap(VK_RIGHT, {VK_LSHIFT});
  EXPECT_EQ(s.Take(), (Heard{u"cue:select", u"say:"}));
  s.desk.Tap(VK_RIGHT, {VK_LSHIFT});
  EXPECT_EQ(s.Take(), (Heard{u"cue:select", s.Said(u"d")}));
  // The page got every key: the reading came after it had moved its caret.
  EXPECT_EQ(s.page->selEnd, 8);
}

TEST(WebReadingScenario, BackspaceInAPageSpeaksTheRememberedCharacter) {
  Session s;
  for (int i = 0; i < 3; ++i) s.desk.Tap(VK_RIGHT);
  s.Take();
  s.desk.Tap(VK_BACK);
  EXPECT_EQ(s.Take(), (Heard{u"cue:del", s.Said(u"b")}));
  EXPECT_EQ(s.page->text.substr(0, 5), u"Dorý ");
  s.desk.Tap(VK_DELETE);
  EXPECT_EQ(s.Take(), (Heard{u"cue:del", s.Said(u"r")}));
  EXPECT_EQ(s.page->text.substr(0, 5), u"Doý d");
}

TEST(WebReadingScenario, UpAndDownReadTheLineAndTheTextAreasLine) {
  Session s;
  s.desk.Tap(VK_DOWN);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"Napište vzkaz s")}));
  s.desk.Tap(VK_DOWN);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"Konec")}));
  // The private message 0x8010 with wParam 1 reads the line too; with another wParam nothing.
  s.loop.PostMessage(s.form.Handle(), MSG_READ_WEB_LINE, 1, 0);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"Konec")}));
  s.loop.PostMessage(s.form.Handle(), MSG_READ_WEB_LINE, 0, 0);
  EXPECT_EQ(s.Take(), Heard{});
}

TEST(WebReadingScenario, AHungPageCostsASecondAndSaysNothing) {
  Session s;
  s.page->answerMs = 60'000;
  const auto before = s.loop.Now();
  s.desk.Tap(VK_RIGHT);
  EXPECT_EQ(s.Take(), Heard{});
  EXPECT_LT(s.loop.Now() - before, 1'100'000);
  // It answers again: reading goes on.
  s.page->answerMs = 0;
  s.desk.Tap(VK_RIGHT);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"b")}));
}

TEST(WebReadingScenario, CaretKeysInADirectUIView) {
  Session s;
  s.OpenDirectUIView();
  // The caret on the second line after "Úpravy " (7+7+4+6+6+6+3 = 39 pixels in).
  s.desk.SetDrawnCaret(s.dui, {20 + 39, 36, 20 + 40, 52});
  s.desk.Tap(VK_RIGHT);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"z")}));
  s.desk.Tap(VK_RIGHT, {VK_LCONTROL});
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"zobrazit")}));
  s.desk.Tap(VK_UP);
  EXPECT_EQ(s.Take(), (Heard{s.Said(u"Úpravy zobrazit")}));
  // Beyond the line's end: speech only stops.
  s.desk.SetDrawnCaret(s.dui, {20 + 200, 36, 20 + 201, 52});
  s.desk.Tap(VK_LEFT);
  EXPECT_EQ(s.Take(), (Heard{u"say:"}));
}

}  // namespace
}  // namespace quellon::shell
