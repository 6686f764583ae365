// Scenario tests of the main window's startup and shutdown on the simulated desktop (virtual
// clock), with a recording built-in engine and real settings files in a scratch folder.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "engine/vaza_vorod.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "platform/sim/sim_wave_out.h"
#include "testing/sim_main_form.h"
#include "testing/test_folder.h"

namespace quellon::shell {
namespace {

using platform::Hwnd;
using testing::TestFolder;

using RecordingEngine = FakeEngine;

using SimForm = testing::SimMainForm;

class FixedClock : public platform::LocalClock {
 public:
  platform::LocalTime GetLocalTime() override { return {2026, 12, 1, 7, 14, 5, 0}; }
};

// The settings files of the scenario; `readOnly` makes every write fail, as a write-protected
// qlnd.ini does on Windows (tests run as root here, which a file mode cannot stop).
class TestProfile : public core::IniProfile {
 public:
  bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value,
                                 const std::filesystem::path& file) override {
    if (readOnly) return false;
    return core::IniProfile::WritePrivateProfileString(section, key, value, file);
  }
  bool readOnly = false;
};

// A desktop with Notepad in front, a program folder and the main window.
struct Scenario {
  explicit Scenario(std::string_view ini = {}, bool withEngine = true,
                    std::unique_ptr<PartFactory> parts = std::make_unique<PartFactory>()) {
    if (!ini.empty()) folder.Write("qlnd.ini", ini);
    folder.Write("snd/close.wav", "RIFF");
    folder.Write("snd/tlačítko.wav", "RIFF");
    note = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
    edit = desk.AddEdit(note, u"ahoj", {.multiline = true});
    desk.Focus(edit);
    loop.AdvanceBy(1000);
    EngineFactory factory;
    if (withEngine) {
      factory = [this](const std::filesystem::path&) {
        return std::make_unique<RecordingEngine>(log);
      };
    }
    main = std::make_unique<frmMain>(
        core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                    desk.Voice(), clock, waveOut, desk.Html(), desk.ClipboardPort()},
        form, form, factory, std::move(parts));
  }
  // What the engine was asked to say, in order.
  std::vector<std::u16string> Said() const {
    std::vector<std::u16string> out;
    for (const auto& l : log) {
      if (l.rfind(u"say:", 0) == 0) out.push_back(l.substr(4));
    }
    return out;
  }
  TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  TestProfile profile;
  FixedClock clock;
  platform::SimWaveMapper waveOut{loop, 2};
  SimForm form{desk};
  std::vector<std::u16string> log;
  Hwnd note = 0, edit = 0;
  std::unique_ptr<frmMain> main;
};

TEST(MainWindowTest, StartupFolderLanguageCaptionsAndFirstAnnouncement) {
  Scenario s;
  s.main->Load(s.folder.Path() / "");  // a trailing separator is cut off
  EXPECT_EQ(s.main->ProgramFolder(), s.folder.Path());
  EXPECT_TRUE(s.main->IsWinXP());
  EXPECT_FALSE(s.main->IsEnglish());
  EXPECT_TRUE(s.main->SkippedSteps().empty());
  EXPECT_EQ(s.form.captions[u"mnuFileExit"], u"U&končit");
  EXPECT_EQ(s.form.captions[u"mnuShowInfo"], u"Info");
  EXPECT_EQ(s.form.status, u" Release: 1.2.345");
  EXPECT_EQ(s.form.windowState, 1);
  EXPECT_TRUE(s.main->KeyboardHookFlag());
  // The stored voice is selected, the wave window loaded, the default volume 50 gives 10.
  EXPECT_NE(std::find(s.log.begin(), s.log.end(), u"voice:Male"), s.log.end());
  EXPECT_NE(std::find(s.log.begin(), s.log.end(), u"wave window"), s.log.end());
  EXPECT_EQ(static_cast<RecordingEngine*>(s.main->Engine())->volume, 10);
  // The active window's title, an empty dialog text, empty name and value (lower-cased by the
  // dictionary pass).
  EXPECT_EQ(s.Said(), std::vector<std::u16string>{u"bez názvu - poznámkový blok   "});
  EXPECT_TRUE(s.main->Greeting().empty());
}

