#include "reader/progress_value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace quellon::reader {
namespace {

using platform::Hwnd;

// Records the tones it is asked for; a tone "sounds" while `playing` is set.
class RecordingTone : public ProgressTone {
 public:
  std::vector<std::int32_t> played;
  bool playing = false;

  void LoadProgressSound(const std::u16string&) override {}
  void CloseProgressSound() override {}
  void PlayProgressTone(std::int32_t percent) override { played.push_back(percent); }
  bool ProgressTonePlaying() const override { return playing; }
};

struct Desk {
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  RecordingTone tone;
  ProgressValueWatcher watcher{desk.Windows(), desk.Access(), tone};
  Hwnd copy = desk.AddTopWindow(u"#32770", u"Kopírování");
  Hwnd bar = desk.AddProgressBar(copy);

  Desk() {
    desk.Focus(copy);
    loop.AdvanceBy(1000);
  }
  // The bar's object reads `value`, and says it changed.
  void Change(Hwnd w, std::u16string value) {
    desk.SetClientAccessible(
        w, platform::SimAccessible::Make(platform::ROLE_SYSTEM_PROGRESSBAR, u"", std::move(value)));
    watcher.OnValueChange(w, platform::OBJID_CLIENT, platform::CHILDID_SELF);
  }
};

TEST(ProgressPercent, ReadsTheLeadingNumberWithoutPercentSigns) {
  EXPECT_EQ(ProgressPercent(u"37 %"), 37);
  EXPECT_EQ(ProgressPercent(u"45 "), 45);
  EXPECT_EQ(ProgressPercent(u"%80"), 80);
  EXPECT_EQ(ProgressPercent(u"abc"), 0);
  EXPECT_EQ(ProgressPercent(u"0 %"), 0);
  EXPECT_EQ(ProgressPercent(u"37.5%"), 38);  // halves to the even neighbour
  EXPECT_EQ(ProgressPercent(u"36.5%"), 36);
  EXPECT_EQ(ProgressPercent(u"4%5"), 45);  // every sign goes, also inside
  EXPECT_EQ(ProgressPercent(u"99999999999 %"), std::nullopt);
}

TEST(ProgressValueWatcher, AValueOf37PercentPlaysTheToneFor37) {
  Desk d;
  d.Change(d.bar, u"37 %");
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{37}));
}

TEST(ProgressValueWatcher, ZeroNothingAndNoNumberPlayNothing) {
  Desk d;
  d.Change(d.bar, u"0 %");
  d.Change(d.bar, u"abc");
  d.Change(d.bar, u"");
  d.Change(d.bar, u"-5 %");
  d.Change(d.bar, u"99999999999 %");
  EXPECT_TRUE(d.tone.played.empty());
}

TEST(ProgressValueWatcher, TrailingBlanksAndFractionsAreRead) {
  Desk d;
  d.Change(d.bar, u"45 ");
  d.Change(d.bar, u"37.5");
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{45, 38}));
}

TEST(ProgressValueWatcher, TheSimulatedProgressBarSoundsThroughTheEventHook) {
  Desk d;
  d.desk.Access().SetWinEventHook(
      platform::EVENT_OBJECT_VALUECHANGE, platform::EVENT_OBJECT_VALUECHANGE,
      [&](const platform::WinEvent& e) { d.watcher.OnValueChange(e.hwnd, e.idObject, e.idChild); });
  d.desk.SetProgress(d.bar, 60);
  d.loop.AdvanceBy(50'000);
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{60}));
}

TEST(ProgressValueWatcher, ABackgroundWindowMakesNoSound) {
  Desk d;
  const Hwnd other = d.desk.AddTopWindow(u"Notepad", u"Poznámkový blok");
  d.desk.Focus(other);
  d.loop.AdvanceBy(1000);
  d.Change(d.bar, u"37 %");
  EXPECT_TRUE(d.tone.played.empty());
  EXPECT_FALSE(d.watcher.IsInForegroundTree(d.bar));
  EXPECT_TRUE(d.watcher.IsInForegroundTree(other));
}

TEST(ProgressValueWatcher, OnlyFramelessChildWindowsLeadToTheActiveWindow) {
  Desk d;
  const Hwnd pane = d.desk.AddChild(d.copy, u"Pane", u"");
  const Hwnd inPane = d.desk.AddProgressBar(pane);
  const Hwnd framed = d.desk.AddChild(d.copy, u"MDIChild", u"Dokument", platform::WS_CAPTION);
  const Hwnd inFramed = d.desk.AddProgressBar(framed);
  const Hwnd bordered = d.desk.AddChild(d.copy, u"Group", u"", platform::WS_BORDER);
  const Hwnd inBordered = d.desk.AddProgressBar(bordered);
  const Hwnd dialogFrame = d.desk.AddChild(d.copy, u"Group", u"", platform::WS_DLGFRAME);
  const Hwnd inDialogFrame = d.desk.AddProgressBar(dialogFrame);
  EXPECT_TRUE(d.watcher.IsInForegroundTree(d.copy));
  EXPECT_TRUE(d.watcher.IsInForegroundTree(inPane));
  EXPECT_FALSE(d.watcher.IsInForegroundTree(inFramed));
  EXPECT_FALSE(d.watcher.IsInForegroundTree(inBordered));
  EXPECT_FALSE(d.watcher.IsInForegroundTree(inDialogFrame));
  d.Change(inPane, u"20 %");
  d.Change(inFramed, u"30 %");
  d.Change(inBordered, u"40 %");
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{20}));
}

TEST(ProgressValueWatcher, AGoneWindowOrObjectMakesNoSound) {
  Desk d;
  EXPECT_FALSE(d.watcher.IsInForegroundTree(0));
  EXPECT_FALSE(d.watcher.IsInForegroundTree(0xDEAD0));
  d.watcher.OnValueChange(0xDEAD0, platform::OBJID_CLIENT, platform::CHILDID_SELF);
  auto object = platform::SimAccessible::Make(platform::ROLE_SYSTEM_PROGRESSBAR, u"", u"50 %");
  d.desk.SetClientAccessible(d.bar, object);
  object->Destroy();
  d.watcher.OnValueChange(d.bar, platform::OBJID_CLIENT, platform::CHILDID_SELF);
  EXPECT_TRUE(d.tone.played.empty());
}

TEST(ProgressValueWatcher, TheValueOfTheEventsChildIsRead) {
  Desk d;
  auto object = platform::SimAccessible::Make(platform::ROLE_SYSTEM_CLIENT, u"", u"10 %");
  platform::SimAccProps element;
  element.role = platform::ROLE_SYSTEM_PROGRESSBAR;
  element.value = u"70 %";
  const std::int32_t child = object->AddElement(element);
  d.desk.SetClientAccessible(d.bar, object);
  d.watcher.OnValueChange(d.bar, platform::OBJID_CLIENT, child);
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{70}));
}

TEST(ProgressValueWatcher, NothingPlaysWhileAToneSounds) {
  Desk d;
  d.tone.playing = true;
  d.Change(d.bar, u"37 %");
  EXPECT_TRUE(d.tone.played.empty());
  d.tone.playing = false;
  d.Change(d.bar, u"38 %");
  EXPECT_EQ(d.tone.played, (std::vector<std::int32_t>{38}));
}

}  // namespace
}  // namespace quellon::reader
