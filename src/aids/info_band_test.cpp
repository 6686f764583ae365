#include "aids/info_band.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "core/speech_output.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_event_loop.h"
#include "strings/string_table.h"
#include "testing/sim_aids_forms.h"

namespace quellon::aids {
namespace {

using platform::Hwnd;
using platform::Rect;

// An item list of fixed texts that records what the band asks of it.
class ListOfTexts : public access::ItemList {
 public:
  void CreateItemList() override {}
  void ReleaseItemList() override {}
  std::u16string GetDetails(std::int32_t) override { return {}; }
  std::int32_t Count() override { return static_cast<std::int32_t>(texts.size()); }
  std::int32_t GetItemRole(std::int32_t index) override {
    calls.push_back(u"role " + Number(index));
    return 42;
  }
  std::u16string GetItem(std::int32_t index) override {
    if (index < 1 || index > Count()) return u"out of range";
    return texts[static_cast<std::size_t>(index - 1)];
  }
  void Target(std::int32_t index) override { calls.push_back(u"target " + Number(index)); }
  void DoAction(std::int32_t index) override { calls.push_back(u"action " + Number(index)); }

  std::vector<std::u16string> texts;
  std::vector<std::u16string> calls;

 private:
  static std::u16string Number(std::int32_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
  }
};

class InfoBandTest : public ::testing::Test {
 protected:
  InfoBandTest() {
    desk.SetScreen(1280, 1024);
    settings.SetInfoTextSize(20);
    settings.SetInfoTextFC(16777215);
    settings.SetInfoTextBC(0);
    notepad = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok", {0, 0, 800, 600});
    editor = desk.AddEdit(notepad, u"text", {.multiline = true});
    desk.Focus(editor);
    auto owned = std::make_unique<testing::SimBandForm>(desk);
    form = owned.get();
    band = std::make_unique<frmInfo>(
        std::move(owned), InfoBandParts{desk.Windows(), settings, state, docking,
                                        [this]() -> access::ItemList& { return list; },
                                        [this](bool checked) { menu.push_back(checked); },
                                        [this](const std::u16string& t) { said.push_back(t); }});
  }
  void StartListMode(std::int32_t index) {
    list.texts = {u"OK tlačítko", u"Storno tlačítko", u"Jméno editační pole"};
    band->ShowBand();
    state.ListMode = true;
    state.ListIndex = index;
  }

