#include "aids/highlight_frame.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_window.h"
#include "testing/sim_aids_forms.h"

namespace quellon::aids {
namespace {

using platform::Hwnd;
using platform::Rect;

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() {
    notepad = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok", {0, 0, 800, 600});
    editor = desk.AddEdit(notepad, u"text", {.multiline = true});
    desk.Focus(editor);
    auto owned = std::make_unique<testing::SimFrameForm>(desk);
    form = owned.get();
    frame = std::make_unique<frmFrameHi>(std::move(owned), desk.Windows(), 0x77);
  }
  platform::SimWindow& Window() { return *desk.Find(form->FrameHandle()); }
  bool Visible() { return desk.Windows().IsWindowVisible(form->FrameHandle()); }
  Rect WindowRect() {
    Rect r;
    desk.Windows().GetWindowRect(form->FrameHandle(), r);
    return r;
  }

  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  Hwnd notepad = 0;
  Hwnd editor = 0;
  testing::SimFrameForm* form = nullptr;
  std::unique_ptr<frmFrameHi> frame;
};

TEST_F(FrameTest, LoadedHiddenWithTheDefaultColour) {
  frame->LoadFrameHidden();
  ASSERT_TRUE(form->FrameLoaded());
  EXPECT_FALSE(Visible());
  EXPECT_EQ(form->backColor, frmFrameHi::kDefaultColor);
  frame->UnloadFrame();
  EXPECT_FALSE(form->FrameLoaded());
}

TEST_F(FrameTest, FrameInitMakesTheWindowLayeredColourKeyedAndTopmost) {
  frame->LoadFrameHidden();
  frame->FrameInit();
  EXPECT_EQ(form->holeColor, 0xFE0000u);
  EXPECT_TRUE(Window().exStyle & platform::WS_EX_LAYERED);
  EXPECT_TRUE(Window().exStyle & platform::WS_EX_TOPMOST);
  EXPECT_EQ(Window().colorKey, 0xFE0000u);
  EXPECT_EQ(Window().layeredFlags, platform::LWA_COLORKEY);
  EXPECT_TRUE(Visible());
  EXPECT_TRUE(desk.MessageBoxes().empty());
}

TEST_F(FrameTest, AFrameMovedWhileHiddenIsShownRoundTheObjectWithTheStandardWidth) {
  frame->LoadFrameHidden();
  frame->MoveFrame({100, 200, 180, 230});  // 80 by 30 pixels
  EXPECT_EQ(frame->FrameWidth(), 50);
  EXPECT_TRUE(Visible());
  // 50 twips are 3 pixels (3.33 rounded).
  EXPECT_EQ(WindowRect(), (Rect{97, 197, 183, 233}));
  EXPECT_EQ(form->hole, (Rect{3, 3, 83, 33}));
  EXPECT_TRUE(Window().exStyle & platform::WS_EX_LAYERED);
  // Moving it again does not hide or re-initialise it.
  frame->MoveFrame({0, 0, 10, 10});
  EXPECT_EQ(WindowRect(), (Rect{-3, -3, 13, 13}));
  EXPECT_TRUE(Visible());
}

TEST_F(FrameTest, SetWidthCountsFiveTwipsAStep) {
  frame->LoadFrameHidden();
  frame->SetWidth(10);
  EXPECT_EQ(frame->FrameWidth(), 50);
  frame->SetWidth(30);  // 150 twips: 10 pixels
  frame->MoveFrame({100, 100, 200, 200});
  EXPECT_EQ(WindowRect(), (Rect{90, 90, 210, 210}));
  EXPECT_EQ(form->hole, (Rect{10, 10, 110, 110}));
  frame->SetWidth(0);  // read as the standard width again
  frame->MoveFrame({100, 100, 200, 200});
  EXPECT_EQ(frame->FrameWidth(), 50);
  EXPECT_EQ(WindowRect(), (Rect{97, 97, 203, 203}));
}

TEST_F(FrameTest, SetColorIsTheFormsBackground) {
  frame->SetColor(0x00FF00);
  EXPECT_EQ(frame->FrameColor(), 0x00FF00u);
  frame->LoadFrameHidden();
  EXPECT_EQ(form->backColor, 0x00FF00u);
  frame->SetColor(0xFF0000);
  EXPECT_EQ(form->backColor, 0xFF0000u);
}

TEST_F(FrameTest, HideAndShowKeepThePlace) {
  frame->LoadFrameHidden();
  frame->MoveFrame({100, 200, 180, 230});
  frame->FrameHide();
  EXPECT_FALSE(Visible());
  frame->FrameShow();
  EXPECT_TRUE(Visible());
  EXPECT_EQ(WindowRect(), (Rect{97, 197, 183, 233}));
}

TEST_F(FrameTest, TheFrameNeverTakesTheFocus) {
  frame->LoadFrameHidden();
  frame->MoveFrame({100, 200, 180, 230});
  frame->FrameHide();
  frame->FrameShow();
  frame->MoveFrame({10, 20, 30, 40});
  EXPECT_EQ(desk.Foreground(), notepad);
  EXPECT_EQ(desk.FocusWindow(), editor);
}

TEST_F(FrameTest, AnObjectWithImpossibleNumbersGivesAFrameThatStaysInRange) {
  frame->LoadFrameHidden();
  frame->MoveFrame({100, 100, 50, 50});  // right and bottom before left and top: no size
  EXPECT_EQ(form->hole, (Rect{3, 3, 3, 3}));
  EXPECT_EQ(WindowRect(), (Rect{97, 97, 103, 103}));
  constexpr std::int32_t kLeftmost = std::numeric_limits<std::int32_t>::min();
  frame->MoveFrame({kLeftmost, 0, kLeftmost + 10, 10});
  EXPECT_EQ(WindowRect().left, kLeftmost);
  EXPECT_EQ(form->hole, (Rect{3, 3, 13, 13}));
  frame->SetWidth(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(frame->FrameWidth(), std::numeric_limits<std::int32_t>::max());
}

TEST_F(FrameTest, AWindowThatCannotBeMadeIsReportedOnce) {
  form->failLoad = true;
  frame->LoadFrameHidden();
  frame->MoveFrame({100, 200, 180, 230});
  frame->MoveFrame({100, 200, 180, 230});
  ASSERT_EQ(desk.MessageBoxes().size(), 1u);
  EXPECT_EQ(desk.MessageBoxes()[0].text, u"The frame window cannot be made. Source : frmFrameHi");
  EXPECT_EQ(desk.MessageBoxes()[0].owner, 0x77u);
  frame->FrameShow();
  frame->FrameHide();
  EXPECT_EQ(desk.MessageBoxes().size(), 1u);
}

}  // namespace
}  // namespace quellon::aids
