// quellon-tts synth: renders a unit list with the PSOLA synthesiser and a packed voice.
//   synth --voice PATH [--tempo T] [--pitch P] [--volume V] UNITLIST -o OUT
// PATH is the voice without extension (PATH.idx and PATH.vce). OUT ending in ".wav" gets a RIFF
// WAVE file (22050 Hz, 16-bit, mono); any other name gets raw signed 16-bit little-endian samples.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "command.h"
#include "engine/engine_state.h"
#include "speech/voice_database.h"
#include "synth/psola.h"
#include "synth/wav_file.h"
#include "text/text.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);

const Command kSynth{
    "synth", "synth --voice PATH [--tempo T] [--pitch P] [--volume V] UNITLIST -o OUT", &Run};

std::optional<std::int16_t> ParseInt16(const std::string& s) {
  int v = 0;
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (!s.empty() && s[0] == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || ptr != last || first == last || v < INT16_MIN || v > INT16_MAX) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(v);
}

std::filesystem::path PathFromArg(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(text::Utf8ToUtf16(utf8));
#else
  return std::filesystem::path(utf8);
#endif
}

std::u16string NameOf(const std::filesystem::path& p) {
#ifdef _WIN32
  return p.u16string();
#else
  return text::Utf8ToUtf16(p.native());
#endif
}

bool WriteRaw(const std::filesystem::path& path, std::span<const std::int16_t> samples) {
  std::string bytes;
  bytes.reserve(samples.size() * 2);
  for (const std::int16_t s : samples) {
    const auto u = static_cast<std::uint16_t>(s);
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

int Run(const std::vector<std::string>& args) {
  std::optional<std::string> voicePath, outPath, unitList;
  EngineState state;  // Volume 10, Pitch 0, Tempo 0: the engine's defaults
  bool optionsEnd = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    const bool hasValue = k + 1 < args.size();
    if (!optionsEnd && a == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && a == "--voice") {
      if (!hasValue || voicePath) return UsageError(kSynth);
      voicePath = args[++k];
    } else if (!optionsEnd && a == "-o") {
      if (!hasValue || outPath) return UsageError(kSynth);
      outPath = args[++k];
    } else if (!optionsEnd && (a == "--tempo" || a == "--pitch" || a == "--volume")) {
      if (!hasValue) return UsageError(kSynth);
      const auto v = ParseInt16(args[++k]);
      if (!v) return UsageError(kSynth);
      (a == "--tempo" ? state.Tempo : a == "--pitch" ? state.Pitch : state.Volume) = *v;
    } else {
      // Anything else is the unit list (which may itself begin with "-", as in "-,10,0").
      if (unitList) return UsageError(kSynth);
      unitList = a;
    }
  }
  if (!voicePath || !outPath || !unitList || voicePath->empty() || outPath->empty()) {
    return UsageError(kSynth);
  }

  std::filesystem::path voice = PathFromArg(*voicePath);
  const std::filesystem::path ext = voice.extension();
  if (ext == ".idx" || ext == ".vce") voice.replace_extension();
  std::filesystem::path folder = voice.parent_path();
  if (folder.empty()) folder = ".";

  VoiceDatabase db(folder);
  Synthesizer synth(db, state);
  synth.InitSynthesis();
  if (!db.LoadVoice(NameOf(voice.filename()))) {
    std::fprintf(stderr, "quellon-tts: cannot read voice index %s\n",
                 (folder / voice.filename()).string().append(".idx").c_str());
    return kExitFileError;
  }
  const SampleArray samples = synth.Synthesize(text::Utf8ToUtf16(*unitList));
  const std::span<const std::int16_t> valid(samples.data(),
                                            static_cast<std::size_t>(UpperBound(samples)));
  const std::filesystem::path out = PathFromArg(*outPath);
  std::string lowerExt = out.extension().string();
  for (char& c : lowerExt) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const bool ok = lowerExt == ".wav" ? WriteWavFile(out, valid) : WriteRaw(out, valid);
  if (!ok) {
    std::fprintf(stderr, "quellon-tts: cannot write %s\n", outPath->c_str());
    return kExitFileError;
  }
  return kExitOk;
}

const bool registered = RegisterCommand(kSynth);

}  // namespace
}  // namespace quellon::tts