  std::vector<std::u16string> said;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::IniProfile profile;
  core::cSetting settings{profile};
  core::ProgramState state;
  cAppDesktopToolbar docking{desk.ShellPort(), desk.Windows()};
  ListOfTexts list;
  std::vector<bool> menu;
  Hwnd notepad = 0;
  Hwnd editor = 0;
  testing::SimBandForm* form = nullptr;
  std::unique_ptr<frmInfo> band;
};

TEST_F(InfoBandTest, LoadingSetsCaptionInitialTextColoursAndAFortyPixelBandAsWideAsTheScreen) {
  ASSERT_TRUE(band->Load());
  EXPECT_EQ(form->caption, u"Quellon - Info");
  EXPECT_EQ(form->BandText(), u"Info okno\r\n");
  EXPECT_EQ(form->fontSize, 20);
  EXPECT_EQ(form->textColor, 16777215u);
  EXPECT_EQ(form->backColor, 0u);
  EXPECT_EQ(form->DockedHeight(), 600);                    // 40 pixels of 15 twips
  EXPECT_EQ(form->textBox, (Rect{0, 0, 1280 * 15, 600}));  // the whole screen's width
  EXPECT_FALSE(band->BandVisible());
  EXPECT_FALSE(band->IsShown());
  // Loading twice keeps the one window.
  band->Load();
  EXPECT_EQ(form->loads, 1);
}

TEST_F(InfoBandTest, ShowBandDocksAtTheTopEmptiesTheTextAndLeavesTheFocusWhereItWas) {
  band->ShowBand();
  EXPECT_TRUE(band->BandVisible());
  EXPECT_TRUE(band->IsShown());
  EXPECT_EQ(menu, (std::vector<bool>{true}));
  EXPECT_EQ(form->BandText(), u"");
  EXPECT_EQ(form->WindowRect(), (Rect{0, 0, 1280, 40}));
  EXPECT_EQ(desk.ShellPort().Bars().at(form->BandHandle()).rect, (Rect{0, 0, 1280, 40}));
  EXPECT_EQ(desk.Foreground(), notepad);
  EXPECT_EQ(desk.FocusWindow(), editor);
  band->SetText(u"Uložit tlačítko");
  EXPECT_EQ(form->BandText(), u"Uložit tlačítko");
  EXPECT_EQ(desk.FocusWindow(), editor);
  // What window reading mode reads of it.
  EXPECT_EQ(band->BandTextWindow(), form->BandTextHandle());
  EXPECT_EQ(band->BandLeft(), 0);
  EXPECT_EQ(band->BandTop(), 0);
  band->FocusBand();
  EXPECT_EQ(desk.FocusWindow(), form->BandTextHandle());
}

TEST_F(InfoBandTest, HideBandGivesTheStripBackAndUnloads) {
  band->ShowBand();
  band->HideBand();
  EXPECT_FALSE(band->BandVisible());
  EXPECT_FALSE(band->IsShown());
  EXPECT_FALSE(form->BandLoaded());
  EXPECT_TRUE(desk.ShellPort().Bars().empty());
  EXPECT_EQ(menu, (std::vector<bool>{true, false}));
  EXPECT_EQ(band->BandTextWindow(), 0u);
  // Shown again after a bigger font: a new window, taller.
  settings.SetInfoTextSize(30);
  band->ShowBand();
  EXPECT_EQ(form->loads, 2);
  EXPECT_EQ(form->WindowRect(), (Rect{0, 0, 1280, 60}));
}

TEST_F(InfoBandTest, RequiredHeightAddsCaptionScrollBarAndBorders) {
  // (20 * 2 + 16 + 2 * 1 + 18) pixels of 15 twips.
  EXPECT_EQ(band->RequiredHeight(), 76 * 15);
  settings.SetInfoTextSize(40);
  EXPECT_EQ(band->RequiredHeight(), 116 * 15);
}

TEST_F(InfoBandTest, AFontSizeOutOfReasonStillGivesABandOnTheScreen) {
  settings.SetInfoTextSize(2'000'000'000);
  band->ShowBand();
  EXPECT_EQ(form->fontSize, 512);
  EXPECT_EQ(form->WindowRect(), (Rect{0, 0, 1280, 1024}));
  band->HideBand();
  settings.SetInfoTextSize(-10);
  band->ShowBand();
  EXPECT_EQ(form->fontSize, 1);
  EXPECT_EQ(form->WindowRect(), (Rect{0, 0, 1280, 2}));
}

TEST_F(InfoBandTest, EscapeAndBackspaceAreSwallowedAndUnloadTheBand) {
  for (const std::uint32_t vk : {platform::VK_ESCAPE, platform::VK_BACK}) {
    menu.clear();
    band->ShowBand();
    EXPECT_TRUE(form->KeyDown(vk));
    EXPECT_FALSE(band->BandVisible());
    EXPECT_FALSE(band->IsShown());
    EXPECT_FALSE(form->BandLoaded());
    EXPECT_TRUE(desk.ShellPort().Bars().empty());
    EXPECT_EQ(menu, (std::vector<bool>{true, false}));
  }
  band->ShowBand();
  EXPECT_FALSE(form->KeyDown(platform::VK_DOWN));
  EXPECT_FALSE(form->KeyDown('A'));
  EXPECT_TRUE(band->BandVisible());
}

TEST_F(InfoBandTest, SayTextGoesInOnlyWhileTheBandIsShown) {
  EXPECT_FALSE(band->IsShown());
  band->ShowBand();
  EXPECT_TRUE(band->IsShown());
  band->HideBand();
  EXPECT_FALSE(band->IsShown());
  // Text given while it is hidden loads it hidden and does not show it.
  band->SetText(u"Soubor");
  EXPECT_FALSE(band->BandVisible());
  EXPECT_EQ(form->BandText(), u"Soubor");
}

TEST_F(InfoBandTest, TheSpeechRoutineWritesIntoTheBandOnlyWhileItIsShown) {
  std::vector<std::u16string> log;
  FakeEngine engine(log);
  const strings::StringTable table = strings::StringTable::Loaded(false);
  core::SpeechOutput output(state, engine, table, desk.Sounds(), band.get());
  output.Say(u"Soubor");
  EXPECT_FALSE(form->BandLoaded());
  band->ShowBand();
  output.Say(u"Uložit tlačítko");
  EXPECT_EQ(form->BandText(), u"Uložit tlačítko");
  output.Say(u"Storno", 0, true);  // kept out of the band
  EXPECT_EQ(form->BandText(), u"Uložit tlačítko");
  EXPECT_EQ(desk.FocusWindow(), editor);
  form->KeyDown(platform::VK_ESCAPE);
  output.Say(u"Zavřít");
  EXPECT_FALSE(form->BandLoaded());
  EXPECT_EQ(log.back(), u"say:zavřít");
}

TEST_F(InfoBandTest, AWindowThatCannotBeMadeLeavesTheBandHidden) {
  form->failLoad = true;
  band->ShowBand();
  band->SetText(u"Soubor");
  EXPECT_FALSE(band->BandVisible());
  EXPECT_FALSE(band->IsShown());
  EXPECT_EQ(menu, (std::vector<bool>{false}));  // the menu item does not stay checked
  EXPECT_TRUE(desk.ShellPort().Bars().empty());
}

TEST_F(InfoBandTest, DownStepsThroughTheItemsAndKeepsTheLast) {
  StartListMode(0);
  form->KeyUp(platform::VK_DOWN);
  EXPECT_EQ(state.ListIndex, 1);
  EXPECT_EQ(form->BandText(), u"OK tlačítko");
  EXPECT_EQ(list.calls, (std::vector<std::u16string>{u"role 1", u"target 1"}));
  form->KeyUp(platform::VK_DOWN);
  form->KeyUp(platform::VK_DOWN);
  EXPECT_EQ(state.ListIndex, 3);
  form->KeyUp(platform::VK_DOWN);
  EXPECT_EQ(state.ListIndex, 3);
  EXPECT_EQ(form->BandText(), u"Jméno editační pole");
  EXPECT_EQ(list.calls.back(), u"target 3");
  // Each step is heard as the item it reached.
  EXPECT_EQ(said, (std::vector<std::u16string>{u"OK tlačítko", u"Storno tlačítko",
                                               u"Jméno editační pole", u"Jméno editační pole"}));
}

TEST_F(InfoBandTest, ClosingTheBandEndsWindowReadingMode) {
  StartListMode(1);
  EXPECT_TRUE(form->KeyDown(platform::VK_ESCAPE));
  EXPECT_FALSE(state.ListMode);
  EXPECT_FALSE(band->BandVisible());
}

TEST_F(InfoBandTest, UpStopsAtIndexZeroWithoutAskingForANonItem) {
  StartListMode(2);
  form->KeyUp(platform::VK_UP);
  EXPECT_EQ(state.ListIndex, 1);
  EXPECT_EQ(form->BandText(), u"OK tlačítko");
  list.calls.clear();
  form->KeyUp(platform::VK_UP);
  EXPECT_EQ(state.ListIndex, 0);
  form->KeyUp(platform::VK_UP);
  EXPECT_EQ(state.ListIndex, 0);
  EXPECT_TRUE(list.calls.empty());
  EXPECT_EQ(form->BandText(), u"OK tlačítko");
}

TEST_F(InfoBandTest, DownOnAnEmptyListStaysAtZero) {
  band->ShowBand();
  state.ListMode = true;
  state.ListIndex = 0;
  form->KeyUp(platform::VK_DOWN);
  EXPECT_EQ(state.ListIndex, 0);
  EXPECT_TRUE(list.calls.empty());
}

TEST_F(InfoBandTest, EnterActsOnTheItemLeavesListModeAndUnloads) {
  StartListMode(2);
  form->KeyUp(platform::VK_RETURN);
  EXPECT_EQ(list.calls, (std::vector<std::u16string>{u"action 2"}));
  EXPECT_FALSE(state.ListMode);
  EXPECT_FALSE(form->BandLoaded());
  EXPECT_EQ(menu.back(), false);
}

TEST_F(InfoBandTest, OutsideListModeTheKeysInTheTextBoxDoNothing) {
  list.texts = {u"OK tlačítko", u"Storno tlačítko"};
  band->ShowBand();
  band->SetText(u"Uložit");
  state.ListIndex = 1;
  for (const std::uint32_t vk : {platform::VK_DOWN, platform::VK_UP, platform::VK_RETURN}) {
    form->KeyUp(vk);
  }
  EXPECT_EQ(state.ListIndex, 1);
  EXPECT_TRUE(list.calls.empty());
  EXPECT_EQ(form->BandText(), u"Uložit");
  EXPECT_TRUE(band->BandVisible());
}

TEST_F(InfoBandTest, DroppingAShownBandGivesTheStripBack) {
  band->ShowBand();
  band.reset();
  EXPECT_TRUE(desk.ShellPort().Bars().empty());
}

}  // namespace
}  // namespace quellon::aids
