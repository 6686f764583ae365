// Synthetic input on the simulated desktop: one key press and release, and a click that lands
// exactly on its point although the user's pointer accelerates, with the settings put back.
#include "core/synthetic_input.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace quellon::core {
namespace {

using namespace platform;

TEST(SyntheticInput, KeyPressReachesTheFocusedProgramAsPressAndRelease) {
  SimEventLoop loop;
  SimDesktop desk{loop};
  const Hwnd top = desk.AddTopWindow(u"Notepad", u"N");
  desk.Focus(desk.AddEdit(top, u"", {.multiline = true}));
  EXPECT_EQ(SendKeyPress(desk.Keys(), VK_DOWN), 2u);
  loop.PumpPending();
  ASSERT_EQ(desk.DeliveredKeys().size(), 2u);
  EXPECT_EQ(desk.DeliveredKeys()[0].vk, VK_DOWN);
  EXPECT_FALSE(desk.DeliveredKeys()[0].up);
  EXPECT_TRUE(desk.DeliveredKeys()[1].up);
}

TEST(SyntheticInput, ClickLandsOnItsPointWithAccelerationOffAndRestoresIt) {
  SimEventLoop loop;
  SimDesktop desk{loop};
  const Hwnd app = desk.AddTopWindow(u"App", u"A", {200, 200, 600, 600});
  const Hwnd ok = desk.AddButton(app, u"OK");
  Rect r;
  desk.Windows().GetWindowRect(ok, r);
  desk.MoveMouse(10, 10);
  desk.Mouse() = {6, 10, 2};  // a long move would land four times as far
  SendMouseClick(desk.Keys(), desk.Windows(), r.left + 3, r.top + 4, true);
  loop.PumpPending();
  ASSERT_EQ(desk.Clicks().size(), 1u);
  EXPECT_EQ(desk.Clicks()[0].at, (Point{r.left + 3, r.top + 4}));
  EXPECT_TRUE(desk.Clicks()[0].right);
  EXPECT_EQ(desk.Mouse(), (MouseParams{6, 10, 2}));
  // Without acceleration nothing is switched.
  desk.Mouse() = {0, 0, 0};
  SendMouseClick(desk.Keys(), desk.Windows(), r.left + 1, r.top + 1, false);
  loop.PumpPending();
  ASSERT_EQ(desk.Clicks().size(), 2u);
  EXPECT_EQ(desk.Clicks()[1].at, (Point{r.left + 1, r.top + 1}));
  EXPECT_FALSE(desk.Clicks()[1].right);
}

}  // namespace
}  // namespace quellon::core
