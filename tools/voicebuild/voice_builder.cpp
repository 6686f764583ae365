#include "voice_builder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "dsp.h"
#include "festival.h"
#include "text/text.h"
#include "unit_cutter.h"

namespace quellon::voicebuild {
namespace {

// printf-style checking of the report lines; MinGW's C++ library formats the GNU way.
#if defined(__clang__)
#define QUELLON_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#elif defined(__GNUC__)
#define QUELLON_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define QUELLON_PRINTF_FORMAT(f, a)
#endif

class Report {
 public:
  explicit Report(std::FILE* log) : log_(log) {}
  void Line(const char* format, ...) QUELLON_PRINTF_FORMAT(2, 3) {
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    text_ += buf;
    text_ += '\n';
    if (log_) {
      std::fputs(buf, log_);
      std::fputc('\n', log_);
      std::fflush(log_);
    }
  }
  void Blank() { Line("%s", ""); }
  const std::string& Text() const { return text_; }

 private:
  std::FILE* log_;
  std::string text_;
};

std::string Utf8(std::u16string_view s) {
  return text::Utf16ToUtf8(s);
}

std::string JoinNames(const std::vector<std::u16string>& names, std::size_t limit) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < limit; ++i) {
    if (i) out += ' ';
    out += Utf8(names[i]);
  }
  if (names.size() > limit) out += " ...";
  return out;
}

void SaveReport(const std::filesystem::path& dir, const std::string& text) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::ofstream out(dir / "report.txt", std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ShellQuote(const std::filesystem::path& p) {
  std::string out = "'";
  for (char c : p.string()) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out.push_back(c);
    }
  }
  return out + "'";
}

}  // namespace

std::vector<std::u16string> ReadWordList(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read the word list " + path.string());
  std::vector<std::u16string> words;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    words.push_back(text::Utf8ToUtf16(line));
  }
  return words;
}

std::vector<std::string> FindJoinSteps(const std::vector<std::int16_t>& samples,
                                       const std::vector<std::int64_t>& joins, double ratio,
                                       int minJump, double* worstRatio) {
  const auto n = static_cast<std::int64_t>(samples.size());
  auto jump = [&](std::int64_t t) {
    return std::abs(static_cast<int>(samples[static_cast<std::size_t>(t)]) -
                    static_cast<int>(samples[static_cast<std::size_t>(t - 1)]));
  };
  auto maxJump = [&](std::int64_t from, std::int64_t to) {
    int best = 0;
    for (std::int64_t t = std::max<std::int64_t>(from, 1); t < std::min(to, n); ++t) {
      best = std::max(best, jump(t));
    }
    return best;
  };
  std::vector<std::string> steps;
  double worst = 0;
  for (std::int64_t j : joins) {
    if (j <= 1 || j >= n) continue;
    const std::int64_t from = j - 350, to = j + 3;
    const int inside = maxJump(from, to);
    const int around = std::max(maxJump(from - 441, from), maxJump(to, to + 441));
    const double r = static_cast<double>(inside) / std::max(around, 1);
    worst = std::max(worst, r);
    if (r > ratio && inside > minJump) {
      steps.push_back("step of " + std::to_string(inside) + " at sample " + std::to_string(j) +
                      " (surroundings " + std::to_string(around) + ")");
    }
  }
  if (worstRatio) *worstRatio = worst;
  return steps;
}

std::vector<std::string> FindClicks(const SpokenSentence& spoken, int maxJump, int maxPeak) {
  std::map<std::size_t, int> perWord;  // word index -> places
  const auto& x = spoken.samples;
  for (std::size_t t = 1; t < x.size(); ++t) {
    const int jump = std::abs(static_cast<int>(x[t]) - static_cast<int>(x[t - 1]));
    if (jump <= maxJump && std::abs(static_cast<int>(x[t])) < maxPeak) continue;
    std::size_t word = 0;
    while (word + 1 < spoken.wordStarts.size() &&
           spoken.wordStarts[word + 1].first <= static_cast<std::int64_t>(t)) {
      ++word;
    }
    ++perWord[word];
  }
  std::vector<std::string> lines;
  for (const auto& [word, count] : perWord) {
    const std::string name = word < spoken.wordStarts.size() ? spoken.wordStarts[word].second : "?";
    lines.push_back("\"" + name + "\": " + std::to_string(count) + " samples");
  }
  return lines;
}

