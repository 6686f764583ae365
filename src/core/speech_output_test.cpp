#include "core/speech_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/time_and_date.h"
#include "engine/fake_engine.h"
#include "testing/test_folder.h"

namespace quellon::core {
namespace {

using testing::TestFolder;

class FakeVoice : public platform::SystemVoice {
 public:
  std::vector<std::u16string> GetVoices() override { return {}; }
  std::int32_t SetVoice(std::size_t) override { return 0; }
  std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override {
    spoken.push_back(text);
    lastFlags = flags;
    return 0;
  }
  std::int32_t SetRate(std::int32_t) override { return 0; }
  std::int32_t SetVolume(std::int32_t) override { return 0; }
  std::int32_t Rate() override { return 0; }
  std::int32_t Volume() override { return 100; }
  bool WaitUntilDone(std::uint32_t) override { return true; }
  std::vector<std::u16string> spoken;
  std::uint32_t lastFlags = 0;
};

class FakeSound : public platform::SoundPlayer {
 public:
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) override {
    played.push_back(file);
    lastFlags = flags;
    return true;
  }
  std::vector<std::filesystem::path> played;
  std::uint32_t lastFlags = 99;
};

class FakeBand : public InfoBandOutput {
 public:
  bool IsShown() const override { return shown; }
  void SetText(const std::u16string& text) override { texts.push_back(text); }
  bool shown = false;
  std::vector<std::u16string> texts;
};

// The engine's log sits in the rig, so the tests read it as engine.log.
struct LoggingEngine : FakeEngine {
  LoggingEngine() : FakeEngine(log) {}
  std::vector<std::u16string> log;
};

struct Routing {
  ProgramState state;
  LoggingEngine engine;
  FakeSound sound;
  FakeBand band;
  strings::StringTable table = strings::StringTable::Loaded(false);
  SpeechOutput out{state, engine, table, sound, &band};
};

TEST(SpeechOutput, SayRoutesTextToTheActiveEngine) {
  Routing r;
  r.engine.dictionary = ParseDictionary("okno vokno\n");
  r.out.Say(u"Okno, Soubor");
  EXPECT_EQ(r.engine.log, (std::vector<std::u16string>{u"reset", u"say:vokno, soubor"}));
  EXPECT_TRUE(r.band.texts.empty());  // the band is not shown

  // One character is replaced by its spoken name, before the band sees it.
  r.band.shown = true;
  r.engine.log.clear();
  r.out.Say(u"b");
  EXPECT_EQ(r.engine.log.back(), u"say:" + r.table.CharName(u"b"));
  EXPECT_EQ(r.band.texts.back(), r.table.CharName(u"b"));
  EXPECT_NE(r.table.CharName(u"b"), u"b");
  r.out.Say(u"a");
  EXPECT_EQ(r.engine.log.back(), u"say:" + r.table.CharName(u"a"));
  // Two characters are spoken as they are; the band gets the text before the dictionary.
  r.out.Say(u"Ok");
  EXPECT_EQ(r.engine.log.back(), u"say:ok");
  EXPECT_EQ(r.band.texts.back(), u"Ok");
  // The empty text stops speech and clears the band.
  r.engine.log.clear();
  r.out.Say(u"");
  EXPECT_EQ(r.engine.log, (std::vector<std::u16string>{u"reset", u"say:"}));
  EXPECT_EQ(r.band.texts.back(), u"");
  // Keeping the text out of the band.
  const std::size_t bandCount = r.band.texts.size();
  r.out.Say(u"tajné", 0, true);
  EXPECT_EQ(r.band.texts.size(), bandCount);
  EXPECT_EQ(r.engine.log.back(), u"say:tajné");
  // A failing reset ends the announcement.
  r.engine.resetResult = -1;
  r.engine.log.clear();
  r.out.Say(u"nic");
  EXPECT_EQ(r.engine.log, (std::vector<std::u16string>{u"reset"}));
  r.engine.resetResult = 0;

  // The system voice: pitch prefix, flags 3, and the built-in engine untouched.
  FakeVoice voice;
  r.state.SapiActive = true;
  r.state.SapiVoice = &voice;
  r.state.SapiPitchTag = u"<pitch absmiddle=\"2\"/>";
  r.engine.log.clear();
  r.out.Say(u"Okno");
  r.out.Say(u"");
  EXPECT_EQ(voice.spoken, (std::vector<std::u16string>{u"<pitch absmiddle=\"2\"/>vokno",
                                                       u"<pitch absmiddle=\"2\"/>"}));
  EXPECT_EQ(voice.lastFlags, 3u);
  EXPECT_TRUE(r.engine.log.empty());
  // Active without a voice object: silent, nothing breaks.
  r.state.SapiVoice = nullptr;
  r.out.Say(u"x");
  EXPECT_TRUE(r.engine.log.empty());

  // Once shutdown has begun nothing is said or shown at all.
  r.state.SapiActive = false;
  r.state.ShuttingDown = true;
  const std::size_t shown = r.band.texts.size();
  r.out.Say(u"sbohem");
  EXPECT_TRUE(r.engine.log.empty());
  EXPECT_EQ(r.band.texts.size(), shown);
}

TEST(SpeechOutput, SoundCuesPlayTheTrimmedLowerCaseFile) {
  TestFolder dir;
  dir.Write("snd/close.wav", "RIFF");
  dir.Write("snd/tlačítko.wav", "RIFF");
  Routing r;
  r.state.ProgramFolder = dir.Path();
  r.out.PlaySoundCue(u"close");
  r.out.PlaySoundCue(u"  CLOSE ");
  r.out.PlaySoundCue(u"TLAČÍTKO");
  r.out.PlaySoundCue(u"missing");
  r.out.PlaySoundCue(u"");
  r.out.PlaySoundCue(u"snd");  // a folder, not a file
  const auto close = dir.Path() / "snd" / "close.wav";
  EXPECT_EQ(r.sound.played, (std::vector<std::filesystem::path>{
                                close, close, dir.Path() / "snd" / u"tlačítko.wav"}));
  EXPECT_EQ(r.sound.lastFlags, platform::SND_SYNC);
  // Every cue first stops the built-in engine, played or not, even during shutdown.
  EXPECT_EQ(r.engine.log.size(), 6u);
  r.state.ShuttingDown = true;
  r.out.PlaySoundCue(u"close");
  EXPECT_EQ(r.sound.played.size(), 4u);
  // A program folder given with a trailing separator gives the same file.
  r.state.ProgramFolder = dir.Path() / "";
  EXPECT_EQ(r.out.SoundCuePath(u" Close"), close);
}

TEST(TimeAndDate, SentencesInBothLanguages) {
  platform::LocalTime t{2026, 12, 1, 7, 14, 5, 30};  // Monday 7 December 2026, 14:05
  EXPECT_EQ(TimeAndDateText(t, false), u"14 hodin, 5 minut, pondělí, 7.prosinec 2026");
  EXPECT_EQ(TimeAndDateText(t, true), u"14 hours, 5 minutes, Monday, 7.December 2026");
  platform::LocalTime midnight{2027, 1, 5, 1, 0, 0, 0};
  EXPECT_EQ(TimeAndDateText(midnight, false), u"0 hodin, 0 minut, pátek, 1.leden 2027");
  platform::LocalTime nine{2026, 9, 0, 27, 9, 0, 0};
  EXPECT_EQ(TimeAndDateText(nine, true), u"9 hours, 0 minutes, Sunday, 27.September 2026");
  platform::LocalTime sat{2026, 5, 6, 30, 23, 59, 59};
  EXPECT_EQ(TimeAndDateText(sat, false), u"23 hodin, 59 minut, sobota, 30.květen 2026");
  // Out-of-range fields leave their word empty instead of reading past a table.
  platform::LocalTime bad{999, 13, 7, 1, 1, 1, 0};
  EXPECT_EQ(TimeAndDateText(bad, true), u"1 hours, 1 minutes, , 1. 0999");
}

TEST(TimeAndDate, SayTimeAndDateReadsTheClockOnceAndSpeaksIt) {
  class FakeClock : public platform::LocalClock {
   public:
    platform::LocalTime GetLocalTime() override {
      ++reads;
      return {2026, 2, 3, 18, 9, 0, 0};
    }
    int reads = 0;
  } clock;
  Routing r;
  r.band.shown = true;
  SayTimeAndDate(r.out, clock, true);
  EXPECT_EQ(clock.reads, 1);
  EXPECT_EQ(r.engine.log.back(), u"say:9 hours, 0 minutes, wednesday, 18.february 2026");
  EXPECT_EQ(r.band.texts.back(), u"9 hours, 0 minutes, Wednesday, 18.February 2026");
  // The machine's own clock gives fields in range.
  SystemLocalClock system;
  const platform::LocalTime now = system.GetLocalTime();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.dayOfWeek >= 0 && now.dayOfWeek <= 6);
}

}  // namespace
}  // namespace quellon::core
