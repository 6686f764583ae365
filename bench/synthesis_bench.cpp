// Synthesis speed on a synthetic voice shaped like the real one (176-sample periods, about 8.7k
// samples per consonant-vowel unit with its stable mark stored negated, 3k-sample consonants),
// as multiples of real time on one core; and the cost of the unit lookups.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "speech/voice_database.h"
#include "synth/psola.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;

// "Dobrý den, jak se máte? Tady je váš nový hlasový výstup." as unit selection lists it: one
// unit list per word, with the pauses after punctuation.
const char* const kSentence[] = {
    "do,.29,2,0 b,1,0,4 rí,.47,3,8",
    "de,.29,2,0 n,1.2,11,22 -,40,0",
    "ja,.29,2,0 k,1,1,15",
    "se,.26,1,0",
    "má,.47,2,0 te,.29,10,-10 -,70,0",
    "ta,.29,12,0 dy,.3,3,15",
    "je,.36,13,2",
    "vá,.47,2,0 š,1,0,15",
    "no,.29,2,0 ví,.49,3,15",
    "hla,.29,2,0 so,.28,0,10 ví,.49,3,20",
    "ví,.49,2,0 s,1,0,10 tu,.29,3,20 p,1,0,26 -,70,0",
};

struct Writer {
  std::string idx, vce;
  std::int32_t count = 0;
  void Entry(const std::string& cp1250, const std::vector<std::int16_t>& v) {
    idx.push_back(static_cast<char>(cp1250.size()));
    idx.push_back('\0');
    idx += cp1250;
    for (std::int32_t field : {count, static_cast<std::int32_t>(v.size())}) {
      const auto u = static_cast<std::uint32_t>(field);
      for (int b = 0; b < 4; ++b) idx.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
    }
    for (std::int16_t s : v) {
      vce.push_back(static_cast<char>(static_cast<std::uint16_t>(s) & 0xFF));
      vce.push_back(static_cast<char>(static_cast<std::uint16_t>(s) >> 8));
    }
    count += static_cast<std::int32_t>(v.size());
  }
  // A voiced unit: `length` samples, periods of 176 from sample 88, stable mark (negated) at
  // `stable` or none when negative.
  void Voiced(const std::string& name, int length, int stable, std::mt19937& rng) {
    std::vector<std::int16_t> x(static_cast<std::size_t>(length));
    std::normal_distribution<double> noise(0, 150);
    for (int k = 0; k < length; ++k) {
      const double phase = 2 * std::numbers::pi * k / 176;
      x[static_cast<std::size_t>(k)] =
          static_cast<std::int16_t>(6000 * std::sin(phase) + 2500 * std::sin(2 * phase + 1) +
                                    900 * std::sin(5 * phase) + noise(rng));
    }
    Entry(name, x);
    std::vector<std::int16_t> marks;
    for (int p = 88; p < length - 20; p += 176) marks.push_back(static_cast<std::int16_t>(p));
    if (stable >= 0 && stable < static_cast<int>(marks.size())) {
      marks[static_cast<std::size_t>(stable)] *= -1;
    }
    Entry("!" + name, marks);
  }
  void Unvoiced(const std::string& name, int length, std::mt19937& rng) {
    std::vector<std::int16_t> x(static_cast<std::size_t>(length));
    std::uniform_int_distribution<int> noise(-3000, 3000);
    for (auto& s : x) s = static_cast<std::int16_t>(noise(rng));
    Entry(name, x);
  }
};

struct Voice {
  fs::path folder;
  quellon::EngineState state;
  quellon::VoiceDatabase db;
  quellon::Synthesizer synth;
  std::vector<std::u16string> lists;
  std::vector<std::u16string> names;
  std::int64_t sentenceSamples = 0;

  static fs::path MakeFolder() {
    std::random_device rd;
    fs::path f = fs::temp_directory_path() / ("quellon_synthesis_bench_" + std::to_string(rd()));
    fs::create_directories(f);
    return f;
  }

  Voice() : folder(MakeFolder()), db(folder), synth(db, state) {
    synth.InitSynthesis();
    std::mt19937 rng(7);
    Writer w;
    // Every consonant-vowel unit of the language (about 210), so lookups see a voice-sized index.
    const std::u16string consonants = u"bcčdďfghjklmnňprřsštťvzž";
    const std::u16string vowels = u"aeiouyáéíóúůý";
    for (char16_t c : consonants) {
      for (char16_t v : vowels) {
        std::u16string name{c, v};
        names.push_back(name);
        w.Voiced(quellon::text::Utf16ToCp1250(name), 8700, 8, rng);
      }
      const std::u16string single{c};
      names.push_back(single);
      if (std::u16string(u"mnlrjvhňřzž").find(c) != std::u16string::npos) {
        w.Voiced(quellon::text::Utf16ToCp1250(single), 3000, -1, rng);
      } else {
        w.Unvoiced(quellon::text::Utf16ToCp1250(single), 3000, rng);
      }
    }
    for (char16_t v : vowels) {
      names.push_back(std::u16string{v});
      w.Voiced(quellon::text::Utf16ToCp1250(std::u16string{v}), 8700, 8, rng);
    }
    w.Voiced("hla", 8700, 8, rng);
    names.push_back(u"hla");
    w.Unvoiced("-", 50, rng);
    std::ofstream(folder / "bench.idx", std::ios::binary) << w.idx;
    std::ofstream(folder / "bench.vce", std::ios::binary) << w.vce;
    if (!db.LoadVoice(u"bench")) std::abort();
    for (const char* list : kSentence) lists.push_back(quellon::text::Utf8ToUtf16(list));
    for (const auto& list : lists) sentenceSamples += quellon::UpperBound(synth.Synthesize(list));
  }
  ~Voice() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

Voice& TheVoice() {
  static Voice voice;
  return voice;
}

void BM_SynthesizeSentence(benchmark::State& st) {
  Voice& v = TheVoice();
  std::int64_t samples = 0;
  for (auto _ : st) {
    for (const auto& list : v.lists) {
      quellon::SampleArray out = v.synth.Synthesize(list);
      samples += quellon::UpperBound(out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  // Seconds of speech produced per second of computing: the multiple of real time.
  st.counters["x_realtime"] = benchmark::Counter(
      static_cast<double>(samples) / quellon::kSampleRate, benchmark::Counter::kIsRate);
  st.counters["speech_s"] = static_cast<double>(v.sentenceSamples) / quellon::kSampleRate;
}
BENCHMARK(BM_SynthesizeSentence)->Unit(benchmark::kMillisecond);

void BM_ExtractUnit(benchmark::State& st) {
  Voice& v = TheVoice();
  std::size_t k = 0;
  for (auto _ : st) {
    quellon::SampleArray s = v.db.ExtractUnit(v.names[k++ % v.names.size()]);
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(BM_ExtractUnit);

void BM_UnitExists(benchmark::State& st) {
  Voice& v = TheVoice();
  std::size_t k = 0;
  const std::u16string missing = u"qx";
  for (auto _ : st) {
    const auto& name = (k & 1) ? missing : v.names[k % v.names.size()];
    ++k;
    benchmark::DoNotOptimize(v.db.UnitExists(name));
  }
  st.counters["entries"] = static_cast<double>(v.db.UnitIndex().size());
}
BENCHMARK(BM_UnitExists);

}  // namespace

BENCHMARK_MAIN();
