#include "platform/posted_call.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/win_types.h"

namespace quellon::platform {
namespace {

constexpr SimEventLoop::Micros kMs = 1000;

TEST(PostedCall, RunsWhenTheLoopIsFreeWithoutTimeGoingBy) {
  SimEventLoop loop;
  loop.AdvanceBy(7 * kMs);
  int runs = 0;
  SimEventLoop::Micros ranAt = -1;
  PostedCall call(loop, [&] {
    ++runs;
    ranAt = loop.Now();
  });
  EXPECT_TRUE(call.Post());
  EXPECT_TRUE(call.Waiting());
  EXPECT_EQ(runs, 0);  // not from inside Post
  loop.PumpPending();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ranAt, 7 * kMs);
  EXPECT_FALSE(call.Waiting());
  EXPECT_EQ(call.Runs(), 1u);
  loop.AdvanceBy(1000 * kMs);
  EXPECT_EQ(runs, 1);  // once per Post, not periodic
}

TEST(PostedCall, ManyPostsBeforeTheLoopGetsToItRunOnce) {
  SimEventLoop loop;
  int runs = 0;
  PostedCall call(loop, [&] { ++runs; });
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(call.Post());
  const std::uint64_t before = loop.MessagesDispatched();
  loop.PumpPending();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(loop.MessagesDispatched() - before, 1u);  // one message went out, not five
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(runs, 2);
}

TEST(PostedCall, RunsAfterWhatWasQueuedBeforeItAndBeforeTimers) {
  SimEventLoop loop;
  std::vector<std::string> order;
  const Hwnd other = loop.CreateHiddenWindow();
  loop.SetWindowProc(other, [&](Hwnd, std::uint32_t m, WParam, LParam) {
    order.push_back("message " + std::to_string(m));
    return LResult{0};
  });
  PostedCall call(loop, [&] { order.push_back("call"); });
  loop.SetTimer(10, [&] { order.push_back("timer"); });
  loop.AdvanceBy(9 * kMs);
  loop.PostMessage(other, 1, 0, 0);
  call.Post();
  loop.PostMessage(other, 2, 0, 0);
  loop.AdvanceBy(1 * kMs);  // the timer falls due now as well
  EXPECT_EQ(order, (std::vector<std::string>{"message 1", "call", "message 2", "timer"}));
}

TEST(PostedCall, CancelledCallDoesNotRunAndALaterPostRunsOnce) {
  SimEventLoop loop;
  int runs = 0;
  PostedCall call(loop, [&] { ++runs; });
  call.Post();
  call.Cancel();
  EXPECT_FALSE(call.Waiting());
  loop.PumpPending();
  EXPECT_EQ(runs, 0);
  // Cancelled, then posted anew before the loop ran: the old message is still queued and must
  // not run the call a second time.
  call.Post();
  call.Cancel();
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(call.Waiting());
}

TEST(PostedCall, CallCanPostItselfAgainAndRunsAfterNewerMessages) {
  SimEventLoop loop;
  std::vector<std::string> order;
  const Hwnd other = loop.CreateHiddenWindow();
  loop.SetWindowProc(other, [&](Hwnd, std::uint32_t, WParam, LParam) {
    order.push_back("message");
    return LResult{0};
  });
  int left = 3;
  PostedCall* self = nullptr;
  PostedCall call(loop, [&] {
    order.push_back("call");
    if (--left > 0) {
      loop.PostMessage(other, 1, 0, 0);
      EXPECT_TRUE(self->Post());
    }
  });
  self = &call;
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(order, (std::vector<std::string>{"call", "message", "call", "message", "call"}));
  EXPECT_EQ(call.Runs(), 3u);
}

TEST(PostedCall, DestroyedWhileWaitingNeverRuns) {
  SimEventLoop loop;
  int runs = 0;
  {
    PostedCall call(loop, [&] { ++runs; });
    call.Post();
  }
  loop.PumpPending();
  EXPECT_EQ(runs, 0);
}

TEST(PostedCall, FailingCallEndsQuietlyAndCanBePostedAgain) {
  SimEventLoop loop;
  int runs = 0;
  PostedCall call(loop, [&] {
    if (++runs == 1) throw std::runtime_error("object gone");
  });
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(call.Waiting());
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(runs, 2);
}

// A loop that makes no windows: Post reports that nothing will run.
class WindowlessLoop : public SimEventLoop {
 public:
  Hwnd CreateHiddenWindow() override { return 0; }
};

TEST(PostedCall, WithoutAWindowPostFails) {
  WindowlessLoop loop;
  int runs = 0;
  PostedCall call(loop, [&] { ++runs; });
  EXPECT_FALSE(call.Post());
  EXPECT_FALSE(call.Waiting());
  loop.PumpPending();
  EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace quellon::platform
