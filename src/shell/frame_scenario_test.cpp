// Scenario tests of the highlight frame with the whole program on the simulated desktop (virtual
// clock): the frame follows the focus after each announcement and the item list's current item
// in window reading mode, only when section "Frame" of the settings switches it on, and never
// changes what is heard nor takes the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "aids/app_bar_docking.h"
#include "aids/highlight_frame.h"
#include "aids/info_band.h"
#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_accessible.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "shell/main_window.h"
#include "testing/sim_aids_forms.h"
#include "testing/sim_main_form.h"
#include "testing/test_folder.h"

namespace quellon::shell {
namespace {

using platform::Hwnd;
using platform::Rect;
using platform::SimAccessible;

class NoClock : public platform::LocalClock {
 public:
  platform::LocalTime GetLocalTime() override { return {2026, 12, 9, 8, 5, 0, 0}; }
};

// The program's band, docking, frame and item list, on the simulated desktop's windows.
class AidsFactory : public PartFactory {
 public:
  AidsFactory(platform::SimDesktop& desk, MainForm& form) : desk_(desk), form_(form) {}

  std::unique_ptr<aids::AppBarDocking> MakeAppBarDocking(const core::Program& p) override {
    return std::make_unique<aids::cAppDesktopToolbar>(desk_.ShellPort(), p.ports.windows);
  }
  std::unique_ptr<aids::InfoBand> MakeInfoBand(const core::Program& p, aids::AppBarDocking& docking,
                                               aids::FrameFollower& follower) override {
    auto owned = std::make_unique<testing::SimBandForm>(desk_);
    band = owned.get();
    return std::make_unique<aids::frmInfo>(
        std::move(owned),
        aids::InfoBandParts{p.ports.windows, p.settings, p.state, docking,
                            [this, &state = p.state]() -> access::ItemList& {
                              return list != nullptr && !state.ShuttingDown ? *list : none_;
                            },
                            [this](bool checked) { form_.SetMenuChecked(u"mnuShowInfo", checked); },
                            [&output = p.output](const std::u16string& text) { output.Say(text); },
                            &follower});
  }
  std::unique_ptr<aids::HighlightFrame> MakeHighlightFrame(const core::Program& p) override {
    auto owned = std::make_unique<testing::SimFrameForm>(desk_);
    frame = owned.get();
    return std::make_unique<aids::frmFrameHi>(std::move(owned), p.ports.windows, p.mainWindow);
  }
  std::unique_ptr<access::ItemList> MakeItemList(const core::Program& p) override {
    auto made = PartFactory::MakeItemList(p);
    list = made.get();
    return made;
  }

  testing::SimBandForm* band = nullptr;
  testing::SimFrameForm* frame = nullptr;
  access::ItemList* list = nullptr;