PackedVoice AssembleVoice(std::vector<VoiceUnit> units) {
  PackedVoice voice;
  voice.parameters = {
      {"pitch_deg", kPitchDegradation}, {"PITCHDN", kPitchDownTarget}, {"PITCHUP", kPitchUpTarget}};
  voice.units = std::move(units);
  return voice;
}

int BuildVoice(const BuildOptions& options, std::FILE* log) {
  return BuildVoice(options, log, DefaultEngineHooks());
}

int BuildVoice(const BuildOptions& options, std::FILE* log, const EngineHooks& engine) {
  namespace fs = std::filesystem;
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  Report report(log);
  auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - started).count(); };
  try {
    report.Line("voice \"%s\" from Festival's czech_ph diphone voice (GPL-2.0-or-later)",
                options.name.c_str());
    const fs::path festival = FindFestival(options.festival);
    const std::vector<UnitSpec> specs = DesignInventory();
    std::vector<Carrier> carriers;
    std::vector<std::size_t> carrierOf(specs.size(), SIZE_MAX);
    for (std::size_t i = 0; i < specs.size(); ++i) {
      if (auto c = DesignCarrier(specs[i], i)) {
        carrierOf[i] = carriers.size();
        carriers.push_back(std::move(*c));
      }
    }
    const std::vector<Recording> recordings =
        SynthesizeCarriers(festival, carriers, options.workDir);
    report.Line("festival: %zu carriers synthesised in %.1f s", carriers.size(), seconds());

    std::vector<CutUnit> cut;
    for (std::size_t i = 0; i < specs.size(); ++i) {
      cut.push_back(carrierOf[i] == SIZE_MAX
                        ? PauseUnit(specs[i])
                        : CutFromRecording(specs[i], recordings[carrierOf[i]]));
    }
    EqualiseLoudness(cut, kTargetRms, 6.0, 32000.0);
    double minGain = 1e9, maxGain = 0;
    for (const CutUnit& u : cut) {
      if (u.spec.kind == UnitKind::kPause) continue;
      minGain = std::min(minGain, u.gain);
      maxGain = std::max(maxGain, u.gain);
    }
    std::vector<VoiceUnit> units;
    std::size_t samples = 0, voiced = 0;
    for (const CutUnit& u : cut) {
      units.push_back(ToVoiceUnit(u));
      samples += units.back().samples.size() + units.back().marks.size();
      voiced += units.back().marks.empty() ? 0 : 1;
    }
    report.Line("units: %zu (%zu with pitch marks), %zu samples = %.1f MB; gains %.2f to %.2f",
                units.size(), voiced, samples, samples * 2 / 1e6, minGain, maxGain);
    report.Line("parameters: pitch_deg %d, PITCHDN %d, PITCHUP %d", kPitchDegradation,
                kPitchDownTarget, kPitchUpTarget);

    bool ok = true;
    report.Blank();
    report.Line("quality checks:");
    QualityLimits limits;
    for (const CheckResult& c : CheckUnits(units, specs, limits)) {
      report.Line("  %-40s %s  %s", c.name.c_str(), c.pass ? "PASS" : "FAIL", c.detail.c_str());
      for (const std::string& f : c.failures) report.Line("      %s", f.c_str());
      ok = ok && c.pass;
    }

    // Coverage: the rules run over the corpus and over every letter pair of the alphabet.
    report.Blank();
    std::set<std::u16string> names;
    for (const VoiceUnit& u : units) {
      names.insert(u.name);
      if (!u.marks.empty()) names.insert(u"!" + u.name);
    }
    if (!engine.requester) {
      report.Line("coverage: NOT RUN (unit selection is not part of this build)");
    } else {
      std::vector<std::u16string> words;
      if (!options.corpus.empty()) words = ReadWordList(options.corpus);
      const std::size_t corpusWords = words.size();
      for (auto& w : AlphabetSweep()) words.push_back(std::move(w));
      const CoverageReport cov = AnalyseCoverage(words, names, engine.requester);
      std::size_t built = specs.size();
      report.Line("coverage over %zu corpus words + %zu alphabet-sweep words:", corpusWords,
                  cov.words - corpusWords);
      report.Line("  units built: %zu, asked for: %zu, never asked: %zu (%s)", built,
                  cov.used.size(), cov.unused.size(), JoinNames(cov.unused, 40).c_str());
      if (cov.unused == std::vector<std::u16string>{u"-"}) {
        report.Line("    (\"-\" is asked for by the speaking loop, as the pause after a word)");
      }
      std::map<std::string, std::vector<std::u16string>> byReason;
      for (const auto& [name, a] : cov.absent) byReason[a.reason].push_back(name);
      report.Line("  deliberately absent (looked up, not in the voice): %zu names",
                  cov.absent.size());
      for (const auto& [reason, list] : byReason) {
        report.Line("    %zu x %s: %s", list.size(), reason.c_str(), JoinNames(list, 12).c_str());
      }
      report.Line("  missing (asked for, not in the voice, no reason): %zu", cov.missing.size());
      for (const auto& [name, example] : cov.missing) {
        report.Line("    \"%s\" (e.g. in \"%s\")", Utf8(name).c_str(), Utf8(example).c_str());
      }
      if (!cov.missing.empty()) ok = false;
    }

    // The engine speaks a test sentence with the new voice, from a scratch copy of it.
    if (!engine.speak) {
      report.Line("join check and spectrogram: NOT RUN (the engine is not part of this build)");
    } else {
      const fs::path scratch = options.workDir / "voice";
      WritePackedVoice(AssembleVoice(units), scratch, options.name);
      const std::u16string sentence =
          u"Dobrý den, tohle je zkouška hlasu. Čtyři sta padesát šest koťátek běží přes "
          u"žluťoučký most? Ano, ďábelské ódy pějí všichni.";
      const SpokenSentence spoken = engine.speak(scratch, options.name, sentence);
      double worst = 0;
      const auto steps = FindJoinSteps(spoken.samples, spoken.joins, 2.5, 1500, &worst);
      report.Blank();
      report.Line(
          "test sentence: %zu samples (%.2f s), %zu joins, %zu with a step (jump over 1500 and "
          "over 2.5 x its surroundings; largest ratio %.2f): %s",
          spoken.samples.size(), spoken.samples.size() / 22050.0, spoken.joins.size(), steps.size(),
          worst, steps.empty() ? "PASS" : "FAIL");
      for (const auto& s : steps) report.Line("      %s", s.c_str());
      // Clicks anywhere in the sentence are reported for a person to follow up; they come from
      // the engine's handling of a unit rather than from a join, so they do not stop the build.
      const auto clicks = FindClicks(spoken, 12000, 32000);
      report.Line("clicks or full-scale samples anywhere in the sentence: %s",
                  clicks.empty() ? "none" : "WARNING");
      for (const auto& c : clicks) report.Line("      %s", c.c_str());
      if (spoken.samples.size() < 22050) {
        report.Line("      the sentence is too short: units are missing");
        ok = false;
      }
      ok = ok && steps.empty();
      fs::create_directories(options.reportDir);
      const fs::path wav = options.reportDir / "test-sentence.wav";
      const fs::path png = options.reportDir / "test-sentence.png";
      WriteWav(wav, spoken.samples, kVoiceRate);
      const std::string cmd =
          "sox " + ShellQuote(wav) + " -n spectrogram -x 1600 -y 513 -z 90 -t " +
          ShellQuote("zuvan test sentence") + " -o " + ShellQuote(png) + " > /dev/null 2>&1";
      if (std::system(cmd.c_str()) == 0) {
        report.Line("spectrogram: %s", png.string().c_str());
      } else {
        report.Line("spectrogram: not drawn (sox is missing)");
      }
      std::ofstream unitFile(options.reportDir / "test-sentence-units.txt");
      unitFile << spoken.unitLists << "joins (output sample positions):";
      for (std::int64_t j : spoken.joins) unitFile << " " << j;
      unitFile << "\n";
    }

    report.Blank();
    if (!ok) {
      report.Line("FAILED: voice not written (%.1f s)", seconds());
      SaveReport(options.reportDir, report.Text());
      return 1;
    }
    WritePackedVoice(AssembleVoice(std::move(units)), options.outDir, options.name);
    report.Line("written: %s.idx and %s.vce in %s (%.1f s)", options.name.c_str(),
                options.name.c_str(), options.outDir.string().c_str(), seconds());
    SaveReport(options.reportDir, report.Text());
    return 0;
  } catch (const std::exception& e) {
    report.Line("error: %s", e.what());
    report.Line("FAILED: voice not written");
    if (log == stdout) std::fprintf(stderr, "quellon-voicebuild: error: %s\n", e.what());
    SaveReport(options.reportDir, report.Text());
    return 1;
  }
}

}  // namespace quellon::voicebuild
