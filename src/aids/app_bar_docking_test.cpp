#include "aids/app_bar_docking.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_event_loop.h"

namespace quellon::aids {
namespace {

using platform::Hwnd;
using platform::Rect;

// A form of the simulated desktop with a size in twips, 15 twips per pixel.
class TwipsForm : public DockedForm {
 public:
  TwipsForm(platform::SimDesktop& desk, std::int32_t width, std::int32_t height)
      : hwnd_(desk.AddTopWindow(u"ThunderForm", u"band", {0, 0, 100, 100})),
        width_(width),
        height_(height) {}
  Hwnd DockedHandle() const override { return hwnd_; }
  std::int32_t DockedWidth() const override { return width_; }
  std::int32_t DockedHeight() const override { return height_; }
  std::int32_t TwipsPerPixelX() const override { return 15; }
  std::int32_t TwipsPerPixelY() const override { return 15; }

 private:
  Hwnd hwnd_;
  std::int32_t width_;
  std::int32_t height_;
};

class Docking : public ::testing::Test {
 protected:
  Docking() { desk.SetScreen(1280, 1024); }
  Rect WindowRect(Hwnd w) {
    Rect r;
    desk.Windows().GetWindowRect(w, r);
    return r;
  }
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  cAppDesktopToolbar bar{desk.ShellPort(), desk.Windows()};
};

TEST_F(Docking, TopEdgeGrantsTheFormsHeightInPixelsAndResizeMovesTheFormThere) {
  TwipsForm form(desk, 19200, 600);
  ASSERT_TRUE(bar.Add(form));
  EXPECT_TRUE(desk.ShellPort().Bars().contains(form.DockedHandle()));
  ASSERT_TRUE(bar.DockToEdge(AppBarDocking::kTop));
  EXPECT_EQ(bar.Granted(), (Rect{0, 0, 1280, 40}));
  EXPECT_EQ(desk.ShellPort().Bars().at(form.DockedHandle()).rect, (Rect{0, 0, 1280, 40}));
  // Docking alone does not move the window; its resize event does.
  EXPECT_EQ(WindowRect(form.DockedHandle()), (Rect{0, 0, 100, 100}));
  bar.frm_Resize();
  EXPECT_EQ(WindowRect(form.DockedHandle()), (Rect{0, 0, 1280, 40}));
}

TEST_F(Docking, EachEdgeCutsTheScreenToTheFormsThickness) {
  TwipsForm form(desk, 1500, 600);  // 100 by 40 pixels
  ASSERT_TRUE(bar.Add(form));
  ASSERT_TRUE(bar.DockToEdge(AppBarDocking::kLeft));
  EXPECT_EQ(bar.Granted(), (Rect{0, 0, 100, 1024}));
  ASSERT_TRUE(bar.DockToEdge(AppBarDocking::kRight));
  EXPECT_EQ(bar.Granted(), (Rect{1180, 0, 1280, 1024}));
  ASSERT_TRUE(bar.DockToEdge(AppBarDocking::kBottom));
  EXPECT_EQ(bar.Granted(), (Rect{0, 984, 1280, 1024}));
  bar.frm_Resize();
  EXPECT_EQ(WindowRect(form.DockedHandle()), (Rect{0, 984, 1280, 1024}));
  EXPECT_FALSE(bar.DockToEdge(4));
  EXPECT_EQ(bar.Granted(), (Rect{0, 984, 1280, 1024}));
}

TEST_F(Docking, ASecondBarAtTheTopGoesBelowTheFirst) {
  TwipsForm first(desk, 19200, 600);
  TwipsForm second(desk, 19200, 300);
  cAppDesktopToolbar other(desk.ShellPort(), desk.Windows());
  ASSERT_TRUE(other.Add(first));
  ASSERT_TRUE(other.DockToEdge(AppBarDocking::kTop));
  ASSERT_TRUE(bar.Add(second));
  ASSERT_TRUE(bar.DockToEdge(AppBarDocking::kTop));
  EXPECT_EQ(bar.Granted(), (Rect{0, 40, 1280, 60}));
}

TEST_F(Docking, RemoveUnregistersOnceAndWithoutAddDoesNothing) {
  bar.Remove();
  EXPECT_FALSE(bar.Holding());
  TwipsForm form(desk, 19200, 600);
  bar.Add(form);
  bar.DockToEdge(AppBarDocking::kTop);
  bar.Remove();
  EXPECT_FALSE(bar.Holding());
  EXPECT_TRUE(desk.ShellPort().Bars().empty());
  // Without a form nothing is docked or moved.
  EXPECT_FALSE(bar.DockToEdge(AppBarDocking::kTop));
  desk.Windows().SetWindowPos(form.DockedHandle(), 0, 5, 5, 10, 10, platform::SWP_NOZORDER);
  bar.frm_Resize();
  EXPECT_EQ(WindowRect(form.DockedHandle()), (Rect{5, 5, 15, 15}));
}

TEST_F(Docking, AFormTheShellRefusesIsNeitherDockedNorMoved) {
  TwipsForm form(desk, 19200, 600);
  desk.DestroyWindow(form.DockedHandle());
  EXPECT_FALSE(bar.Add(form));
  EXPECT_FALSE(bar.DockToEdge(AppBarDocking::kTop));
  EXPECT_TRUE(desk.ShellPort().Bars().empty());
}

}  // namespace
}  // namespace quellon::aids