 private:
  platform::SimDesktop& desk_;
  MainForm& form_;
  access::NullItemList none_;
};

// An object that was read, then went before its place was asked for.
class GoneBeforeItsPlace : public SimAccessible {
 public:
  std::optional<Rect> Location(std::int32_t) override { return std::nullopt; }
};

// A settings window with a check box and a push button, a page of three links with their own
// accessible objects, and the program started with `ini` as its settings file.
struct FrameRig {
  explicit FrameRig(std::string_view ini) {
    folder.Write("qlnd.ini", ini);
    for (const char* cue : {"check box", "push button", "link", "edit text"}) {
      folder.Write(std::string("snd/") + cue + ".wav", "RIFF");
    }
    desk.SetScreen(1280, 1024);
    settings = desk.AddTopWindow(u"#32770", u"Nastavení", {100, 100, 500, 400});
    check = desk.AddButton(settings, u"Zapnout zvuk", platform::BS_AUTOCHECKBOX);
    button = desk.AddButton(settings, u"OK");
    desk.Focus(button);
    page = desk.AddTopWindow(u"Page", u"Stránka", {200, 200, 900, 700});
    auto client =
        SimAccessible::Make(platform::ROLE_SYSTEM_CLIENT, u"Stránka", u"", 0, {200, 200, 900, 700});
    client->window = page;
    for (const auto& [name, place] : {std::pair{u"Domů", Rect{210, 240, 290, 260}},
                                      std::pair{u"Zprávy", Rect{300, 240, 380, 260}},
                                      std::pair{u"Kontakt", Rect{210, 300, 290, 320}}}) {
      // Links as a web page gives them: text in the linked state.
      links.push_back(client->Add(SimAccessible::Make(
          platform::ROLE_SYSTEM_TEXT, name, u"",
          platform::STATE_SYSTEM_LINKED | platform::STATE_SYSTEM_FOCUSABLE, place)));
    }
    desk.SetClientAccessible(page, client);
    desk.Focus(button);
    Ms(1000);
    auto made = std::make_unique<AidsFactory>(desk, form);
    parts = made.get();
    main = std::make_unique<frmMain>(
        core::Ports{desk.Windows(), desk.Access(), desk.Keys(), loop, profile, desk.Sounds(),
                    desk.Voice(), clock, waveOut, desk.Html(), desk.ClipboardPort()},
        form, form,
        [this](const std::filesystem::path&) { return std::make_unique<FakeEngine>(log); },
        std::move(made));
    main->Load(folder.Path());
    Ms(500);
  }
  void Ms(std::int64_t ms) { loop.AdvanceBy(ms * 1000); }
  // Moves the focus and lets its announcement run.
  void FocusOn(Hwnd w) {
    desk.Focus(w);
    Ms(200);
  }
  void ListKey(std::uint32_t vk) {
    parts->band->KeyUp(vk);
    Ms(200);
  }
  Hwnd FrameWindow() const { return parts->frame->FrameHandle(); }
  bool FrameShown() { return FrameWindow() != 0 && desk.Windows().IsWindowVisible(FrameWindow()); }
  Rect FrameRect() {
    Rect r;
    desk.Windows().GetWindowRect(FrameWindow(), r);
    return r;
  }
  Rect WindowRect(Hwnd w) {
    Rect r;
    desk.Windows().GetWindowRect(w, r);
    return r;
  }
  // What was said and which cues played, in order.
  std::vector<std::u16string> Heard() const {
    std::vector<std::u16string> out;
    for (const auto& l : log) {
      if (l.rfind(u"say:", 0) == 0 || l.rfind(u"cue:", 0) == 0) out.push_back(l);
    }
    return out;
  }
  // A user's session: the check box, the button, window reading mode on the page with Down,
  // Down, Up, Up, the mode ended, the check box again. Returns whether the frame was ever seen
  // and what was heard.
  std::vector<std::u16string> Session(bool& frameSeen) {
    frameSeen = false;
    auto look = [&] { frameSeen = frameSeen || FrameShown(); };
    FocusOn(check);
    look();
    FocusOn(button);
    look();
    FocusOn(page);
    main->OnMenu(u"mnuWuxExp");
    Ms(200);
    for (const std::uint32_t vk :
         {platform::VK_DOWN, platform::VK_DOWN, platform::VK_UP, platform::VK_UP}) {
      ListKey(vk);
      look();
    }
    main->OnMenu(u"mnuWuxExp");
    Ms(200);
    FocusOn(check);
    look();
    return Heard();
  }

