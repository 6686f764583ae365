#include "reader/fallback_keyboard_hook.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace quellon::reader {
namespace {

using namespace quellon::platform;

struct Msg {
  std::uint32_t message;
  WParam vk;
  LParam code;
  friend bool operator==(const Msg&, const Msg&) = default;
};
constexpr std::uint32_t kUp = platform::MSG_KEY_RELEASED;
constexpr std::uint32_t kDown = platform::MSG_KEY_PRESSED;

struct Desk {
  SimEventLoop loop;
  SimDesktop desk{loop};
  Hwnd main = loop.CreateHiddenWindow();
  std::vector<Msg> got;
  Desk() {
    loop.SetWindowProc(main, [this](Hwnd, std::uint32_t m, WParam w, LParam l) {
      got.push_back({m, w, l});
      return LResult{0};
    });
  }
  void Poll() { loop.AdvanceBy(FallbackKeyboardHook::kPollMs * 1000); }
};

TEST(FallbackKeyboardHook, ModifierCodes) {
  EXPECT_EQ(ModifierCode(false, false), 6u);
  EXPECT_EQ(ModifierCode(false, true), 4u);
  EXPECT_EQ(ModifierCode(true, false), 2u);
  EXPECT_EQ(ModifierCode(true, true), 0u);
}

TEST(FallbackKeyboardHook, PostsPressesAndReleasesWithTheirModifiers) {
  Desk d;
  const Hwnd note = d.desk.AddTopWindow(u"Notepad", u"Poznámky");
  const Hwnd edit = d.desk.AddEdit(note, u"");
  d.desk.Focus(edit);
  d.desk.KeyDown(VK_LSHIFT);  // already held when the hook starts: not reported as pressed
  FallbackKeyboardHook hook(d.desk.Keys(), d.loop);
  EXPECT_EQ(hook.InstallKeyboardHook(d.main, 1), 1);
  d.Poll();
  EXPECT_TRUE(d.got.empty());
  d.desk.KeyUp(VK_LSHIFT);
  d.Poll();
  EXPECT_EQ(d.got, (std::vector<Msg>{{kUp, VK_SHIFT, 6}}));
  d.got.clear();

  // Left Ctrl alone: wParam 17 (the general code) and lParam 2, as the speech stop expects.
  d.desk.KeyDown(VK_LCONTROL);
  d.Poll();
  d.desk.KeyUp(VK_LCONTROL);
  d.Poll();
  EXPECT_EQ(d.got, (std::vector<Msg>{{kDown, VK_CONTROL, 2}, {kUp, VK_CONTROL, 6}}));
  d.got.clear();

  // Ctrl+Shift+F2 pressed and released within one look each: the command key carries both
  // modifiers on both messages.
  d.desk.KeyDown(VK_RCONTROL);
  d.desk.KeyDown(VK_LSHIFT);
  d.desk.KeyDown(VK_F2);
  d.Poll();
  d.desk.KeyUp(VK_F2);
  d.desk.KeyUp(VK_LSHIFT);
  d.desk.KeyUp(VK_RCONTROL);
  d.Poll();
  EXPECT_EQ(d.got, (std::vector<Msg>{{kDown, VK_SHIFT, 4},
                                     {kDown, VK_CONTROL, 0},
                                     {kDown, VK_F2, 0},
                                     {kUp, VK_F2, 0},
                                     {kUp, VK_SHIFT, 2},
                                     {kUp, VK_CONTROL, 6}}));
  d.got.clear();

  // Nothing is swallowed: the edit got its keys, and typing is reported key by key.
  d.desk.KeyDown('A');
  d.Poll();
  d.desk.KeyUp('A');
  d.Poll();
  EXPECT_EQ(d.got, (std::vector<Msg>{{kDown, 'A', 6}, {kUp, 'A', 6}}));
  EXPECT_EQ(d.desk.Edit(edit)->Text(), u"a");
  d.got.clear();

  // Stopping: no more messages.
  EXPECT_EQ(hook.InstallKeyboardHook(d.main, 0), 0);
  EXPECT_FALSE(hook.Installed());
  d.desk.KeyDown('B');
  d.Poll();
  d.desk.KeyUp('B');
  d.Poll();
  EXPECT_TRUE(d.got.empty());
}

TEST(FallbackKeyboardHook, NoWindowOrAWindowThatGoes) {
  Desk d;
  FallbackKeyboardHook hook(d.desk.Keys(), d.loop);
  EXPECT_EQ(hook.InstallKeyboardHook(0, 1), 0);
  EXPECT_FALSE(hook.Installed());

  // Reinstalling moves the reports to the new window.
  const Hwnd other = d.loop.CreateHiddenWindow();
  EXPECT_EQ(hook.InstallKeyboardHook(other, 1), 1);
  EXPECT_EQ(hook.InstallKeyboardHook(d.main, 1), 1);
  d.desk.KeyDown(VK_F5);
  d.Poll();
  EXPECT_EQ(d.got, (std::vector<Msg>{{kDown, VK_F5, 6}}));

  // The window goes away: the next report fails and the hook stops by itself.
  d.loop.DestroyWindow(d.main);
  d.desk.KeyUp(VK_F5);
  d.Poll();
  EXPECT_FALSE(hook.Installed());
  const std::uint64_t ticks = d.loop.TimerTicks();
  d.Poll();
  EXPECT_EQ(d.loop.TimerTicks(), ticks);
}

}  // namespace
}  // namespace quellon::reader
