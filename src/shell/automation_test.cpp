// The automation class App: unit tests over a recording engine and hook, and scenarios through
// the main window on the simulated desktop (virtual clock).
#include "shell/automation.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "engine/vaza_vorod.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "platform/sim/sim_wave_out.h"
#include "shell/main_window.h"
#include "testing/sim_main_form.h"
#include "testing/sim_program.h"
#include "testing/test_folder.h"

namespace quellon::shell {
namespace {

using platform::Hwnd;
using testing::TestFolder;

class RecordingHook : public reader::AccessibilityHook {
 public:
  void InstallAccessibilityHook() override { calls.push_back("install"); }
  void RemoveAccessibilityHook() override { calls.push_back("remove"); }
  std::vector<std::string> calls;
};

// App over the recording engine of a simulated program.
struct Unit {
  Unit()
      : app(sim.program,
            AutomationParts{hook, [this] { ++destroyed; },
                            [this](std::int32_t mode) { visibility.push_back(mode); }}) {}
  testing::SimProgram sim;
  RecordingHook hook;
  int destroyed = 0;
  std::vector<std::int32_t> visibility;
  App app;
};

TEST(AutomationTest, TempoIsClampedAndStoredInTheEngine) {
  Unit u;
  std::int32_t tempo = 99;
  EXPECT_EQ(u.app.SetTempo(25), 0);
  EXPECT_EQ(u.sim.engine.tempo, 10);
  EXPECT_EQ(u.app.GetTempo(tempo), 0);
  EXPECT_EQ(tempo, 10);
  EXPECT_EQ(u.app.SetTempo(-25), 0);
  EXPECT_EQ(u.app.GetTempo(tempo), 0);
  EXPECT_EQ(tempo, -10);
  EXPECT_EQ(u.sim.engine.tempo, -10);
  u.app.SetTempo(-3);
  u.app.GetTempo(tempo);
  EXPECT_EQ(tempo, -3);
  // Values that do not fit 16 bits are clamped first, never cut to 16 bits.
  u.app.SetTempo(65536 + 5);
  EXPECT_EQ(u.sim.engine.tempo, 10);
  u.app.SetTempo(INT_MIN);
  EXPECT_EQ(u.sim.engine.tempo, -10);
  EXPECT_EQ(u.sim.engine.pitch, 0);  // the pitch is another value
  // What the engine holds is what GetTempo tells, however it got there.
  u.sim.engine.tempo = 7;
  u.app.GetTempo(tempo);
  EXPECT_EQ(tempo, 7);
}

TEST(AutomationTest, PitchIsClampedAndStoredInTheEngine) {
  Unit u;
  std::int32_t pitch = 99;
  u.app.SetPitch(11);
  u.app.GetPitch(pitch);
  EXPECT_EQ(pitch, 10);
  u.app.SetPitch(-10);
  u.app.GetPitch(pitch);
  EXPECT_EQ(pitch, -10);
  u.app.SetPitch(-11);
  EXPECT_EQ(u.sim.engine.pitch, -10);
  u.app.SetPitch(4);
  EXPECT_EQ(u.sim.engine.pitch, 4);
  u.app.SetPitch(-65536 - 4);
  EXPECT_EQ(u.sim.engine.pitch, -10);
  EXPECT_EQ(u.sim.engine.tempo, 0);
  EXPECT_EQ(App::Clamp(10), 10);
  EXPECT_EQ(App::Clamp(-10), -10);
  EXPECT_EQ(App::Clamp(0), 0);
}

TEST(AutomationTest, OnlyOneInstallsTheHookEveryOtherValueRemovesIt) {
  Unit u;
  EXPECT_EQ(u.app.SetHook(1), 0);
  EXPECT_EQ(u.app.SetHook(0), 0);
  EXPECT_EQ(u.app.SetHook(2), 0);
  EXPECT_EQ(u.app.SetHook(-1), 0);
  EXPECT_EQ(u.hook.calls, (std::vector<std::string>{"install", "remove", "remove", "remove"}));
}

TEST(AutomationTest, SayItWithTheBuiltInEngineReturnsAtOnceWithTheTextAsItIs) {
  Unit u;
  const std::int64_t before = u.sim.loop.Now();
  EXPECT_EQ(u.app.SayIt(u"Dobrý Den, 12 KB"), 0);
  EXPECT_EQ(u.sim.loop.Now(), before);
  // No reset in front, no dictionary pass (which lower-cases), no system voice.
  EXPECT_EQ(u.sim.log, std::vector<std::u16string>{u"say:Dobrý Den, 12 KB"});
  EXPECT_TRUE(u.sim.desk.Voice().Calls().empty());
  // A failure of the engine reaches the caller.
  u.sim.engine.sayResult = -7;
  EXPECT_EQ(u.app.SayIt(u"x"), -7);
}

TEST(AutomationTest, SayItWithTheSystemVoiceSpeaksSynchronouslyAfterPurging) {
  Unit u;
  u.sim.desk.Voice().Install({u"Zdeněk"});
  u.sim.desk.Voice().SetMicrosPerChar(50'000);
  auto voice = u.sim.desk.Voice().CreateVoice();
  u.sim.state.SapiVoice = voice.get();
  u.sim.state.SapiActive = true;
  u.sim.state.SapiPitchTag = u"<pitch absmiddle=\" 0\">";
  const std::int64_t before = u.sim.loop.Now();
  EXPECT_EQ(u.app.SayIt(u"Ahoj světe"), 0);
  // The call returned only when the ten characters had been spoken; the pitch tag is the speech
  // routine's, not this text's.
  EXPECT_EQ(u.sim.loop.Now() - before, 10 * 50'000);
  ASSERT_EQ(u.sim.desk.Voice().Calls().size(), 1u);
  EXPECT_EQ(u.sim.desk.Voice().Calls()[0].text, u"Ahoj světe");
  EXPECT_EQ(u.sim.desk.Voice().Calls()[0].flags, platform::SVSFPurgeBeforeSpeak);
  EXPECT_TRUE(u.sim.engine.Said().empty());
  // IsSpeaking tells the built-in engine only.
  bool speaking = true;
  u.sim.desk.Voice().SetMicrosPerChar(0);
  EXPECT_EQ(u.app.IsSpeaking(speaking), 0);
  EXPECT_FALSE(speaking);
  u.sim.engine.speaking = true;
  u.app.IsSpeaking(speaking);
  EXPECT_TRUE(speaking);
}

TEST(AutomationTest, ResetSelectVoiceVisibilityAndDestroyReachWhatTheyDrive) {
  Unit u;
  EXPECT_EQ(u.app.Reset(), 0);
  u.sim.engine.resetResult = -3;
  EXPECT_EQ(u.app.Reset(), -3);
  EXPECT_EQ(u.app.SelectVoice(u"zuvan"), 0);
  EXPECT_EQ(u.sim.log, (std::vector<std::u16string>{u"reset", u"reset", u"voice:zuvan"}));
  u.app.SetVisible(1);
  u.app.SetVisible(0);
  EXPECT_EQ(u.visibility, (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(u.destroyed, 0);
  EXPECT_EQ(u.app.Destroy(), 0);
  EXPECT_EQ(u.destroyed, 1);
}

class FixedClock : public platform::LocalClock {
 public:
  platform::LocalTime GetLocalTime() override { return {2026, 12, 1, 7, 14, 5, 0}; }
};

// The running program: a desktop with Notepad in front, a program folder and the main window.
struct Running {
  explicit Running(std::string_view ini = "[General]\r\nTime=0\r\n") {
    folder.Write("qlnd.ini", ini);
    folder.Write("snd/close.wav", "RIFF");
    note = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
    edit = desk.AddEdit(note, u"ahoj", {.multiline = true});
    desk.Focus(edit);
    loop.AdvanceBy(1000);
    main = std::make_unique<frmMain>(
        core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                    desk.Voice(), clock, waveOut, desk.Html(), desk.ClipboardPort()},
        form, form, [this](const std::filesystem::path&) {
          auto engine = std::make_unique<FakeEngine>(log);
          fake = engine.get();
          return engine;
        });
    main->Load(folder.Path());
    loop.AdvanceBy(200'000);
    log.clear();
  }
  TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::IniProfile profile;
  FixedClock clock;
  platform::SimWaveMapper waveOut{loop, 2};
  testing::SimMainForm form{desk};
  std::vector<std::u16string> log;
  FakeEngine* fake = nullptr;
  Hwnd note = 0, edit = 0;
  std::unique_ptr<frmMain> main;
};

TEST(AutomationTest, TheRunningProgramServesAppOverItsOwnEngine) {
  Running r;
  Automation& app = r.main->AutomationObject();
  EXPECT_EQ(app.SetTempo(25), 0);
  EXPECT_EQ(r.main->Engine()->Tempo(), 10);
  EXPECT_EQ(app.SetTempo(-25), 0);
  std::int32_t tempo = 0;
  EXPECT_EQ(app.GetTempo(tempo), 0);
  EXPECT_EQ(tempo, -10);
  const std::int64_t before = r.loop.Now();
  EXPECT_EQ(app.SayIt(u"Ahoj"), 0);
  EXPECT_EQ(r.loop.Now(), before);
  EXPECT_EQ(r.fake->Said(), std::vector<std::u16string>{u"Ahoj"});
}

TEST(AutomationTest, SetHookZeroOrTwoSilencesFocusChangesAndOneBringsThemBack) {
  Running r;
  Automation& app = r.main->AutomationObject();
  const Hwnd other = r.desk.AddEdit(r.note, u"druhé", {});
  r.desk.Focus(other);
  r.loop.AdvanceBy(300'000);
  ASSERT_FALSE(r.fake->Said().empty());  // the hook as startup installed it: heard

  for (std::int32_t value : {0, 2}) {
    r.log.clear();
    EXPECT_EQ(app.SetHook(value), 0);
    r.desk.Focus(value == 0 ? r.edit : other);
    r.loop.AdvanceBy(300'000);
    EXPECT_TRUE(r.fake->Said().empty()) << "SetHook(" << value << ")";
    EXPECT_EQ(app.SetHook(1), 0);
    r.desk.Focus(value == 0 ? other : r.edit);
    r.loop.AdvanceBy(300'000);
    EXPECT_FALSE(r.fake->Said().empty()) << "SetHook(1) after SetHook(" << value << ")";
  }
}

TEST(AutomationTest, SetVisibleShowsOnlyForOne) {
  Running r;
  Automation& app = r.main->AutomationObject();
  app.SetVisible(1);
  EXPECT_TRUE(r.desk.Windows().IsWindowVisible(r.form.Handle()));
  app.SetVisible(2);
  EXPECT_FALSE(r.desk.Windows().IsWindowVisible(r.form.Handle()));
  app.SetVisible(1);
  app.SetVisible(0);
  EXPECT_FALSE(r.desk.Windows().IsWindowVisible(r.form.Handle()));
}

TEST(AutomationTest, DestroyPostsTheNormalShutdownWhichSavesTheSettings) {
  Running r("[Voice]\r\nName=Male\r\n");
  r.main->Settings()->SetVoiceVolume(70);
  r.desk.Sounds().ClearRecord();
  EXPECT_EQ(r.main->AutomationObject().Destroy(), 0);
  // The caller has its answer before anything is taken down.
  EXPECT_FALSE(r.main->Unloaded());
  EXPECT_FALSE(r.form.closed);
  r.loop.AdvanceBy(1000);
  EXPECT_TRUE(r.main->Unloaded());
  EXPECT_TRUE(r.form.closed);
  EXPECT_EQ(TestFolder::Read(r.folder.File("qlnd.ini")),
            "[Voice]\r\nName=Male\r\nVolume=70\r\nPitch=50\r\nTempo=50\r\n\r\n"
            "[Info]\r\nTextSize=20\r\nTextForegroundColor=16777215\r\nTextBackgroundColor=0\r\n"
            "Active=0\r\n");
  EXPECT_EQ(r.desk.Sounds().Cues(), std::vector<std::u16string>{u"close"});
  // After shutdown the class answers every call with a failure, and a second Destroy changes
  // nothing.
  Automation& app = r.main->AutomationObject();
  EXPECT_EQ(app.SayIt(u"ahoj"), NullAutomation::kNotImplemented);
  EXPECT_EQ(app.Destroy(), NullAutomation::kNotImplemented);
  // Shutdown silenced the engine and said nothing; the message again finds nothing to unload.
  EXPECT_FALSE(r.log.empty());
  for (const std::u16string& call : r.log) EXPECT_EQ(call, u"reset");
  const std::vector<std::u16string> afterShutdown = r.log;
  r.loop.PostMessage(r.form.Handle(), platform::MSG_AUTOMATION_DESTROY, 0, 0);
  r.loop.AdvanceBy(1000);
  EXPECT_EQ(r.log, afterShutdown);
}

TEST(AutomationTest, SayItWithTheRealEngineReturnsBeforeAnythingIsPlayed) {
  TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk(loop);
  platform::SimWaveOut device(loop);
  platform::SimWaveMapper sounds(loop, 2);
  core::IniProfile profile;
  FixedClock clock;
  testing::SimMainForm form(desk);
  desk.Focus(desk.AddTopWindow(u"Notepad", u"Bez názvu"));
  frmMain main(core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                           desk.Voice(), clock, sounds, desk.Html(), desk.ClipboardPort()},
               form, form, [&](const std::filesystem::path& programFolder) {
                 return std::make_unique<VazaVorod>(programFolder, loop, device);
               });
  main.Load(folder.Path());
  loop.AdvanceBy(1'000'000);
  const std::int64_t before = loop.Now();
  EXPECT_EQ(main.AutomationObject().SayIt(u"Dobrý den, jak se máte?"), 0);
  EXPECT_EQ(loop.Now(), before);
  bool speaking = true;
  EXPECT_EQ(main.AutomationObject().Reset(), 0);
  EXPECT_EQ(main.AutomationObject().IsSpeaking(speaking), 0);
  EXPECT_FALSE(speaking);
  main.AutomationObject().SetPitch(-40);
  EXPECT_EQ(main.Engine()->Pitch(), -10);
}

}  // namespace
}  // namespace quellon::shell
