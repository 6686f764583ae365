#include "aids/frame_follower.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_event_loop.h"
#include "testing/sim_aids_forms.h"

namespace quellon::aids {
namespace {

using platform::Rect;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class FrameFollowerTest : public ::testing::Test {
 protected:
  FrameFollowerTest() {
    auto owned = std::make_unique<testing::SimFrameForm>(desk);
    form = owned.get();
    frame = std::make_unique<frmFrameHi>(std::move(owned), desk.Windows());
    frame->LoadFrameHidden();
  }
  bool Visible() { return desk.Windows().IsWindowVisible(form->FrameHandle()); }
  Rect WindowRect() {
    Rect r;
    desk.Windows().GetWindowRect(form->FrameHandle(), r);
    return r;
  }
  static core::FrameSettings On(std::int32_t width = 10, std::uint32_t color = 255) {
    return {.active = true, .width = width, .color = color};
  }

  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  testing::SimFrameForm* form = nullptr;
  std::unique_ptr<frmFrameHi> frame;
  FrameFollower follower{[this]() -> HighlightFrame& { return *frame; }};
};

TEST_F(FrameFollowerTest, OffItNeverShowsTheFrameNorTouchesItsLook) {
  follower.Configure({});
  follower.Follow(Rect{100, 100, 200, 150});
  follower.Hide();
  EXPECT_FALSE(follower.Active());
  EXPECT_FALSE(Visible());
  EXPECT_EQ(frame->FrameWidth(), 0);  // SetWidth never came
  EXPECT_EQ(form->backColor, frmFrameHi::kDefaultColor);
}

TEST_F(FrameFollowerTest, OnItTakesWidthAndColourAndGoesRoundTheRectangle) {
  follower.Configure(On(30, 0x00FF00));
  EXPECT_TRUE(follower.Active());
  EXPECT_EQ(frame->FrameWidth(), 150);
  EXPECT_EQ(form->backColor, 0x00FF00u);
  follower.Follow(Rect{100, 100, 200, 150});
  EXPECT_TRUE(Visible());
  EXPECT_EQ(WindowRect(), (Rect{90, 90, 210, 160}));  // 150 twips: 10 pixels
  EXPECT_EQ(form->hole, (Rect{10, 10, 110, 60}));
  // The transparent colour would draw an invisible frame: red instead.
  follower.Configure(On(10, frmFrameHi::kHoleColor));
  EXPECT_EQ(form->backColor, 255u);
}

TEST_F(FrameFollowerTest, NoPlaceOrAPlaceNoObjectHasHidesTheFrame) {
  follower.Configure(On());
  const Rect good{100, 100, 200, 150};
  const std::optional<Rect> bad[] = {
      std::nullopt,                     // the object has gone or gives no place
      Rect{100, 100, 100, 150},         // no width
      Rect{100, 100, 200, 100},         // no height
      Rect{200, 100, 100, 150},         // right before left
      Rect{kMin, 0, kMin + 10, 10},     // out past any screen
      Rect{0, 0, kMax, 10},             // wider than any screen
      Rect{-(1 << 29) - 1, 0, 10, 10},  // one pixel past the farthest edge
  };
  for (const auto& r : bad) {
    follower.Follow(good);
    ASSERT_TRUE(Visible());
    follower.Follow(r);
    EXPECT_FALSE(Visible()) << (r ? r->left : -1) << "," << (r ? r->right : -1);
  }
  // The farthest edges themselves still count as a place.
  follower.Follow(Rect{-(1 << 29), -(1 << 29), 1 << 29, 1 << 29});
  EXPECT_TRUE(Visible());
  EXPECT_EQ(WindowRect().left, -(1 << 29) - 3);
}

TEST_F(FrameFollowerTest, StopTurnsItOffAndAFailingFrameIsContained) {
  follower.Configure(On());
  follower.Follow(Rect{0, 0, 10, 10});
  follower.Stop();
  EXPECT_FALSE(Visible());
  EXPECT_FALSE(follower.Active());
  follower.Follow(Rect{0, 0, 10, 10});
  EXPECT_FALSE(Visible());

  // A frame part that throws leaves the caller running.
  struct ThrowingFrame : HighlightFrame {
    void LoadFrameHidden() override {}
    void UnloadFrame() override {}
    void MoveFrame(const Rect&) override { throw std::runtime_error("gone"); }
    void FrameHide() override { throw std::runtime_error("gone"); }
    void SetWidth(std::int32_t) override { throw std::runtime_error("gone"); }
  } throwing;
  FrameFollower f{[&]() -> HighlightFrame& { return throwing; }};
  EXPECT_NO_THROW(f.Configure(On()));
  EXPECT_NO_THROW(f.Follow(Rect{0, 0, 10, 10}));
  EXPECT_NO_THROW(f.Follow(std::nullopt));
  EXPECT_NO_THROW(f.Stop());
}

}  // namespace
}  // namespace quellon::aids
