// Scenario tests of the speaking loop: the engine object, its 50 ms timer, the wave output and
// the simulated device, all on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/vaza_vorod.h"
#include "engine/word_takers.h"
#include "fake_renderer.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_out.h"

namespace quellon {
namespace {

using platform::SimEventLoop;
using platform::SimWaveOut;
using platform::WHDR_INQUEUE;
using Micros = SimEventLoop::Micros;
constexpr Micros kMs = 1000;
constexpr Micros kStep = VazaVorod::kTimerPeriodMs * kMs;

struct Rig {
  explicit Rig(bool resetOnStop = true)
      : device(loop),
        engine(QUELLON_SOURCE_DIR "/tests/scenario/no-voice-here", loop, device,
               Options(resetOnStop)) {}
  VazaVorodOptions Options(bool resetOnStop) {
    VazaVorodOptions o;
    o.Output.ResetOnStop = resetOnStop;
    o.Renderer = &renderer;
    return o;
  }
  void Say(std::u16string text) { engine.Say(text); }
  bool RunToEnd(Micros limit = 600 * 1000 * kMs) {
    return loop.AdvanceUntil([this] { return engine.Finished(); }, limit);
  }
  bool AnyQueued() const {
    for (int b = 0; b < WaveOutput::kBlocks; ++b) {
      if (engine.Output().Header(b).dwFlags & WHDR_INQUEUE) return true;
    }
    return false;
  }

