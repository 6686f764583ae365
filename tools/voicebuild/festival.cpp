#include "festival.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace quellon::voicebuild {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FestivalError("Festival did not write " + path.string());
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Quote(const std::filesystem::path& p) {
  std::string s = p.string();
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

}  // namespace

std::filesystem::path FindFestival(const std::string& hint) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!hint.empty()) {
    if (fs::is_regular_file(hint, ec)) return hint;
    throw FestivalError("Festival not found at " + hint +
                        " (install the Debian packages festival festival-czech festvox-czech-ph)");
  }
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
#ifdef _WIN32
  const char sep = ';';
  const char* exe = "festival.exe";
#else
  const char sep = ':';
  const char* exe = "festival";
#endif
  for (std::string dir; std::getline(dirs, dir, sep);) {
    if (dir.empty()) continue;
    const fs::path candidate = fs::path(dir) / exe;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  throw FestivalError(
      "Festival is not installed: no festival program on PATH (install the Debian packages "
      "festival festival-czech festvox-czech-ph, or pass --festival PATH)");
}

std::string CarrierScript(const std::vector<Carrier>& carriers,
                          const std::filesystem::path& workDir) {
  const double f0 = static_cast<double>(kVoiceRate) / kPeriod;
  std::string s;
  s += "(voice_czech_ph)\n";
  s += "(set! after_synth_hooks nil)\n";  // no automatic volume rescale
  for (const Carrier& c : carriers) {
    s += "(format stderr \"CARRIER " + c.id + "\\n\")\n";
    s += "(set! utt (Utterance Segments (";
    double t = 0;
    for (const SourcePhone& p : c.phones) {
      s += "(" + p.phone + " " + Fixed(p.seconds, 4) + " (" + Fixed(t + p.seconds / 2, 4) + " " +
           Fixed(f0, 4) + "))";
      t += p.seconds;
    }
    s += ")))\n(utt.synth utt)\n";
    const auto base = workDir / c.id;
    s += "(utt.save.wave utt " + Quote(base.string() + ".wav") + " 'riff)\n";
    s += "(utt.save.segs utt " + Quote(base.string() + ".segs") + ")\n";
    s += "(track.save (item.feat (utt.relation.first utt 'TargetCoef) \"coefs\") " +
         Quote(base.string() + ".tpm") + " \"est_ascii\")\n";
  }
  s += "(format stderr \"DONE\\n\")\n";
  return s;
}

void ParseSegments(const std::string& text, Recording& out, int rate) {
  std::istringstream in(text);
  std::string line;
  bool body = false;
  while (std::getline(in, line)) {
    if (!body) {
      body = line == "#" || line == "#\r";
      continue;
    }
    std::istringstream fields(line);
    double end = 0;
    int colour = 0;
    std::string phone;
    if (!(fields >> end >> colour >> phone)) continue;
    out.phones.push_back(phone);
    out.phoneEnds.push_back(static_cast<std::int64_t>(std::llround(end * rate)));
  }
  if (out.phones.empty()) throw FestivalError("segment file holds no phones");
}

std::vector<std::int64_t> ParseTrackTimes(const std::string& text, int rate) {
  std::istringstream in(text);
  std::string line;
  bool body = false;
  std::vector<std::int64_t> marks;
  while (std::getline(in, line)) {
    if (!body) {
      body = line.rfind("EST_Header_End", 0) == 0;
      continue;
    }
    std::istringstream fields(line);
    double t = 0;
    if (fields >> t) marks.push_back(static_cast<std::int64_t>(std::llround(t * rate)));
  }
  if (marks.empty()) throw FestivalError("pitch-mark track holds no frames");
  return marks;
}

std::vector<Recording> SynthesizeCarriers(const std::filesystem::path& festival,
                                          const std::vector<Carrier>& carriers,
                                          const std::filesystem::path& workDir) {
  namespace fs = std::filesystem;
  fs::create_directories(workDir);
  const fs::path script = workDir / "carriers.scm";
  const fs::path log = workDir / "festival.log";
  {
    std::ofstream out(script, std::ios::binary | std::ios::trunc);
    out << CarrierScript(carriers, workDir);
    if (!out) throw FestivalError("cannot write " + script.string());
  }
  for (const Carrier& c : carriers) fs::remove(workDir / (c.id + ".wav"));
  const std::string command =
      Quote(festival) + " --batch " + Quote(script) + " > " + Quote(log) + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string output = fs::exists(log) ? ReadText(log) : std::string();
  // Diphones the source voice lacks, per carrier (Festival substitutes silence for them).
  std::map<std::string, std::set<std::string>> missing;
  {
    std::istringstream lines(output);
    std::string current;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("CARRIER ", 0) == 0) current = line.substr(8);
      const auto at = line.find("using default diphone");
      if (at != std::string::npos) {
        const auto forAt = line.find(" for ", at);
        missing[current].insert(forAt == std::string::npos ? line : line.substr(forAt + 5));
      }
    }
  }
  if (!missing.empty()) {
    std::string message = "source units that do not synthesise (diphones missing from the voice):";
    for (const auto& [id, diphones] : missing) {
      message += "\n  carrier " + id + ":";
      for (const auto& d : diphones) message += " " + d;
    }
    throw FestivalError(message);
  }
  if (status != 0 || output.find("DONE") == std::string::npos) {
    std::string tail = output.size() > 2000 ? output.substr(output.size() - 2000) : output;
    throw FestivalError("Festival failed (exit status " + std::to_string(status) +
                        "); its output:\n" + tail);
  }
  std::vector<Recording> recordings;
  recordings.reserve(carriers.size());
  for (const Carrier& c : carriers) {
    const fs::path base = workDir / c.id;
    Recording r;
    Wave wave;
    try {
      wave = ReadWav(base.string() + ".wav");
    } catch (const std::exception& e) {
      throw FestivalError(std::string("carrier ") + c.id + ": " + e.what());
    }
    if (wave.rate == 2 * kVoiceRate) {
      r.samples = HalveRate(wave.samples);
    } else if (wave.rate == kVoiceRate) {
      r.samples = wave.samples;
    } else {
      throw FestivalError("carrier " + c.id + ": unexpected sample rate " +
                          std::to_string(wave.rate));
    }
    ParseSegments(ReadText(base.string() + ".segs"), r, kVoiceRate);
    r.marks = ParseTrackTimes(ReadText(base.string() + ".tpm"), kVoiceRate);
    if (r.phones.size() != c.phones.size()) {
      throw FestivalError("carrier " + c.id + ": Festival returned " +
                          std::to_string(r.phones.size()) + " phones instead of " +
                          std::to_string(c.phones.size()));
    }
    recordings.push_back(std::move(r));
  }
  return recordings;
}

}  // namespace quellon::voicebuild
