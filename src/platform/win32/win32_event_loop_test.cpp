// The Windows event loop with the posted call on it, run under Wine: message-only windows, the
// thread's real message queue and the PeekMessage pump.
#include "platform/win32/win32_event_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posted_call.h"

namespace quellon::platform {
namespace {

TEST(Win32EventLoop, PostedCallRunsOnceFromTheQueueInItsPlace) {
  Win32EventLoop loop;
  std::vector<std::string> order;
  const Hwnd other = loop.CreateHiddenWindow();
  ASSERT_NE(other, 0u);
  loop.SetWindowProc(other, [&](Hwnd, std::uint32_t m, WParam, LParam) {
    order.push_back("message " + std::to_string(m - 0x8100));
    return LResult{0};
  });
  PostedCall call(loop, [&] { order.push_back("call"); });
  loop.PostMessage(other, 0x8101, 0, 0);
  EXPECT_TRUE(call.Post());
  EXPECT_TRUE(call.Post());  // still waiting: nothing more is posted
  loop.PostMessage(other, 0x8102, 0, 0);
  EXPECT_TRUE(order.empty());
  loop.PumpPending();
  EXPECT_EQ(order, (std::vector<std::string>{"message 1", "call", "message 2"}));
  EXPECT_EQ(call.Runs(), 1u);
  loop.DestroyWindow(other);
}

TEST(Win32EventLoop, PostedCallPostingItselfRunsAgainAndACancelledOneNot) {
  Win32EventLoop loop;
  int runs = 0;
  PostedCall* self = nullptr;
  PostedCall call(loop, [&] {
    if (++runs < 3) self->Post();
  });
  self = &call;
  call.Post();
  loop.PumpPending();
  EXPECT_EQ(runs, 3);
  call.Post();
  call.Cancel();
  loop.PumpPending();
  EXPECT_EQ(runs, 3);
  EXPECT_FALSE(call.Waiting());
}

TEST(Win32EventLoop, PostedCallDestroyedWhileWaitingNeverRuns) {
  Win32EventLoop loop;
  int runs = 0;
  {
    PostedCall call(loop, [&] { ++runs; });
    call.Post();
  }
  loop.PumpPending();
  EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace quellon::platform