TEST(MainWindowTest, LanguageIsExactlyLowerCaseEn) {
  Scenario caps("[General]\r\nLang=EN\r\nTime=1\r\n");
  caps.main->Load(caps.folder.Path());
  EXPECT_FALSE(caps.main->IsEnglish());
  EXPECT_EQ(caps.form.captions[u"mnuShowInfo"], u"Info");
  EXPECT_EQ(caps.main->Greeting(), u"dobrý den, je 14 hodin, 5 minut, pondělí, 7.prosinec 2026 ");

  Scenario en("[General]\r\nLang=en\r\nTime=1\r\n");
  en.main->Load(en.folder.Path());
  EXPECT_TRUE(en.main->IsEnglish());
  EXPECT_EQ(en.form.captions[u"mnuShowInfo"], u"Show info band");
  EXPECT_EQ(en.main->Greeting(), u"hello, it is 14 hours, 5 minutes, Monday, 7.December 2026 ");
  en.main->OnMenu(u"mnuHelpOpen");
  ASSERT_EQ(en.desk.StartedProcesses().size(), 1u);
  EXPECT_NE(en.desk.StartedProcesses()[0].find(u"help_en.txt"), std::u16string::npos);
  EXPECT_EQ(en.desk.StartedProcesses()[0].rfind(u"notepad.exe ", 0), 0u);
}