  SimEventLoop loop;
  SimWaveOut device;
  testing::FakeRenderer renderer;
  VazaVorod engine;
};

TEST(SpeakingLoop, FirstSoundStartsAsSoonAsTheThreadIsFree) {
  {
    // Say takes the first word and returns; the posted steps render it and open the device, and
    // the primed notices write the first block, all before any timer step and with no virtual
    // time going by.
    Rig r;
    r.loop.AdvanceBy(20 * kMs);  // Say somewhere between two timer steps
    const Micros said = r.loop.Now();
    const std::uint64_t ticks = r.loop.TimerTicks();
    r.Say(u"Ahoj světe");
    EXPECT_EQ(r.engine.State().CurrentWord, u"Ahoj");
    EXPECT_LT(r.device.FirstWriteTime(), 0);  // nothing from inside Say
    EXPECT_TRUE(r.engine.SpeakAtOncePending());
    r.loop.PumpPending();
    EXPECT_EQ(r.loop.TimerTicks(), ticks);
    EXPECT_EQ(r.device.FirstWriteTime(), said);
    EXPECT_GE(r.device.QueuedBlocks(), 2u);  // 4000 samples fill two blocks
    // The step after the first sound rendered the second word, as the timer step that started
    // the sound used to; the timer takes it from there.
    EXPECT_EQ(r.renderer.words, (std::vector<std::u16string>{u"Ahoj", u"světe"}));
    EXPECT_FALSE(r.engine.SpeakAtOncePending());
    ASSERT_TRUE(r.RunToEnd());
    EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
    EXPECT_TRUE(r.device.Gaps().empty());
  }
  {
    // A leading space: the first step only consumes it; the next posted step takes the word.
    Rig r;
    r.loop.AdvanceBy(5 * kMs);
    r.Say(u" ahoj");
    EXPECT_TRUE(r.engine.State().CurrentWord.empty());
    r.loop.PumpPending();
    EXPECT_EQ(r.device.FirstWriteTime(), 5 * kMs);
    EXPECT_EQ(r.loop.TimerTicks(), 0u);
  }
}

TEST(SpeakingLoop, SayWithNoTimerStepPlaysTheFirstWord) {
  // The first timer step comes 50 ms after the engine was made; the word is said 1 ms after
  // that and lasts 36 ms, so it has played out on the device before any step of the timer.
  Rig r;
  r.renderer.lengths[u"Dobrý"] = 800;
  r.loop.AdvanceBy(1 * kMs);
  r.Say(u"Dobrý den");
  r.loop.AdvanceBy(45 * kMs);
  ASSERT_EQ(r.loop.TimerTicks(), 0u);
  ASSERT_GE(r.renderer.expected.size(), 800u);
  const std::vector<std::int16_t> first(r.renderer.expected.begin(),
                                        r.renderer.expected.begin() + 800);
  ASSERT_GE(r.device.PlayedSamples().size(), 800u);
  EXPECT_EQ(std::vector<std::int16_t>(r.device.PlayedSamples().begin(),
                                      r.device.PlayedSamples().begin() + 800),
            first);
  EXPECT_EQ(r.device.PlayedBlocks().front().start, 1 * kMs);
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
  EXPECT_EQ(r.device.OpenCount(), 1);
}

TEST(SpeakingLoop, EngineStateRightAfterSayIsTheFirstWordTakenAndNothingElse) {
  // Exactly what the engine's own first step leaves: the posted steps have not run yet.
  const std::u16string texts[] = {u"Kde je? Tady.", u" ahoj", u"slovo", u"a-b, c"};
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(static_cast<int>(&text - texts));
    Rig r;
    r.renderer.defaultLength = 20000;
    r.Say(u"predtim dlouha veta");  // something is playing when the text comes
    r.loop.AdvanceBy(130 * kMs);
    ASSERT_TRUE(r.engine.IsSpeaking());
    const std::size_t rendered = r.renderer.words.size();
    r.device.ClearRecord();

    EngineState expected;
    expected.SpeechText = text;
    TakeFirstWord(expected);
    std::u16string said = text;
    r.engine.Say(said);
    const EngineState& s = r.engine.State();
    EXPECT_EQ(s.SpeechText, expected.SpeechText);
    EXPECT_EQ(s.SpeechPos, expected.SpeechPos);
    EXPECT_EQ(s.CurrentWord, expected.CurrentWord);
    EXPECT_EQ(s.PauseClass, expected.PauseClass);
    EXPECT_EQ(s.SpeakIndex, expected.SpeakIndex);
    EXPECT_EQ(UpperBound(s.SpeechBuffer), 0);
    EXPECT_FALSE(s.Playing);
    EXPECT_FALSE(s.StopFlag);
    EXPECT_EQ(r.renderer.words.size(), rendered);  // nothing rendered
    EXPECT_LT(r.device.FirstWriteTime(), 0);       // nothing written to the device
  }
}

TEST(SpeakingLoop, ResetBeforeThePostedStepLeavesItSilent) {
  Rig r;
  r.Say(u"ahoj světe");
  r.engine.Reset();
  EXPECT_FALSE(r.engine.SpeakAtOncePending());
  r.loop.AdvanceBy(500 * kMs);
  EXPECT_TRUE(r.renderer.words.empty());
  EXPECT_LT(r.device.FirstWriteTime(), 0);
  // Two texts before the loop gets to the first: one posted step, for the second text only.
  r.Say(u"prvni");
  r.Say(u"druhy text");
  r.loop.PumpPending();
  EXPECT_EQ(r.renderer.words, (std::vector<std::u16string>{u"druhy", u"text"}));
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
}

TEST(SpeakingLoop, ConsecutiveWordsPlayWithoutGap) {
  Rig r;
  std::u16string text;
  const char16_t* words[] = {u"jedna",    u"dvojka",  u"trojka",  u"ctyrka",  u"petka",   u"sestka",
                             u"sedmicka", u"osmicka", u"devitka", u"desitka", u"jedenact"};
  int n = 0;
  for (const char16_t* w : words) {
    // 140 ms to 640 ms a word, and some punctuation for the pause units.
    r.renderer.lengths[w] = 3100 + (n * 2711) % 11000;
    text += w;
    text += (n % 4 == 3) ? u", " : u" ";
    ++n;
  }
  text += u"konec.";
  r.renderer.lengths[u"konec"] = 2300;
  // Synthesis takes time, but keeps up: 30 ms of every 50 ms step.
  r.Say(text);
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.renderer.words.size(), 12u);
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
  EXPECT_TRUE(r.device.Gaps().empty()) << r.device.Gaps().size() << " gaps";
  EXPECT_EQ(r.device.OpenCount(), 1);
  EXPECT_FALSE(r.engine.IsSpeaking());
  EXPECT_FALSE(r.engine.Output().DeviceOpen());
  EXPECT_EQ(r.engine.Output().OpenResult(), 0u);
}

