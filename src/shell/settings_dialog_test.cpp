// Scenario tests of the settings dialog inside the running main window on the simulated desktop:
// the window is the in-memory form, the user's actions are its events, the voices are the
// recording engine's and the simulated system voice's, the settings a real file.
#include "shell/settings_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "shell/main_window.h"
#include "testing/sim_main_form.h"
#include "testing/sim_program.h"
#include "testing/test_folder.h"

namespace quellon::shell {
namespace {

using testing::TestFolder;

// Keeps the dialog's window where the test can reach it.
class DialogFactory : public PartFactory {
 public:
  explicit DialogFactory(MemorySettingsDialogForm*& form) : form_(form) {}
  std::unique_ptr<SettingsDialog> MakeSettingsDialog(const core::Program& program,
                                                     SapiVoiceSelector select) override {
    auto form = std::make_unique<MemorySettingsDialogForm>();
    form_ = form.get();
    return std::make_unique<frmSet>(program, std::move(form), std::move(select));
  }

 private:
  MemorySettingsDialogForm*& form_;
};

// Built-in voices "zuvan", "Tom" and "Male"; system voices "Anna" and "Male".
struct Dialog {
  explicit Dialog(std::string_view ini) {
    folder.Write("qlnd.ini", ini);
    folder.Write("Anna.def", "ahoj nazdar\r\n");
    sim.desk.Voice().Install({u"Anna", u"Male"});
    EngineFactory engines = [this](const std::filesystem::path&) {
      auto e = std::make_unique<FakeEngine>(log);
      e->voices = {u"zuvan", u"Tom", u"Male"};
      engine = e.get();
      return e;
    };
    main = std::make_unique<frmMain>(sim.ports, form, form, engines,
                                     std::make_unique<DialogFactory>(dialog));
    main->Load(folder.Path());
    sim.loop.AdvanceBy(200'000);
    log.clear();
    sim.desk.Voice().ClearRecord();
  }
  SettingsDialogEvents& User() { return *dialog->Events(); }
  std::vector<std::u16string> Entries() const {
    std::vector<std::u16string> out;
    for (std::int32_t i = 0; i < dialog->ListCount(); ++i) out.push_back(dialog->ListEntry(i));
    return out;
  }
  void Click(std::int32_t entry) {
    dialog->SetListIndex(entry);
    User().OnListClick();
  }
  void Move(std::u16string_view slider, std::int32_t value) {
    dialog->SetSlider(slider, value);
    User().OnSliderChange(slider);
  }
  // What was spoken by whichever engine speaks.
  std::vector<std::u16string> Said() {
    std::vector<std::u16string> out = engine->Said();
    for (const auto& t : sim.desk.Voice().Spoken()) out.push_back(t);
    return out;
  }
  std::u16string Label(int number) const { return main->Strings()->GetString(number); }

  TestFolder folder;
  testing::SimProgram sim;
  testing::SimMainForm form{sim.desk};
  std::vector<std::u16string> log;
  FakeEngine* engine = nullptr;
  MemorySettingsDialogForm* dialog = nullptr;
  std::unique_ptr<frmMain> main;
};

bool Contains(const std::vector<std::u16string>& v, const std::u16string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

TEST(SettingsDialogTest, LoadListsTheVoicesAppliesTheStoredValuesAndSpeaksNothing) {
  Dialog d("[Voice]\r\nName=zuvan\r\nVolume=70\r\nPitch=30\r\nTempo=60\r\n");
  ASSERT_NE(d.dialog, nullptr);
  EXPECT_EQ(d.Entries(),
            (std::vector<std::u16string>{u"zuvan", u"Tom", u"Male", u"Anna", u"Male"}));
  EXPECT_EQ(d.dialog->ListIndex(), 0);
  EXPECT_EQ(d.dialog->captions[u""], d.Label(25));
  EXPECT_EQ(d.dialog->captions[u"lblPitch"], d.Label(29));
  EXPECT_EQ(d.dialog->captions[u"cmdCancel"], d.Label(31));
  EXPECT_FALSE(d.dialog->DialogVisible());
  EXPECT_EQ(d.dialog->Slider(kVolumeSlider), 70);
  EXPECT_EQ(d.dialog->ValueLabel(kTempoSlider), u"60");
  EXPECT_EQ(d.dialog->ValueLabel(kPitchSlider), u"30");
  EXPECT_EQ(d.engine->Volume(), 14);
  EXPECT_EQ(d.engine->Tempo(), 2);
  EXPECT_EQ(d.engine->Pitch(), 16);  // -4 x nearest(-4)
  EXPECT_FALSE(d.main->SapiActive());
  // The numbers the sliders were given were never spoken.
  for (const auto& said : d.Said()) EXPECT_EQ(said.find(u"70"), std::u16string::npos);

  // Moving a slider while hidden only writes its label.
  d.Move(kVolumeSlider, 90);
  EXPECT_EQ(d.dialog->ValueLabel(kVolumeSlider), u"90");
  EXPECT_EQ(d.engine->Volume(), 14);
  EXPECT_TRUE(d.Said().empty());
}

TEST(SettingsDialogTest, StoredValuesOutsideTheSlidersAreBoundedAndANameMatchesExactly) {
  Dialog d("[Voice]\r\nName=male\r\nVolume=500\r\nPitch=-7\r\nTempo=100\r\n");
  EXPECT_EQ(d.dialog->Slider(kVolumeSlider), 100);
  EXPECT_EQ(d.dialog->Slider(kPitchSlider), 0);
  EXPECT_EQ(d.engine->Volume(), 20);
  EXPECT_EQ(d.engine->Pitch(), 40);
  EXPECT_EQ(d.engine->Tempo(), 10);
  EXPECT_EQ(d.dialog->ListIndex(), -1);  // "male" is no entry's name
  EXPECT_FALSE(d.main->SapiActive());
}

TEST(SettingsDialogTest, ASystemVoiceNamedLikeABuiltInOneCountsAsTheSystemVoice) {
  Dialog d("[Voice]\r\nName=Male\r\nVolume=60\r\nPitch=50\r\nTempo=75\r\n");
  EXPECT_EQ(d.dialog->ListIndex(), 4);  // the last entry of that name stays selected
  EXPECT_TRUE(d.main->SapiActive());
  EXPECT_EQ(d.sim.desk.Voice().Selected(), 1u);
  EXPECT_EQ(d.sim.desk.Voice().Volume(), 60);
  EXPECT_EQ(d.sim.desk.Voice().Rate(), 5);  // nearest(15 - 10)
  EXPECT_EQ(d.main->State().SapiPitchTag, u"<pitch absmiddle=\" 0\">");
}

TEST(SettingsDialogTest, SlidersSpeakTheirValueOnlyWhileShownAndMapToBothEngines) {
  Dialog d("[Voice]\r\nName=Anna\r\nVolume=50\r\nPitch=20\r\nTempo=50\r\n");
  ASSERT_TRUE(d.main->SapiActive());
  EXPECT_EQ(d.main->State().SapiPitchTag, u"<pitch absmiddle=\"-6\">");
  d.main->OnMenu(u"mnuSetShow");
  ASSERT_TRUE(d.dialog->DialogVisible());

  d.Move(kPitchSlider, 50);
  EXPECT_EQ(d.engine->Pitch(), 0);
  EXPECT_EQ(d.main->State().SapiPitchTag, u"<pitch absmiddle=\" 0\">");
  d.Move(kTempoSlider, 85);
  EXPECT_EQ(d.engine->Tempo(), 7);
  EXPECT_EQ(d.sim.desk.Voice().Rate(), 7);
  d.Move(kVolumeSlider, 35);
  EXPECT_EQ(d.engine->Volume(), 7);
  EXPECT_EQ(d.sim.desk.Voice().Volume(), 35);
  // Each new value was spoken, through the pitch tag of the system voice.
  const std::vector<std::u16string> spoken = d.sim.desk.Voice().Spoken();
  ASSERT_EQ(spoken.size(), 3u);
  EXPECT_EQ(spoken[0], u"<pitch absmiddle=\" 0\">50");
  EXPECT_EQ(spoken[2], u"<pitch absmiddle=\" 0\">35");

  // Focus on a slider says its label and its value.
  d.sim.desk.Voice().ClearRecord();
  d.User().OnSliderGotFocus(kPitchSlider);
  EXPECT_EQ(d.sim.desk.Voice().Spoken(),
            std::vector<std::u16string>{u"<pitch absmiddle=\" 0\">výška: 50"});
  EXPECT_EQ(d.Label(29), u"Výška:");
}

TEST(SettingsDialogTest, ClickingTheVoiceThatSpeaksChangesNothing) {
  Dialog d("[Voice]\r\nName=zuvan\r\n");
  d.main->OnMenu(u"mnuSetShow");
  d.Click(0);
  EXPECT_TRUE(d.log.empty());
  EXPECT_FALSE(d.main->SapiActive());
  // Another voice, then back: the first one speaks again.
  d.Click(1);
  EXPECT_TRUE(Contains(d.log, u"voice:Tom"));
  d.Click(0);
  EXPECT_TRUE(Contains(d.log, u"voice:zuvan"));
  d.log.clear();
  d.User().OnCancelClick();
  EXPECT_TRUE(d.log.empty());  // nothing left to put back
  EXPECT_FALSE(d.dialog->DialogVisible());
}

TEST(SettingsDialogTest, CancelPutsBackTheVoiceAndTheValuesOfWhenItWasShown) {
  Dialog d("[Voice]\r\nName=zuvan\r\nVolume=50\r\nPitch=50\r\nTempo=50\r\n");
  d.main->OnMenu(u"mnuSetShow");
  d.Click(3);  // Anna, a system voice
  EXPECT_TRUE(d.main->SapiActive());
  d.Move(kVolumeSlider, 80);
  d.User().OnTestClick();
  EXPECT_EQ(d.sim.desk.Voice().Spoken().back(), u"<pitch absmiddle=\" 0\">hallo, jmenuji se anna");
  d.log.clear();
  d.sim.desk.Voice().ClearRecord();

  d.User().OnCancelClick();
  EXPECT_FALSE(d.main->SapiActive());
  EXPECT_TRUE(Contains(d.log, u"voice:zuvan"));
  EXPECT_EQ(d.engine->Volume(), 10);
  EXPECT_EQ(d.dialog->Slider(kVolumeSlider), 50);
  EXPECT_EQ(d.dialog->ListIndex(), 0);
  // The slider that moved back spoke its value with the voice put back; the others were still.
  EXPECT_EQ(d.engine->Said(), std::vector<std::u16string>{u"50"});
  EXPECT_FALSE(d.dialog->DialogVisible());
  // Nothing was stored.
  EXPECT_EQ(TestFolder::Read(d.folder.File("qlnd.ini")),
            "[Voice]\r\nName=zuvan\r\nVolume=50\r\nPitch=50\r\nTempo=50\r\n");
}

TEST(SettingsDialogTest, CancelPutsBackASystemVoiceWithItsDictionary) {
  Dialog d("[Voice]\r\nName=Anna\r\n");
  d.main->OnMenu(u"mnuSetShow");
  d.engine->dictionary.clear();
  d.Click(1);  // the built-in Tom
  EXPECT_FALSE(d.main->SapiActive());
  d.User().OnCancelClick();
  EXPECT_TRUE(d.main->SapiActive());
  EXPECT_EQ(d.sim.desk.Voice().Selected(), 0u);
  ASSERT_FALSE(d.engine->Dictionary().empty());
  EXPECT_EQ(d.engine->Dictionary()[0].Key, u"ahoj");
  EXPECT_EQ(d.dialog->ListIndex(), 3);
}

TEST(SettingsDialogTest, OkStoresTheChoiceAndLoadsTheDictionaryOfASystemVoice) {
  Dialog d("[Voice]\r\nName=zuvan\r\n");
  d.main->OnMenu(u"mnuSetShow");
  d.Click(3);
  d.Move(kVolumeSlider, 65);
  d.Move(kPitchSlider, 45);
  d.Move(kTempoSlider, 55);
  d.User().OnOKClick();
  EXPECT_FALSE(d.dialog->DialogVisible());
  EXPECT_TRUE(d.main->SapiActive());
  ASSERT_FALSE(d.engine->Dictionary().empty());
  EXPECT_EQ(d.engine->Dictionary()[0].Replacement, u"nazdar");
  const std::string ini = TestFolder::Read(d.folder.File("qlnd.ini"));
  EXPECT_NE(ini.find("[Voice]\r\nName=Anna\r\nVolume=65\r\nPitch=45\r\nTempo=55\r\n"),
            std::string::npos)
      << ini;

  // Shown again: Cancel now goes back to what OK stored.
  d.main->OnMenu(u"mnuSetShow");
  d.Click(0);
  d.User().OnCancelClick();
  EXPECT_TRUE(d.main->SapiActive());
  EXPECT_EQ(d.sim.desk.Voice().Selected(), 0u);

  // OK with a built-in voice loads it with its own dictionary.
  d.main->OnMenu(u"mnuSetShow");
  d.Click(1);
  d.log.clear();
  d.User().OnOKClick();
  EXPECT_FALSE(d.main->SapiActive());
  EXPECT_TRUE(Contains(d.log, u"voice:Tom"));
}

TEST(SettingsDialogTest, ASecondMenuChoiceBringsTheOpenDialogForwardKeepingWhatCancelRestores) {
  Dialog d("[Voice]\r\nName=zuvan\r\nVolume=50\r\n");
  d.main->OnMenu(u"mnuSetShow");
  d.Move(kVolumeSlider, 95);
  d.main->OnMenu(u"mnuSetShow");
  EXPECT_EQ(d.dialog->showCount, 2);
  EXPECT_EQ(d.dialog->Slider(kVolumeSlider), 95);
  d.User().OnCancelClick();
  EXPECT_EQ(d.engine->Volume(), 10);
  EXPECT_EQ(d.dialog->Slider(kVolumeSlider), 50);
}

TEST(SettingsDialogTest, ThePitchTagHasALeadingSpaceBeforeANumberThatIsNotNegative) {
  EXPECT_EQ(SapiPitchTagFor(50), u"<pitch absmiddle=\" 0\">");
  EXPECT_EQ(SapiPitchTagFor(100), u"<pitch absmiddle=\" 10\">");
  EXPECT_EQ(SapiPitchTagFor(0), u"<pitch absmiddle=\"-10\">");
  EXPECT_EQ(SapiPitchTagFor(47), u"<pitch absmiddle=\"-1\">");  // -0.6
  EXPECT_EQ(SapiPitchTagFor(53), u"<pitch absmiddle=\" 1\">");
  EXPECT_EQ(NearestEven(2.5), 2);
  EXPECT_EQ(NearestEven(-2.5), -2);
  EXPECT_EQ(NearestEven(3.5), 4);
}

}  // namespace
}  // namespace quellon::shell
