// Continuous reading with a system voice: Down comes as soon as the voice has finished, or
// after five seconds of speaking, and the thread is never blocked meanwhile.
#include "shell/continuous_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::shell {
namespace {

using namespace platform;

struct Reading {
  Reading() {
    state.SapiActive = true;
    state.SapiVoice = &desk.Voice();
    desk.Voice().SetMicrosPerChar(10'000);  // 10 ms a character
    top = desk.AddTopWindow(u"Notepad", u"N");
    desk.Focus(desk.AddEdit(top, u"a\r\nb\r\nc", {.multiline = true}));
  }
  // Down presses the focused program received so far.
  long Downs() const {
    const auto& keys = desk.DeliveredKeys();
    return std::count_if(keys.begin(), keys.end(),
                         [](const auto& k) { return k.vk == VK_DOWN && !k.up; });
  }
  void Ms(std::int64_t ms) { loop.AdvanceBy(ms * 1000); }

  SimEventLoop loop;
  SimDesktop desk{loop};
  core::ProgramState state;
  std::vector<std::u16string> log;
  FakeEngine engine{log};
  ContinuousReading reading{loop, desk.Keys(), state, engine};
  Hwnd top = 0;
};

TEST(ContinuousReading, SystemVoiceDownAsSoonAsTheLineIsSpoken) {
  Reading r;
  r.desk.Voice().Speak(std::u16string(100, u'x'), 1);  // one second of speech
  r.reading.Start();
  r.Ms(990);  // the first tick at 500 found the voice speaking; the wait is running
  EXPECT_EQ(r.Downs(), 0);
  std::uint64_t ticks = r.loop.TimerTicks();
  r.Ms(70);  // speech ended at 1000: Down within one poll
  EXPECT_EQ(r.Downs(), 1);
  EXPECT_GT(r.loop.TimerTicks(), ticks);  // the loop kept running timers while waiting
  // The voice stays quiet: each later tick presses Down at once.
  r.Ms(500);
  EXPECT_EQ(r.Downs(), 2);
  r.reading.Stop();
  r.Ms(2000);
  EXPECT_EQ(r.Downs(), 2);
  EXPECT_FALSE(r.reading.Running());
}

TEST(ContinuousReading, SystemVoiceStillSpeakingAfterFiveSecondsGetsDownAnyway) {
  Reading r;
  r.desk.Voice().Speak(std::u16string(2000, u'x'), 1);  // twenty seconds
  r.reading.Start();
  r.Ms(5400);  // the wait began at the tick at 500
  EXPECT_EQ(r.Downs(), 0);
  r.Ms(200);
  EXPECT_EQ(r.Downs(), 1);
  EXPECT_EQ(r.reading.Countdown(), 0);
}

TEST(ContinuousReading, BuiltInEngineCountsTwoQuietTicks) {
  Reading r;
  r.state.SapiActive = false;
  r.engine.speaking = true;
  r.reading.Start();
  r.Ms(1000);
  EXPECT_EQ(r.reading.Countdown(), 2);
  r.engine.speaking = false;
  r.Ms(500);
  EXPECT_EQ(r.Downs(), 0);
  r.engine.speaking = true;  // speech started again in between: back to 2
  r.Ms(500);
  EXPECT_EQ(r.reading.Countdown(), 2);
  r.engine.speaking = false;
  r.Ms(1000);
  EXPECT_EQ(r.Downs(), 1);
}

}  // namespace
}  // namespace quellon::shell