TEST(SpeakingLoop, ShortFirstWordsAreFollowedWithoutGap) {
  // The first two words together last less than the five primed blocks: the priming notices
  // find nothing more and let go of the playback while its blocks still sound. The third word,
  // rendered one step later, must follow them on the same device instead of waiting for it to
  // run dry and open again. Also the shortest case: one word under one block, then more.
  for (int first : {1000, 2000, 3500}) {
    Rig r;
    r.renderer.lengths[u"OK"] = first;
    r.renderer.lengths[u"a"] = 1200;
    r.Say(u"OK a tlacitko ano ne");
    ASSERT_TRUE(r.RunToEnd());
    EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected) << first;
    EXPECT_TRUE(r.device.Gaps().empty()) << first << ": " << r.device.Gaps().size() << " gaps";
    EXPECT_EQ(r.device.OpenCount(), 1) << first;
    EXPECT_FALSE(r.engine.Output().DeviceOpen());
    EXPECT_FALSE(r.engine.IsSpeaking());
  }
}

class SlowRenderer : public testing::FakeRenderer {
 public:
  explicit SlowRenderer(SimEventLoop& loop) : loop_(loop) {}
  SampleArray Synthesize(std::u16string_view units) override {
    loop_.Spend(35 * kMs);  // the CPU time this word takes
    return FakeRenderer::Synthesize(units);
  }

 private:
  SimEventLoop& loop_;
};

TEST(SpeakingLoop, DeviceNeverStarvesWhenSynthesisKeepsUp) {
  SimEventLoop loop;
  SimWaveOut device(loop);
  SlowRenderer renderer(loop);
  renderer.defaultLength = 4500;  // about 200 ms a word
  VazaVorodOptions o;
  o.Renderer = &renderer;
  VazaVorod engine(QUELLON_SOURCE_DIR "/tests/scenario/no-voice-here", loop, device, o);
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"slovo" + std::u16string(1, char16_t(u'a' + i % 26)) + u" ";
  engine.Say(text);
  ASSERT_TRUE(loop.AdvanceUntil([&] { return engine.Finished(); }, 120 * 1000 * kMs));
  EXPECT_EQ(renderer.words.size(), 40u);
  EXPECT_EQ(device.PlayedSamples(), renderer.expected);
  EXPECT_TRUE(device.Gaps().empty());
  EXPECT_EQ(device.OpenCount(), 1);
}

TEST(SpeakingLoop, ShortSoundLeavesDeviceOpenUntilItsBlockReturns) {
  Rig r;
  r.renderer.lengths[u"Ahoj"] = 1000;  // 2000 bytes: less than one block
  r.Say(u"Ahoj");
  r.loop.PumpPending();  // the posted steps and the five primed notices
  const WaveOutput& out = r.engine.Output();
  EXPECT_FALSE(out.MoreData());
  EXPECT_FALSE(r.engine.IsSpeaking());  // the other primed notices cleared Playing
  EXPECT_TRUE(out.DeviceOpen());        // one block is still queued
  EXPECT_TRUE(out.Header(0).dwFlags & WHDR_INQUEUE);
  EXPECT_EQ(out.Header(0).dwBufferLength, 2000u);
  for (int b = 1; b < WaveOutput::kBlocks; ++b) {
    EXPECT_EQ(out.Header(b).dwFlags & platform::WHDR_PREPARED, 0u) << b;  // unprepared
  }
  r.loop.AdvanceTo(46 * kMs);  // 1000 samples last 45.4 ms; no timer step yet
  EXPECT_EQ(r.loop.TimerTicks(), 0u);
  EXPECT_FALSE(out.DeviceOpen());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
  EXPECT_TRUE(r.engine.Finished());
}

