// The engine object: word taking, the interface, voices and dictionaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/vaza_vorod.h"
#include "fake_renderer.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_wave_out.h"
#include "testing/test_folder.h"

namespace quellon {
namespace {

using platform::SimEventLoop;
using platform::SimWaveOut;
namespace fs = std::filesystem;

struct Engine {
  explicit Engine(fs::path folder = QUELLON_SOURCE_DIR "/tests/scenario/no-voice-here")
      : device(loop), engine(std::move(folder), loop, device, Options()) {}
  VazaVorodOptions Options() {
    VazaVorodOptions o;
    o.Renderer = &renderer;
    return o;
  }
  SimEventLoop loop;
  SimWaveOut device;
  testing::FakeRenderer renderer;
  VazaVorod engine;
};

// Every word FetchNextWord takes from `text`, as "word/pauseClass".
std::vector<std::u16string> Fetched(std::u16string text) {
  EngineState s;
  s.SpeechText = std::move(text);
  std::vector<std::u16string> words;
  for (int guard = 0; guard < 1000 && !s.SpeechText.empty(); ++guard) {
    FetchNextWord(s);
    if (!s.CurrentWord.empty()) {
      words.push_back(s.CurrentWord + u"/" + char16_t(u'0' + s.PauseClass));
      s.CurrentWord.clear();
    }
  }
  return words;
}

TEST(VazaVorod, SayTakesTheFirstWord) {
  Engine e;
  const EngineState& s = e.engine.State();
  std::u16string text = u"Ahoj světe";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"Ahoj");
  EXPECT_EQ(s.PauseClass, 0);
  EXPECT_EQ(s.SpeechPos, 6);
  EXPECT_EQ(e.engine.SpeakingIndex(), 5);
  EXPECT_FALSE(e.engine.IsSpeaking());  // nothing plays before the loop runs

  text = u"Ahoj";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"Ahoj");
  EXPECT_TRUE(s.SpeechText.empty());
  EXPECT_EQ(e.engine.SpeakingIndex(), 3);

  text = u" ahoj";
  e.engine.Say(text);
  EXPECT_TRUE(s.CurrentWord.empty());
  EXPECT_EQ(s.SpeechPos, 2);
  // The word comes from the next step, posted by Say: it is taken, rendered and played before
  // any timer step.
  e.loop.PumpPending();
  EXPECT_EQ(e.renderer.words, std::vector<std::u16string>{u"ahoj"});
  EXPECT_EQ(e.device.FirstWriteTime(), 0);
  EXPECT_EQ(e.loop.TimerTicks(), 0u);

  text = u"(ahoj)";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"(ahoj)");

  text = u"Kde? Tady.";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"Kde");
  EXPECT_EQ(s.PauseClass, 2);
  EXPECT_EQ(s.SpeechPos, 5);

  // Its own delimiter set: a tab and "-" end the first word; short words are not joined.
  text = u"a-b";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"a");
  EXPECT_EQ(s.PauseClass, 0);
  text = u"x\ty";
  e.engine.Say(text);
  EXPECT_EQ(s.CurrentWord, u"x");
}

TEST(VazaVorod, FetchNextWordSplitsAndJoins) {
  EXPECT_EQ(Fetched(u"ahoj?"), (std::vector<std::u16string>{u"ahoj/2"}));
  EXPECT_EQ(Fetched(u"v domě"), (std::vector<std::u16string>{u"vdomě/0"}));
  EXPECT_EQ(Fetched(u"12 domů"), (std::vector<std::u16string>{u"12/0", u"domů/0"}));
  EXPECT_EQ(Fetched(u"V tom je, to-tam: ano."),
            (std::vector<std::u16string>{u"Vtom/0", u"je/3", u"to/3", u"tam/1", u"ano/1"}));
  EXPECT_EQ(Fetched(u"(ahoj) \"svet\" + jo!"),
            (std::vector<std::u16string>{u"ahoj/0", u"svet/0", u"jo/0"}));
  // Punctuation met before a word only sets PauseClass; the text's end gives class 0.
  EXPECT_EQ(Fetched(u"?? konec"), (std::vector<std::u16string>{u"konec/0"}));
  EXPECT_EQ(Fetched(u"a\r\nbc"), (std::vector<std::u16string>{u"abc/0"}));
  EXPECT_TRUE(Fetched(u"  , . ").empty());

  // SpeakIndex follows the words: the position behind the delimiter, or the last character.
  EngineState s;
  s.SpeechText = u"jedna dva";
  FetchNextWord(s);
  EXPECT_EQ(s.CurrentWord, u"jedna");
  EXPECT_EQ(s.SpeakIndex, 7);
  EXPECT_EQ(s.SpeechPos, 7);
  s.CurrentWord.clear();
  FetchNextWord(s);
  EXPECT_EQ(s.CurrentWord, u"dva");
  EXPECT_EQ(s.SpeakIndex, 9);
  EXPECT_EQ(s.SpeechPos, 1);
  EXPECT_TRUE(s.SpeechText.empty());
  // Nothing happens while a word waits or StopFlag is set.
  s.SpeechText = u"dalsi slovo";
  FetchNextWord(s);
  EXPECT_EQ(s.CurrentWord, u"dva");
  s.CurrentWord.clear();
  s.StopFlag = true;
  FetchNextWord(s);
  EXPECT_TRUE(s.CurrentWord.empty());
}