TEST(MainWindowTest, GreetingWaitsForTheFirstFocusAnnouncement) {
  Scenario s("[General]\r\nTime=1\r\n");
  s.main->Load(s.folder.Path());
  s.loop.AdvanceBy(200'000);
  // Startup says the window title without the greeting; nothing else until a focus event.
  ASSERT_EQ(s.Said().size(), 1u);
  EXPECT_EQ(s.Said()[0].find(u"dobrý den"), std::u16string::npos);
  EXPECT_FALSE(s.main->Greeting().empty());

  const Hwnd dialog =
      s.desk.ShowMessageBox(s.note, u"Poznámkový blok", u"Uložit změny?", {u"Ano", u"Ne"});
  (void)dialog;
  s.loop.AdvanceBy(100'000);
  ASSERT_EQ(s.Said().size(), 2u);
  EXPECT_EQ(s.Said()[1].rfind(u"dobrý den, je 14 hodin, 5 minut, pondělí, 7.prosinec 2026 ", 0),
            0u);
  EXPECT_NE(s.Said()[1].find(u"poznámkový blok"), std::u16string::npos);
  EXPECT_TRUE(s.main->Greeting().empty());

  s.desk.Focus(s.edit);
  s.loop.AdvanceBy(100'000);
  ASSERT_EQ(s.Said().size(), 3u);
  EXPECT_EQ(s.Said()[2].find(u"dobrý den"), std::u16string::npos);

  Scenario quiet("[General]\r\nTime=0\r\n");
  quiet.main->Load(quiet.folder.Path());
  quiet.desk.Focus(quiet.edit);
  quiet.desk.ShowMessageBox(quiet.note, u"X", u"Y");
  quiet.loop.AdvanceBy(100'000);
  for (const auto& said : quiet.Said()) EXPECT_EQ(said.find(u"dobrý den"), std::u16string::npos);
}

TEST(MainWindowTest, ShutdownSavesSettingsAndSpeaksNothingButTheCloseCue) {
  Scenario s("[Voice]\r\nName=Male\r\n");
  s.main->Load(s.folder.Path());
  s.main->Settings()->SetVoiceVolume(70);
  s.main->Settings()->SetInfoTextFC(-255);
  s.desk.Sounds().ClearRecord();
  s.log.clear();
  s.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(s.form.closed);
  EXPECT_TRUE(s.main->Unloaded());
  EXPECT_TRUE(s.main->ShuttingDown());
  EXPECT_EQ(TestFolder::Read(s.folder.File("qlnd.ini")),
            "[Voice]\r\nName=Male\r\nVolume=70\r\nPitch=50\r\nTempo=50\r\n\r\n"
            "[Info]\r\nTextSize=20\r\nTextForegroundColor=255\r\nTextBackgroundColor=0\r\n"
            "Active=0\r\n");
  EXPECT_EQ(s.desk.Sounds().Cues(), std::vector<std::u16string>{u"close"});
  EXPECT_TRUE(s.Said().empty());
  // Later events, ticks, messages and menu commands speak nothing.
  s.desk.ShowMessageBox(s.note, u"X", u"Y");
  s.loop.PostMessage(s.form.Handle(), platform::MSG_TOGGLE_KEY, 0, 0);
  s.loop.AdvanceBy(500'000);
  s.main->OnMenu(u"mnuTime");
  s.main->Say(u"ahoj");
  EXPECT_TRUE(s.Said().empty());
  EXPECT_EQ(s.desk.Sounds().Cues(), std::vector<std::u16string>{u"close"});
  // The window procedure is the form's own again.
  s.form.formMessages.clear();
  s.loop.PostMessage(s.form.Handle(), platform::MSG_ABOUT, 1, 0);
  s.loop.AdvanceBy(1000);
  EXPECT_EQ(s.form.aboutShown, 0);
  EXPECT_EQ(s.form.formMessages, std::vector<std::uint32_t>{platform::MSG_ABOUT});
}

TEST(MainWindowTest, AProgressBarInTheForegroundPlaysTheProgressToneUntilShutdown) {
  Scenario s;
  // 16-bit mono PCM, eight samples.
  const std::string wave(
      "RIFF\x34\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0"
      "data\x10\0\0\0\x01\0\x02\0\x03\0\x04\0\x05\0\x06\0\x07\0\x08\0",
      60);
  s.folder.Write("snd/progress.wav", wave);
  const Hwnd bar = s.desk.AddProgressBar(s.note);
  s.main->Load(s.folder.Path());
  s.loop.AdvanceBy(100'000);
  EXPECT_EQ(s.waveOut.OpenCount(), 1u);  // the reserve opening, made at load
  s.desk.SetProgress(bar, 37);
  s.loop.AdvanceBy(100'000);
  ASSERT_EQ(s.waveOut.Openings().size(), 2u);
  EXPECT_EQ(s.waveOut.Openings()[1].format.nSamplesPerSec, 15095u);
  EXPECT_EQ(s.waveOut.Device(1).PlayedSamples(),
            (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  s.desk.SetProgress(bar, 0);  // "0%" makes no sound
  s.loop.AdvanceBy(100'000);
  EXPECT_EQ(s.waveOut.Openings().size(), 2u);
  s.main->OnMenu(u"mnuFileExit");
  EXPECT_EQ(s.waveOut.OpenCount(), 0u);  // the reserve is closed at shutdown
}

TEST(MainWindowTest, SayCuesAndPrivateMessages) {
  Scenario s;
  s.main->Load(s.folder.Path());
  s.log.clear();
  s.main->Say(u"a");
  s.main->Say(u"");
  const std::u16string name = s.main->Strings()->CharName(u"a");
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(s.log, (std::vector<std::u16string>{u"reset", u"say:" + name, u"reset", u"say:"}));
  s.main->PlaySoundCue(u"  TLAČÍTKO ");
  EXPECT_EQ(s.desk.Sounds().Cues().back(), u"tlačítko");

  // The about item posts 0x8011; the subclassed procedure shows the box and passes it on.
  s.form.formMessages.clear();
  s.main->OnMenu(u"mnuAbout");
  s.loop.AdvanceBy(1000);
  EXPECT_EQ(s.form.aboutShown, 1);
  EXPECT_EQ(s.form.formMessages, std::vector<std::uint32_t>{platform::MSG_ABOUT});

  // "Announce mouse" twice: unchecked, timer off.
  s.main->OnMenu(u"mnuSndMouse");
  EXPECT_TRUE(s.main->MouseTimerEnabled());
  s.main->OnMenu(u"mnuSndMouse");
  EXPECT_FALSE(s.form.MenuChecked(u"mnuSndMouse"));
  EXPECT_FALSE(s.main->MouseTimerEnabled());

  // "Activate Quellon" restores the minimised window in front.
  s.main->OnMenu(u"mnuActivatePR");
  EXPECT_EQ(s.desk.Foreground(), s.form.Handle());
  EXPECT_FALSE(s.desk.Windows().IsIconic(s.form.Handle()));
}

TEST(MainWindowTest, SystemVoiceSelectionByExactName) {
  Scenario s("[Voice]\r\nName=Zden\xECk\r\n");  // Windows-1250
  s.desk.Voice().Install({u"Microsoft Anna", u"Zdeněk"});
  s.main->Load(s.folder.Path());
  EXPECT_TRUE(s.main->SapiActive());
  EXPECT_EQ(s.desk.Voice().Selected(), 1u);
  s.desk.Voice().ClearRecord();
  s.main->Say(u"Dobrý den");
  ASSERT_EQ(s.desk.Voice().Calls().size(), 1u);
  EXPECT_EQ(s.desk.Voice().Calls()[0].text, u"<pitch absmiddle=\" 0\">dobrý den");

  s.main->SelectSapiVoice(u"zdeněk");
  EXPECT_FALSE(s.main->SapiActive());
  s.main->SelectSapiVoice(u"Zdeněk");
  EXPECT_TRUE(s.main->SapiActive());

  Scenario none("[Voice]\r\nName=Zden\xECk\r\n");  // no system voices installed
  none.main->Load(none.folder.Path());
  EXPECT_FALSE(none.main->SapiActive());
}

TEST(MainWindowTest, DamagedFilesAndMissingPartsLeaveTheProgramRunning) {
  // A damaged settings file (a NUL byte) reads as missing: every value takes its default.
  Scenario damaged(std::string("[Voice]\r\nName=X\0\r\n", 17));
  damaged.main->Load(damaged.folder.Path());
  EXPECT_EQ(damaged.main->Settings()->VoiceName(), u"Male");
  EXPECT_EQ(damaged.Said().size(), 1u);
  damaged.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(damaged.form.closed);
  EXPECT_NE(std::find(damaged.main->SkippedSteps().begin(), damaged.main->SkippedSteps().end(),
                      "unload 2"),
            damaged.main->SkippedSteps().end());
  EXPECT_EQ(damaged.desk.Sounds().Cues().back(), u"close");  // later steps still ran

  // A read-only settings file: its values are read, the save at exit fails quietly, the file
  // stays as it was and the shutdown goes on to the end.
  const std::string readOnlyIni = "[Voice]\r\nName=zuvan\r\nVolume=70\r\n";
  Scenario readOnly(readOnlyIni);
  readOnly.profile.readOnly = true;
  readOnly.main->Load(readOnly.folder.Path());
  EXPECT_EQ(readOnly.main->Settings()->VoiceName(), u"zuvan");
  EXPECT_EQ(readOnly.main->Settings()->VoiceVolume(), 70);
  readOnly.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(readOnly.form.closed);
  EXPECT_EQ(TestFolder::Read(readOnly.folder.Path() / "qlnd.ini"), readOnlyIni);
  EXPECT_EQ(readOnly.desk.Sounds().Cues().back(), u"close");

  // No "snd" folder: cues are skipped silently.
  Scenario nosnd;
  std::filesystem::remove_all(nosnd.folder.Path() / "snd");
  nosnd.main->Load(nosnd.folder.Path());
  nosnd.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(nosnd.desk.Sounds().Played().empty());
  EXPECT_TRUE(nosnd.form.closed);

  // No engine at all: the steps that need it are skipped; the window still works and closes.
  Scenario noengine({}, false);
  noengine.main->Load(noengine.folder.Path());
  EXPECT_EQ(noengine.form.status, u" Release: 1.2.345");
  EXPECT_EQ(noengine.form.captions[u"mnuTime"], u"Čas a datum");
  noengine.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(noengine.form.closed);
}

TEST(MainWindowTest, MissingVoiceLeavesTheRealEngineRunning) {
  // The real engine in a folder without any voice: startup, speech and shutdown go on.
  TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk(loop);
  platform::SimWaveOut device(loop);
  platform::SimWaveMapper sounds(loop, 2);
  TestProfile profile;
  FixedClock clock;
  SimForm form(desk);
  const Hwnd note = desk.AddTopWindow(u"Notepad", u"Bez názvu");
  desk.Focus(note);
  frmMain main(core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                           desk.Voice(), clock, sounds, desk.Html(), desk.ClipboardPort()},
               form, form, [&](const std::filesystem::path& programFolder) {
                 return std::make_unique<VazaVorod>(programFolder, loop, device);
               });
  main.Load(folder.Path());
  ASSERT_NE(main.Engine(), nullptr);
  loop.AdvanceBy(2'000'000);
  main.OnMenu(u"mnuTime");
  loop.AdvanceBy(2'000'000);
  main.OnMenu(u"mnuFileExit");
  EXPECT_TRUE(form.closed);
  EXPECT_EQ(main.Engine(), nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder.File("qlnd.ini")));
}

// Parts that write every call into one journal, and a factory that builds them.
using Journal = std::vector<std::string>;

class JournalKeyboard : public reader::KeyboardHandler {
 public:
  explicit JournalKeyboard(Journal& j) : j_(j) {}
  void HookKeyboard() override { j_.push_back("hook keyboard"); }
  void UnhookKeyboard() override { j_.push_back("unhook keyboard"); }
  void OnKeyMessage(std::uint32_t message, platform::WParam wParam, platform::LParam) override {
    j_.push_back("key message " + std::to_string(message) + " " + std::to_string(wParam));
  }
  bool IsKeyboardHooked() const override { return false; }
  void FocusStateChanged() override {}

 private:
  Journal& j_;
};

class JournalItemList : public access::ItemList {
 public:
  explicit JournalItemList(Journal& j) : j_(j) {}
  void CreateItemList() override { j_.push_back("create item list"); }
  void ReleaseItemList() override { j_.push_back("release item list"); }
  std::u16string GetDetails(std::int32_t index) override {
    j_.push_back("details " + std::to_string(index));
    return u"item";
  }
  std::int32_t Count() override { return 0; }
  std::int32_t GetItemRole(std::int32_t) override { return 0; }
  std::u16string GetItem(std::int32_t) override { return {}; }
  void Target(std::int32_t) override {}
  void DoAction(std::int32_t) override {}

 private:
  Journal& j_;
};

class JournalInfoBand : public aids::InfoBand {
 public:
  explicit JournalInfoBand(Journal& j) : j_(j) {}
  bool IsShown() const override { return shown_; }
  void SetText(const std::u16string& text) override {
    j_.push_back("band text " + std::string(text.begin(), text.end()));
  }
  void ShowBand() override {
    shown_ = true;
    j_.push_back("show band");
  }
  void HideBand() override {
    shown_ = false;
    j_.push_back("hide band");
  }
  bool BandVisible() const override { return shown_; }
  void UnloadBand() override { j_.push_back("unload band"); }

 private:
  Journal& j_;
  bool shown_ = false;
};

class JournalFrame : public aids::HighlightFrame {
 public:
  explicit JournalFrame(Journal& j) : j_(j) {}
  void LoadFrameHidden() override { j_.push_back("load frame"); }
  void UnloadFrame() override { j_.push_back("unload frame"); }
  void MoveFrame(const platform::Rect&) override { j_.push_back("move frame"); }
  void FrameHide() override { j_.push_back("hide frame"); }

 private:
  Journal& j_;
};

class JournalTone : public ProgressTone {
 public:
  explicit JournalTone(Journal& j) : j_(j) {}
  void LoadProgressSound(const std::u16string& path) override {
    j_.push_back("load tone " + std::string(path.begin(), path.end()));
  }
  void CloseProgressSound() override { j_.push_back("close tone"); }
  void PlayProgressTone(std::int32_t) override { j_.push_back("tone"); }
  bool ProgressTonePlaying() const override { return false; }

 private:
  Journal& j_;
};

class JournalReaders : public reader::CaretReaders,
                       public reader::MouseAnnouncer,
                       public access::WebReader {
 public:
  explicit JournalReaders(Journal& j) : j_(j) {}
  std::u16string EditText(Hwnd) override { return {}; }
  std::u16string CurrentLine(Hwnd) override { return {}; }
  void ReadCaret(Hwnd, std::uint32_t, std::uint32_t) override { j_.push_back("read caret"); }
  void ReadWindow() override { j_.push_back("read window"); }
  void ResetCaretPositions() override { j_.push_back("reset caret"); }
  void MouseTick() override { j_.push_back("mouse tick"); }
  void ReadWebLine() override { j_.push_back("web line"); }
  void ReadWebCaret(std::uint32_t, std::uint32_t) override { j_.push_back("web caret"); }

 private:
  Journal& j_;
};

class JournalFactory : public PartFactory {
 public:
  explicit JournalFactory(Journal& j) : j_(j) {}
  std::unique_ptr<reader::KeyboardHandler> MakeKeyboardHandler(
      const core::Program&, const reader::KeyboardParts&) override {
    return std::make_unique<JournalKeyboard>(j_);
  }
  std::unique_ptr<access::ItemList> MakeItemList(const core::Program&) override {
    return std::make_unique<JournalItemList>(j_);
  }
  std::unique_ptr<aids::InfoBand> MakeInfoBand(const core::Program&, aids::AppBarDocking&,
                                               aids::FrameFollower&) override {
    return std::make_unique<JournalInfoBand>(j_);
  }
  std::unique_ptr<aids::HighlightFrame> MakeHighlightFrame(const core::Program&) override {
    if (failFrame) throw std::runtime_error("no frame");
    return std::make_unique<JournalFrame>(j_);
  }
  std::unique_ptr<ProgressTone> MakeProgressTone(const core::Program&) override {
    return std::make_unique<JournalTone>(j_);
  }
  std::unique_ptr<reader::CaretReaders> MakeCaretReaders(const core::Program&) override {
    return std::make_unique<JournalReaders>(j_);
  }
  std::unique_ptr<reader::MouseAnnouncer> MakeMouseAnnouncer(const core::Program&) override {
    return std::make_unique<JournalReaders>(j_);
  }
  std::unique_ptr<access::WebReader> MakeWebReader(const core::Program&) override {
    return std::make_unique<JournalReaders>(j_);
  }
  bool failFrame = false;

 private:
  Journal& j_;
};

TEST(MainWindowTest, PartsAreStartedAtTheirStepsAndReachedThroughTheTables) {
  Journal journal;
  Scenario s("[Info]\r\nActive=-1\r\n", true, std::make_unique<JournalFactory>(journal));
  s.main->Load(s.folder.Path());
  // Startup: the hook at 13, the item list at 18, the band at 19 (after the first announcement,
  // which therefore does not reach it), the frame at 21, the progress sound at 23.
  EXPECT_EQ(journal, (Journal{"hook keyboard", "create item list", "show band", "load frame",
                              "load tone snd\\progress.wav"}));
  EXPECT_TRUE(s.form.MenuChecked(u"mnuShowInfo"));
  journal.clear();

  // Every key message goes to the keyboard handler; the web line only with wParam 1; Space on a
  // check box says its state (no check box has the focus here, so nothing is said).
  for (std::uint32_t m : {platform::MSG_KEY_RELEASED, platform::MSG_KEY_PRESSED,
                          platform::MSG_CARET_KEY, platform::MSG_NAVIGATE_KEY}) {
    s.loop.PostMessage(s.form.Handle(), m, 65, 6);
  }
  s.loop.PostMessage(s.form.Handle(), platform::MSG_READ_WEB_LINE, 2, 0);
  s.loop.PostMessage(s.form.Handle(), platform::MSG_READ_WEB_LINE, 1, 0);
  s.loop.PostMessage(s.form.Handle(), 0x8015, 1, 0);  // no row: passed on only
  s.loop.AdvanceBy(1000);
  EXPECT_EQ(journal, (Journal{"key message 32768 65", "key message 32769 65",
                              "key message 32786 65", "key message 32787 65", "web line"}));
  EXPECT_EQ(s.form.formMessages.size(), 7u);  // every message also reached the form's own
  journal.clear();

  // Menu commands of the parts; the mouse timer ticks every 500 ms while checked.
  s.main->OnMenu(u"mnuWuxExp");
  s.main->OnMenu(u"mnuReadWin");
  s.main->OnMenu(u"mnuSndMouse");
  s.loop.AdvanceBy(1'000'000);
  s.main->OnMenu(u"mnuSndMouse");
  s.loop.AdvanceBy(1'000'000);
  s.main->OnMenu(u"mnuNoSuchItem");
  // Window reading mode puts the window's title into the band, then the other commands run.
  ASSERT_EQ(journal.size(), 4u);
  EXPECT_EQ(journal[0].rfind("band text Bez n", 0), 0u);
  EXPECT_EQ((Journal{journal.begin() + 1, journal.end()}),
            (Journal{"read window", "mouse tick", "mouse tick"}));
  EXPECT_TRUE(s.main->State().ListMode);
  journal.clear();

  // The band shows what is said.
  s.main->Say(u"ahoj");
  EXPECT_EQ(journal, Journal{"band text ahoj"});
  journal.clear();

  // Shutdown: the progress sound first, the hook at 9, the list at 10, the windows at 11; the
  // band was visible, so it is stored as active (the Info values are written unsigned).
  s.main->OnMenu(u"mnuFileExit");
  EXPECT_EQ(journal, (Journal{"close tone", "unhook keyboard", "release item list", "unload frame",
                              "unload band"}));
  EXPECT_NE(TestFolder::Read(s.folder.File("qlnd.ini")).find("Active=1"), std::string::npos);
}

TEST(MainWindowTest, APartThatCannotBeBuiltLeavesItsNullPart) {
  Journal journal;
  auto factory = std::make_unique<JournalFactory>(journal);
  factory->failFrame = true;
  Scenario s({}, true, std::move(factory));
  s.main->Load(s.folder.Path());
  EXPECT_EQ(journal, (Journal{"hook keyboard", "create item list", "load tone snd\\progress.wav"}));
  EXPECT_EQ(s.Said().size(), 1u);  // the startup announcement still came
  EXPECT_NE(std::find(s.main->SkippedSteps().begin(), s.main->SkippedSteps().end(),
                      "part highlight frame"),
            s.main->SkippedSteps().end());
  s.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(s.form.closed);

  // Without an engine no part is asked for: the null parts serve every command and message.
  Journal none;
  Scenario noEngine({}, false, std::make_unique<JournalFactory>(none));
  noEngine.main->Load(noEngine.folder.Path());
  noEngine.main->OnMenu(u"mnuWuxExp");
  noEngine.main->OnMenu(u"mnuReadWin");
  noEngine.main->OnMenu(u"mnuActiveObject");
  noEngine.loop.PostMessage(noEngine.form.Handle(), platform::MSG_TOGGLE_KEY, 0, 0);
  noEngine.loop.PostMessage(noEngine.form.Handle(), platform::MSG_KEY_PRESSED, 65, 6);
  noEngine.loop.AdvanceBy(1000);
  noEngine.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(noEngine.form.closed);
}

TEST(MainWindowTest, AWebPageWithTheFocusAttachesItsBrowser) {
  Scenario s;
  s.main->Load(s.folder.Path());
  const Hwnd browser = s.desk.AddTopWindow(u"IEFrame", u"Stránka - prohlížeč");
  const Hwnd page = s.desk.AddWebView(browser, std::make_shared<platform::SimHtmlDocument>());
  s.desk.Focus(page);
  s.loop.AdvanceBy(200'000);
  ASSERT_NE(s.main->AttachedBrowser(), nullptr);
  EXPECT_EQ(s.main->AttachedBrowser()->WindowHandle(), browser);

  // A window that is no browser of the shell's collection leaves none attached.
  s.main->HookIE(s.note);
  EXPECT_EQ(s.main->AttachedBrowser(), nullptr);
  s.main->OnMenu(u"mnuFileExit");
  EXPECT_TRUE(s.form.closed);
}

TEST(MainWindowTest, ABurstOfFocusEventsGivesOneAnnouncementAtOnce) {
  Scenario s;
  s.main->Load(s.folder.Path());
  const Hwnd list = s.desk.AddListBox(s.note, {u"jablko", u"hruška", u"švestka"});
  s.loop.AdvanceBy(200'000);
  const std::size_t before = s.Said().size();
  const std::uint64_t ticks = s.loop.TimerTicks();
  // One user action: the list gets the focus, then its item moves the focus and the selection;
  // all of it is queued before the program looks.
  s.desk.Focus(list);
  s.desk.SelectListItem(list, 1);
  s.loop.PumpPending();  // no virtual time goes by: no timer step runs
  EXPECT_EQ(s.loop.TimerTicks(), ticks);
  ASSERT_EQ(s.Said().size(), before + 1);
  EXPECT_NE(s.Said().back().find(u"hruška"), std::u16string::npos) << "the last event is said";
  // The timer's next ticks find nothing left to say.
  s.loop.AdvanceBy(200'000);
  EXPECT_EQ(s.Said().size(), before + 1);

  // A focus event, then a selection event, each on its own: two announcements, neither waits.
  s.desk.SelectListItem(list, 2);
  s.loop.PumpPending();
  ASSERT_EQ(s.Said().size(), before + 2);
  EXPECT_NE(s.Said().back().find(u"švestka"), std::u16string::npos);
  s.desk.SelectListItem(list, 0);
  s.loop.PumpPending();
  ASSERT_EQ(s.Said().size(), before + 3);
  EXPECT_NE(s.Said().back().find(u"jablko"), std::u16string::npos);
}

TEST(MainWindowTest, AnObjectNotThereYetIsRetriedOnTheFiftyMillisecondTick) {
  Scenario s;
  s.main->Load(s.folder.Path());
  const Hwnd pane = s.desk.AddChild(s.note, u"Pane", u"", platform::WS_VISIBLE);
  auto gone = platform::SimAccessible::Make(platform::ROLE_SYSTEM_LIST, u"Položky");
  gone->Destroy();  // the object cannot be fetched yet
  s.desk.SetClientAccessible(pane, gone);
  // Settle on a tick boundary: the focus timer runs every 50 ms from the load at 1 ms.
  s.loop.AdvanceTo(201'000);
  const std::size_t before = s.Said().size();
  s.desk.Focus(pane);
  s.loop.PumpPending();  // the posted tick finds no object and leaves the change recorded
  EXPECT_EQ(s.Said().size(), before);
  EXPECT_TRUE(s.main->State().Focus.FocusChanged);
  s.desk.SetClientAccessible(pane,
                             platform::SimAccessible::Make(platform::ROLE_SYSTEM_LIST, u"Položky"));
  s.loop.AdvanceTo(250'500);
  EXPECT_EQ(s.Said().size(), before);  // nothing posted it again: it waits for the timer
  s.loop.AdvanceTo(251'000);
  ASSERT_EQ(s.Said().size(), before + 1);
  EXPECT_NE(s.Said().back().find(u"položky"), std::u16string::npos);
  EXPECT_FALSE(s.main->State().Focus.FocusChanged);
}

TEST(MainWindowTest, WindowsVersionTest) {
  EXPECT_TRUE(DetectWindowsVersion({5, 1, 2600, 2}));
  EXPECT_TRUE(DetectWindowsVersion({5, 2, 3790, 2}));
  EXPECT_FALSE(DetectWindowsVersion({5, 0, 2195, 2}));
  EXPECT_FALSE(DetectWindowsVersion({6, 1, 7601, 2}));
  EXPECT_FALSE(DetectWindowsVersion({4, 10, 2222, 1}));
}

}  // namespace
}  // namespace quellon::shell