TEST(SpeakingLoop, StopWithFiveBlocksQueuedPlaysThemOutWithoutReset) {
  Rig r(/*resetOnStop=*/false);
  r.renderer.defaultLength = 30000;  // 1.36 s a word
  r.Say(u"dlouhe slovo tady");
  r.loop.AdvanceTo(2 * kStep + 250 * kMs);
  ASSERT_TRUE(r.AnyQueued());
  const std::size_t writtenBefore = r.device.PlayedBlocks().size() + r.device.QueuedBlocks();
  EXPECT_EQ(r.device.QueuedBlocks(), 5u);
  const Micros stopAt = r.loop.Now();
  r.engine.Reset();
  EXPECT_FALSE(r.engine.IsSpeaking());
  EXPECT_TRUE(r.engine.State().StopFlag);
  // A new text right away: StartPlayback refuses while a header is queued.
  r.Say(u"nove");
  r.loop.AdvanceTo(stopAt + 3 * kStep);
  EXPECT_EQ(r.device.OpenCount(), 1);
  EXPECT_TRUE(r.engine.Output().DeviceOpen());
  // The queued blocks play to their end (at most half a second), nothing new is written, and
  // the device closes when the last one is back.
  const Micros queuedUntil = r.device.PlaysUntil();
  EXPECT_LE(queuedUntil - stopAt, 500 * kMs);
  ASSERT_TRUE(r.loop.AdvanceUntil([&] { return !r.engine.Output().DeviceOpen(); }, 1000 * kMs));
  EXPECT_EQ(r.loop.Now(), queuedUntil);
  EXPECT_EQ(r.device.OpenCount(), 1);
  EXPECT_EQ(r.device.PlayedBlocks().size(), writtenBefore);
  // The next step opens the device again for the new text.
  r.loop.AdvanceBy(kStep);
  EXPECT_EQ(r.device.OpenCount(), 2);
  ASSERT_TRUE(r.RunToEnd());
}

TEST(SpeakingLoop, ResetSilencesWithinOneBlock) {
  Rig r;  // the device is reset on stop
  r.renderer.defaultLength = 30000;
  r.Say(u"dlouhe slovo tady a jeste jedno");
  r.loop.AdvanceTo(2 * kStep + 730 * kMs);
  ASSERT_EQ(r.device.QueuedBlocks(), 5u);
  const Micros stopAt = r.loop.Now();
  r.engine.Reset();
  const auto& blocks = r.device.PlayedBlocks();
  ASSERT_FALSE(blocks.empty());
  EXPECT_LE(blocks.back().end, stopAt);
  EXPECT_EQ(r.device.QueuedBlocks(), 0u);
  r.loop.PumpPending();  // the notices the reset returned close the device
  EXPECT_FALSE(r.engine.Output().DeviceOpen());
  EXPECT_FALSE(r.engine.IsSpeaking());
  const std::size_t played = r.device.PlayedSamples().size();
  r.loop.AdvanceBy(2000 * kMs);
  EXPECT_EQ(r.device.PlayedSamples().size(), played);  // silent from the reset on
  EXPECT_EQ(r.device.OpenCount(), 1);
  // A new text plays from the start, on a fresh device.
  r.renderer.expected.clear();
  r.device.ClearRecord();
  r.Say(u"znovu");
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
  EXPECT_EQ(r.device.OpenCount(), 2);
}