TEST(VazaVorod, InterfaceBasics) {
  Engine e;
  EXPECT_EQ(e.engine.Volume(), 10);
  EXPECT_EQ(e.engine.Pitch(), 0);
  EXPECT_EQ(e.engine.Tempo(), 0);
  EXPECT_EQ(e.engine.SpeakingIndex(), 0);
  EXPECT_EQ(e.engine.State().WordSeparation, 0);
  e.engine.SetPitch(-8);
  e.engine.SetTempo(4);
  e.engine.SetWordSeparation(2);
  EXPECT_EQ(e.engine.Pitch(), -8);
  EXPECT_EQ(e.engine.Tempo(), 4);
  EXPECT_EQ(e.engine.State().WordSeparation, 2);

  e.engine.SayNow(u"nikdy");
  e.loop.AdvanceBy(1000000);
  EXPECT_TRUE(e.renderer.words.empty());
  EXPECT_EQ(e.device.OpenCount(), 0);

  e.engine.Reset();  // nothing plays: only StopFlag
  EXPECT_TRUE(e.engine.State().StopFlag);
  std::u16string text = u"ahoj";
  e.engine.Say(text);
  EXPECT_FALSE(e.engine.State().StopFlag);
  ASSERT_TRUE(e.loop.AdvanceUntil([&] { return e.engine.Finished(); }, 10000000));
  EXPECT_EQ(e.renderer.words, (std::vector<std::u16string>{u"ahoj"}));
}

void WriteVoice(const fs::path& folder, const std::string& name, std::int16_t value) {
  // One unit "a" of 3 samples and a parameter entry.
  std::ofstream idx(folder / (name + ".idx"), std::ios::binary);
  auto u16 = [&](std::uint16_t v) { idx.put(char(v & 0xFF)).put(char(v >> 8)); };
  auto i32 = [&](std::int32_t v) {
    for (int k = 0; k < 4; ++k) idx.put(char((v >> (8 * k)) & 0xFF));
  };
  u16(1);
  idx << 'a';
  i32(0);
  i32(3);
  u16(9);
  idx << "pitch_deg";
  i32(value);
  i32(0);
  std::ofstream vce(folder / (name + ".vce"), std::ios::binary);
  for (int k = 0; k < 3; ++k) vce.put(char(value & 0xFF)).put(char(value >> 8));
}

TEST(VazaVorod, SelectVoiceLoadsVoiceAndDictionary) {
  const testing::TestFolder tmp;
  const fs::path& folder = tmp.Path();
  WriteVoice(folder, "zuvan", 11);
  WriteVoice(folder, "Hlas", 22);
  std::ofstream(folder / "Hlas.def") << "pes kocka\n";
  std::ofstream(folder / "zuvan.def") << "pes mys\n";
  std::ofstream(folder / "a.def") << "pes slon\n";

  Engine e(folder);
  std::vector<std::u16string> names;
  e.engine.GetVoiceNames(names);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_TRUE(names.back().empty());
  std::sort(names.begin(), names.end() - 1);
  EXPECT_EQ(names[0], u"Hlas");
  EXPECT_EQ(names[1], u"zuvan");

  e.engine.SelectVoice(u"Hlas");
  EXPECT_EQ(e.engine.Voice().Parameters().PitchDegradation, 22);
  EXPECT_EQ(ApplyDictionary(e.engine.Dictionary(), u"pes"), u"kocka");

  // A missing voice loads the default one, but the dictionary follows the requested name.
  e.engine.SelectVoice(u"Chybi");
  EXPECT_EQ(e.engine.Voice().Parameters().PitchDegradation, 11);
  EXPECT_EQ(ApplyDictionary(e.engine.Dictionary(), u"pes"), u"pes");

  // The dictionary name is the voice name up to and including its first ".".
  e.engine.SelectVoice(u"a.b.c");
  EXPECT_EQ(ApplyDictionary(e.engine.Dictionary(), u"pes"), u"slon");
}

}  // namespace
}  // namespace quellon