  testing::TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::IniProfile profile;
  NoClock clock;
  platform::SimWaveMapper waveOut{loop, 2};
  testing::SimMainForm form{desk};
  std::vector<std::u16string> log;
  Hwnd settings = 0, check = 0, button = 0, page = 0;
  std::vector<std::shared_ptr<SimAccessible>> links;  // the page's items, in order
  AidsFactory* parts = nullptr;
  std::unique_ptr<frmMain> main;
};

constexpr char kFrameOn[] = "[Frame]\r\nActive=1\r\nWidth=30\r\nColor=65280\r\n";

TEST(FrameScenarioTest, OffByDefaultTheFrameIsNeverShownAndOnNothingHeardChanges) {
  FrameRig off("");
  bool seenOff = true;
  const auto heardOff = off.Session(seenOff);
  EXPECT_FALSE(seenOff);
  EXPECT_EQ(off.parts->frame->hole, Rect{});  // never placed
  // The session reached the page's items through the band.
  EXPECT_NE(std::find(heardOff.begin(), heardOff.end(), u"say:zprávy"), heardOff.end());

  FrameRig on(kFrameOn);
  bool seenOn = false;
  const auto heardOn = on.Session(seenOn);
  EXPECT_TRUE(seenOn);
  EXPECT_EQ(heardOn, heardOff);
}

TEST(FrameScenarioTest, TheFrameGoesRoundTheFocusedCheckBoxAndNeverTakesTheFocus) {
  FrameRig r(kFrameOn);
  EXPECT_FALSE(r.FrameShown());  // loaded hidden until something is announced
  EXPECT_EQ(r.parts->frame->backColor, 65280u);
  r.FocusOn(r.check);
  ASSERT_TRUE(r.FrameShown());
  const Rect box = r.WindowRect(r.check);
  // Width 30: 150 twips, 10 pixels at the form's 15 twips per pixel.
  EXPECT_EQ(r.FrameRect(), (Rect{box.left - 10, box.top - 10, box.right + 10, box.bottom + 10}));
  EXPECT_EQ(r.parts->frame->hole, (Rect{10, 10, 10 + box.Width(), 10 + box.Height()}));
  EXPECT_EQ(r.desk.Foreground(), r.settings);
  EXPECT_EQ(r.desk.FocusWindow(), r.check);

  r.FocusOn(r.button);
  const Rect ok = r.WindowRect(r.button);
  EXPECT_EQ(r.FrameRect(), (Rect{ok.left - 10, ok.top - 10, ok.right + 10, ok.bottom + 10}));
  EXPECT_EQ(r.desk.FocusWindow(), r.button);
}

TEST(FrameScenarioTest, AnObjectWithoutAUsablePlaceHidesTheFrame) {
  FrameRig r(kFrameOn);
  const Hwnd odd = r.desk.AddChild(r.settings, u"Odd", u"", 0, {120, 300, 200, 320});
  auto show = [&](std::shared_ptr<SimAccessible> object) {
    object->props.role = platform::ROLE_SYSTEM_PUSHBUTTON;
    object->props.name = u"Divný";
    object->window = odd;
    r.desk.SetClientAccessible(odd, object);
    r.FocusOn(r.check);
    ASSERT_TRUE(r.FrameShown());
    r.log.clear();
    r.FocusOn(odd);
    // Announced all the same.
    EXPECT_FALSE(r.Heard().empty());
    EXPECT_FALSE(r.FrameShown());
  };
  show(std::make_shared<GoneBeforeItsPlace>());
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  for (const Rect place : {Rect{120, 300, 120, 320}, Rect{kMin, kMin, kMax, kMax},
                           Rect{200, 300, 120, 320}, Rect{kMax - 5, 0, kMax, 10}}) {
    show(SimAccessible::Make(platform::ROLE_SYSTEM_PUSHBUTTON, u"Divný", u"", 0, place));
  }
}

TEST(FrameScenarioTest, ObjectNavigationMovesTheFrameToTheObjectItReaches) {
  FrameRig r(kFrameOn);
  r.FocusOn(r.page);
  const Rect round = r.FrameRect();
  r.log.clear();
  r.main->OnMenu(u"mnuNavForward");
  r.Ms(200);
  ASSERT_EQ(r.Heard(), std::vector<std::u16string>{u"say:domů "});
  ASSERT_TRUE(r.FrameShown());
  // Round the first link, where the pointer went too; the focus stays where it was.
  EXPECT_EQ(r.FrameRect(), (Rect{200, 230, 300, 270}));
  EXPECT_NE(r.FrameRect(), round);
  platform::Point at;
  r.desk.Windows().GetCursorPos(at);
  EXPECT_EQ(at.x, 210);
  EXPECT_EQ(at.y, 240);
  EXPECT_EQ(r.desk.FocusWindow(), r.page);
}

TEST(FrameScenarioTest, InWindowReadingModeTheListKeysMoveTheFrameToTheItem) {
  FrameRig r(kFrameOn);
  r.FocusOn(r.page);
  const Rect pageFrame = r.FrameRect();
  r.main->OnMenu(u"mnuWuxExp");
  r.Ms(200);
  ASSERT_TRUE(r.main->State().ListMode);
  // The band took the keyboard; its announcement leaves the frame where it was.
  EXPECT_EQ(r.desk.TopLevelOf(r.desk.FocusWindow()), r.parts->band->BandHandle());
  EXPECT_EQ(r.FrameRect(), pageFrame);

  auto roundItem = [](Rect item) {
    return Rect{item.left - 10, item.top - 10, item.right + 10, item.bottom + 10};
  };
  r.ListKey(platform::VK_DOWN);
  EXPECT_TRUE(r.FrameShown());
  EXPECT_EQ(r.FrameRect(), roundItem({210, 240, 290, 260}));
  r.ListKey(platform::VK_DOWN);
  EXPECT_EQ(r.FrameRect(), roundItem({300, 240, 380, 260}));
  r.ListKey(platform::VK_DOWN);
  r.ListKey(platform::VK_DOWN);  // the last item stays
  EXPECT_EQ(r.FrameRect(), roundItem({210, 300, 290, 320}));
  EXPECT_EQ(r.desk.TopLevelOf(r.desk.FocusWindow()), r.parts->band->BandHandle());
  for (int i = 0; i < 3; ++i) r.ListKey(platform::VK_UP);  // before the first item: none
  EXPECT_FALSE(r.FrameShown());
  r.ListKey(platform::VK_DOWN);
  EXPECT_TRUE(r.FrameShown());
  // The next item has gone meanwhile (its page changed): no place, no frame; the one after is
  // framed again.
  r.links[1]->Destroy();
  r.ListKey(platform::VK_DOWN);
  EXPECT_FALSE(r.FrameShown());
  r.ListKey(platform::VK_DOWN);
  EXPECT_TRUE(r.FrameShown());
  EXPECT_EQ(r.FrameRect(), roundItem({210, 300, 290, 320}));

  // The mode ends: the frame goes, and comes back with the next announcement.
  r.main->OnMenu(u"mnuWuxExp");
  r.Ms(200);
  EXPECT_FALSE(r.main->State().ListMode);
  EXPECT_FALSE(r.FrameShown());
  r.FocusOn(r.check);
  EXPECT_TRUE(r.FrameShown());
}

TEST(FrameScenarioTest, EscapeInTheBandEndsTheModeAndTheFrameGoesWithTheProgram) {
  FrameRig r(kFrameOn);
  r.FocusOn(r.page);
  r.main->OnMenu(u"mnuWuxExp");
  r.Ms(200);
  r.ListKey(platform::VK_DOWN);
  ASSERT_TRUE(r.FrameShown());
  EXPECT_TRUE(r.parts->band->KeyDown(platform::VK_ESCAPE));
  r.Ms(200);
  EXPECT_FALSE(r.main->State().ListMode);
  EXPECT_FALSE(r.FrameShown());

  // Shutdown unloads the frame and saves the eight values; the Frame section stays as written.
  r.FocusOn(r.check);
  const Hwnd frameWindow = r.FrameWindow();
  ASSERT_NE(frameWindow, 0u);
  r.main->OnMenu(u"mnuFileExit");
  EXPECT_EQ(r.desk.Find(frameWindow), nullptr);
  const std::string saved = testing::TestFolder::Read(r.folder.File("qlnd.ini"));
  EXPECT_EQ(saved,
            std::string(kFrameOn) +
                "\r\n[Info]\r\nTextSize=20\r\nTextForegroundColor=16777215\r\n"
                "TextBackgroundColor=0\r\nActive=0\r\n\r\n[Voice]\r\nName=Male\r\nVolume=50\r\n"
                "Pitch=50\r\nTempo=50\r\n");
}

}  // namespace
}  // namespace quellon::shell