TEST(SpeakingLoop, SayWhilePlayingCutsOffAndStartsAgain) {
  Rig r;
  r.renderer.defaultLength = 20000;
  r.Say(u"prvni dlouha veta");
  r.loop.AdvanceTo(2 * kStep + 300 * kMs);
  r.renderer.expected.clear();
  r.device.ClearRecord();
  r.Say(u"druha");  // Playing: StopSpeech first, then the new text
  EXPECT_EQ(r.engine.State().CurrentWord, u"druha");
  EXPECT_FALSE(r.engine.State().StopFlag);
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
}

TEST(SpeakingLoop, WordRenderedAfterTheSoundRanOutStartsNewPlayback) {
  Rig r;
  r.renderer.lengths[u"raz"] = 1000;
  r.renderer.lengths[u"nic"] = 0;  // a word without sound
  r.renderer.lengths[u"tri"] = 1500;
  r.Say(u"raz nic tri");
  r.loop.PumpPending();  // "raz" plays at once, the step after it renders "nic" to nothing
  EXPECT_EQ(r.device.OpenCount(), 1);
  EXPECT_EQ(r.renderer.words, (std::vector<std::u16string>{u"raz", u"nic"}));
  r.loop.AdvanceTo(kStep);  // "raz" ran out and the device closed; the timer renders "tri"
  EXPECT_FALSE(r.engine.Output().DeviceOpen());
  EXPECT_GT(UpperBound(r.engine.State().SpeechBuffer), 0);
  r.loop.AdvanceTo(2 * kStep);  // the next step opens the device again
  EXPECT_EQ(r.device.OpenCount(), 2);
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
}

TEST(SpeakingLoop, FailingDeviceKeepsPlayingSetUntilTheNextSay) {
  Rig r;
  r.device.FailOpen(platform::MMSYSERR_NODRIVER);
  r.Say(u"ahoj");
  r.loop.AdvanceTo(5 * kStep);
  EXPECT_EQ(r.engine.Output().OpenResult(), platform::MMSYSERR_NODRIVER);
  EXPECT_TRUE(r.engine.IsSpeaking());
  EXPECT_FALSE(r.engine.Output().DeviceOpen());
  EXPECT_EQ(r.device.OpenCount(), 0);
  r.Say(u"znovu");  // clears the state and tries again
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.OpenCount(), 1);
  EXPECT_FALSE(r.device.PlayedSamples().empty());
}

TEST(SpeakingLoop, StaleNoticeDoesNotRefillAQueuedBlock) {
  Rig r;
  r.renderer.defaultLength = 30000;
  r.Say(u"dlouhe slovo");
  r.loop.AdvanceTo(2 * kStep + 10 * kMs);
  ASSERT_TRUE(r.engine.Output().Header(2).dwFlags & WHDR_INQUEUE);
  const std::int32_t fed = r.engine.Output().FedBytes();
  // A late notice for a header that is queued again, and one for a foreign address.
  auto& header = const_cast<platform::WaveHdr&>(r.engine.Output().Header(2));
  platform::WaveHdr foreign;
  r.loop.PostMessage(r.engine.Output().WaveWindow(), platform::MM_WOM_DONE, 0,
                     reinterpret_cast<platform::LParam>(&header));
  r.loop.PostMessage(r.engine.Output().WaveWindow(), platform::MM_WOM_DONE, 0,
                     reinterpret_cast<platform::LParam>(&foreign));
  r.loop.PumpPending();
  EXPECT_EQ(r.engine.Output().FedBytes(), fed);
  ASSERT_TRUE(r.RunToEnd());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);
}

