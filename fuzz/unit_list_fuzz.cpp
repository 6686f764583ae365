// Fuzzes synthesis: arbitrary unit-list text, Tempo, Pitch and Volume against two small voices
// whose voiced units carry good and bad pitch marks (negated, not rising, past the unit's end,
// at the 16-bit limits, too few), one voice with extreme pitch-bend parameters.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "speech/voice_database.h"
#include "synth/psola.h"
#include "text/text.h"

namespace {

struct Writer {
  std::string idx, vce;
  std::int32_t samples = 0;
  void Record(const std::string& name, std::int32_t offset, std::int32_t length) {
    idx.push_back(static_cast<char>(name.size() & 0xFF));
    idx.push_back(static_cast<char>(name.size() >> 8));
    idx += name;
    for (std::int32_t v : {offset, length}) {
      const auto u = static_cast<std::uint32_t>(v);
      for (int b = 0; b < 4; ++b) idx.push_back(static_cast<char>((u >> (8 * b)) & 0xFF));
    }
  }
  void Entry(const std::string& name, const std::vector<std::int16_t>& values) {
    Record(name, samples, static_cast<std::int32_t>(values.size()));
    for (std::int16_t v : values) {
      const auto u = static_cast<std::uint16_t>(v);
      vce.push_back(static_cast<char>(u & 0xFF));
      vce.push_back(static_cast<char>(u >> 8));
    }
    samples += static_cast<std::int32_t>(values.size());
  }
  void Unit(const std::string& name, int length, int period, double amplitude,
            const std::vector<std::int16_t>& marks) {
    std::vector<std::int16_t> x(static_cast<std::size_t>(length));
    for (int k = 0; k < length; ++k) {
      x[static_cast<std::size_t>(k)] =
          static_cast<std::int16_t>(amplitude * std::sin(6.283185307179586 * k / period));
    }
    Entry(name, x);
    if (!marks.empty()) Entry("!" + name, marks);
  }
};

std::vector<std::int16_t> Rising(int first, int period, int count, int negate) {
  std::vector<std::int16_t> m;
  for (int k = 0; k < count; ++k) m.push_back(static_cast<std::int16_t>(first + k * period));
  if (negate >= 0 && negate < count) m[static_cast<std::size_t>(negate)] *= -1;
  return m;
}

void WriteVoice(const std::filesystem::path& folder, const std::string& name, bool extreme) {
  Writer w;
  w.Unit("a", 900, 80, 30000, Rising(40, 80, 10, 3));
  w.Unit("ka", 700, 70, 32767, Rising(100, 70, 8, 6));           // stable mark near the end
  w.Unit("m", 600, 60, 20000, {50, 170, 110, 230, 200, 400});    // not rising
  w.Unit("o", 500, 50, 25000, Rising(30, 90, 9, -1));            // marks past the end
  w.Unit("e", 400, 40, 32767, {-32768, 32767, 5, 300, -32767});  // 16-bit limits
  w.Unit("t", 300, 30, 15000, {120, 200});                       // two marks
  w.Unit("l", 300, 30, 15000, {10});                             // one mark
  w.Unit("d", 300, 30, 15000, {0, 0, 20, 20, 40});               // zeros and repeats
  w.Unit("ně", 800, 100, 28000, Rising(200, 100, 6, 0));         // join candidate (mark < 300)
  w.Unit("s", 400, 7, 9000, {});                                 // unvoiced
  w.Unit("-", 30, 30, 0, {});
  w.Record("x", -5, 20);         // points before the store
  w.Record("y", 1 << 30, 10);    // points past the store
  w.Record("z", 0, 0x7FFFFFFF);  // absurd length
  w.Record("pitch_deg", 12, 0);  // a parameter, not stored
  if (extreme) {
    w.Record("PITCHDN", 32767, 0);
    w.Record("PITCHUP", -32768, 0);
  }
  std::ofstream(folder / (name + ".idx"), std::ios::binary) << w.idx;
  std::ofstream(folder / (name + ".vce"), std::ios::binary) << w.vce;
}

struct Fixture {
  std::filesystem::path folder;
  quellon::EngineState state;
  std::unique_ptr<quellon::VoiceDatabase> voices[2];
  std::unique_ptr<quellon::Synthesizer> synths[2];
  Fixture() {
    std::random_device rd;
    folder =
        std::filesystem::temp_directory_path() / ("quellon_unit_list_fuzz_" + std::to_string(rd()));
    std::filesystem::create_directories(folder);
    for (int v = 0; v < 2; ++v) {
      const std::string name = v == 0 ? "plain" : "extreme";
      WriteVoice(folder, name, v == 1);
      voices[v] = std::make_unique<quellon::VoiceDatabase>(folder);
      synths[v] = std::make_unique<quellon::Synthesizer>(*voices[v], state);
      synths[v]->InitSynthesis();
      if (!voices[v]->LoadVoice(quellon::text::Utf8ToUtf16(name))) std::abort();
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  if (size < 6) return 0;
  fixture.state.Tempo = static_cast<std::int8_t>(data[0]);
  fixture.state.Pitch = static_cast<std::int16_t>(data[1] | (data[2] << 8));
  fixture.state.Volume = static_cast<std::int16_t>(data[3] | (data[4] << 8));
  quellon::Synthesizer& synth = *fixture.synths[data[5] & 1];
  const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
  const quellon::SampleArray out = synth.Synthesize(quellon::text::Utf8ToUtf16(text));
  if (out.empty() || static_cast<std::int64_t>(out.size()) > quellon::Synthesizer::kMaxSamples) {
    std::abort();
  }
  return 0;
}