TEST(SpeakingLoop, TextLongerThan32767CharactersEndsCleanly) {
  Rig r;
  r.renderer.defaultLength = 100;
  std::u16string text;
  while (text.size() < 36000) text += u"slovo ";
  r.Say(text);
  ASSERT_TRUE(r.RunToEnd());
  // 32767 = 6 x 5461 + 1: 5461 whole words, then the "s" at position 32767 ends the text.
  ASSERT_EQ(r.renderer.words.size(), 5462u);
  EXPECT_EQ(r.renderer.words.back(), u"s");
  EXPECT_EQ(r.engine.SpeakingIndex(), 32766);
  EXPECT_TRUE(r.engine.State().SpeechText.empty());
  EXPECT_EQ(r.device.PlayedSamples(), r.renderer.expected);

  // A word that ends right at position 32767.
  Rig r2;
  r2.renderer.defaultLength = 10;
  std::u16string text2(32766, u'x');
  text2 += u". dalsi slova";
  r2.Say(text2);
  ASSERT_TRUE(r2.RunToEnd());
  ASSERT_EQ(r2.renderer.words.size(), 1u);
  EXPECT_EQ(r2.renderer.words[0].size(), 32766u);
  EXPECT_EQ(r2.engine.SpeakingIndex(), 32766);
}

TEST(SpeakingLoop, PauseUnitPerTempoAndSeparation) {
  Rig r;
  EngineState& s = r.engine.State();
  auto render = [&](std::u16string word, int pauseClass) {
    s.StopFlag = false;
    s.SpeechBuffer = EmptySamples();
    s.CurrentWord = word;
    s.PauseClass = pauseClass;
    r.engine.Output().RenderWord();
    EXPECT_TRUE(s.CurrentWord.empty());
    return r.renderer.unitLists.back();
  };
  r.renderer.lengths[u"a"] = 10;
  for (int tempo = -10; tempo <= 10; ++tempo) {
    s.Tempo = static_cast<std::int16_t>(tempo);
    const std::string full = std::to_string(70 - 2 * tempo);
    const std::string comma = std::to_string(40 - 2 * tempo);
    EXPECT_EQ(render(u"a", 1), u"wa,10 -," + std::u16string(full.begin(), full.end()) + u",0");
    EXPECT_EQ(render(u"a", 2), u"wa,10 -," + std::u16string(full.begin(), full.end()) + u",0");
    EXPECT_EQ(render(u"a", 3), u"wa,10 -," + std::u16string(comma.begin(), comma.end()) + u",0");
    EXPECT_EQ(render(u"a", 0), u"wa,10");
  }
  s.Tempo = 10;
  EXPECT_EQ(render(u"a", 1), u"wa,10 -,50,0");
  s.Tempo = 20;  // a pause that comes out 0 adds nothing
  EXPECT_EQ(render(u"a", 3), u"wa,10");
  s.Tempo = 0;
  s.WordSeparation = 3;
  EXPECT_EQ(render(u"a", 0), u"wa,10 -,3,0");
  EXPECT_EQ(render(u"a", 1), u"wa,10 -,73,0");
  r.renderer.lengths[u"ticho"] = 0;  // no units: no separation, the punctuation pause stays
  EXPECT_EQ(render(u"ticho", 0), u"");
  EXPECT_EQ(render(u"ticho", 3), u" -,40,0");
  s.WordSeparation = -5;
  EXPECT_EQ(render(u"a", 0), u"wa,10");
  // A pause of 70 repetitions of the missing pause unit lasts 3500 samples.
  s.WordSeparation = 0;
  r.renderer.lengths[u"b"] = 0;
  render(u"b", 1);
  EXPECT_EQ(UpperBound(s.SpeechBuffer), 3500);
  // Nothing is rendered while a word waits for playback or StopFlag is set.
  s.CurrentWord = u"a";
  const std::size_t before = r.renderer.unitLists.size();
  r.engine.Output().RenderWord();
  s.SpeechBuffer = EmptySamples();
  s.StopFlag = true;
  r.engine.Output().RenderWord();
  EXPECT_EQ(r.renderer.unitLists.size(), before);
  EXPECT_EQ(s.CurrentWord, u"a");
}

}  // namespace
}  // namespace quellon
