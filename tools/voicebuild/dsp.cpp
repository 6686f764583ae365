#include "dsp.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <stdexcept>
#include <string>

namespace quellon::voicebuild {
namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}
void Put32(std::string& out, std::uint32_t v) {
  for (int s = 0; s < 32; s += 8) out.push_back(static_cast<char>((v >> s) & 0xff));
}
void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>(v >> 8));
}

}  // namespace

Wave ReadWav(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto bad = [&](const char* why) {
    return std::runtime_error(path.string() + ": not a usable WAV file (" + why + ")");
  };
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
    throw bad("no RIFF/WAVE header");
  }
  Wave wave;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::string id = b.substr(at, 4);
    const std::size_t size = Le32(b, at + 4);
    const std::size_t body = at + 8;
    if (size > b.size() - body) throw bad("chunk runs past the end");
    if (id == "fmt ") {
      if (size < 16) throw bad("short format chunk");
      if (Le16(b, body) != 1 || Le16(b, body + 2) != 1 || Le16(b, body + 14) != 16) {
        throw bad("not 16-bit mono PCM");
      }
      wave.rate = static_cast<int>(Le32(b, body + 4));
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) throw bad("data before format");
      wave.samples.reserve(size / 2);
      for (std::size_t i = 0; i + 1 < size; i += 2) {
        wave.samples.push_back(static_cast<std::int16_t>(Le16(b, body + i)));
      }
      return wave;
    }
    at = body + size + (size & 1);
  }
  throw bad("no data chunk");
}

void WriteWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples,
              int rate) {
  std::string b = "RIFF";
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  Put32(b, 36 + dataBytes);
  b += "WAVEfmt ";
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, 1);
  Put32(b, static_cast<std::uint32_t>(rate));
  Put32(b, static_cast<std::uint32_t>(rate) * 2);
  Put16(b, 2);
  Put16(b, 16);
  b += "data";
  Put32(b, dataBytes);
  for (std::int16_t s : samples) Put16(b, static_cast<std::uint16_t>(s));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

Signal HalveRate(const Signal& x) {
  // 95-tap Blackman-windowed sinc, cut-off 0.45 of the output rate (about 9.9 kHz at 22050 Hz):
  // more than 70 dB down at the new Nyquist frequency.
  constexpr int kHalf = 47;
  constexpr double kCut = 0.45 / 2.0;  // in cycles per input sample
  static const std::vector<double> taps = [] {
    std::vector<double> h(2 * kHalf + 1);
    double sum = 0;
    for (int k = -kHalf; k <= kHalf; ++k) {
      const double sinc =
          k == 0 ? 2 * kCut : std::sin(2 * std::numbers::pi * kCut * k) / (std::numbers::pi * k);
      const double n = static_cast<double>(k + kHalf) / (2 * kHalf);
      const double w = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * n) +
                       0.08 * std::cos(4 * std::numbers::pi * n);
      h[static_cast<std::size_t>(k + kHalf)] = sinc * w;
      sum += sinc * w;
    }
    for (double& v : h) v /= sum;
    return h;
  }();
  const auto n = static_cast<std::int64_t>(x.size());
  Signal y(static_cast<std::size_t>((n + 1) / 2));
  for (std::int64_t j = 0; j < static_cast<std::int64_t>(y.size()); ++j) {
    double acc = 0;
    for (int k = -kHalf; k <= kHalf; ++k) {
      const std::int64_t i = 2 * j + k;
      if (i >= 0 && i < n)
        acc += taps[static_cast<std::size_t>(k + kHalf)] * x[static_cast<std::size_t>(i)];
    }
    y[static_cast<std::size_t>(j)] = acc;
  }
  return y;
}

double Rms(const Signal& x, std::int64_t from, std::int64_t to) {
  from = std::max<std::int64_t>(from, 0);
  to = std::min<std::int64_t>(to, static_cast<std::int64_t>(x.size()));
  if (to <= from) return 0;
  double sum = 0;
  for (std::int64_t i = from; i < to; ++i)
    sum += x[static_cast<std::size_t>(i)] * x[static_cast<std::size_t>(i)];
  return std::sqrt(sum / static_cast<double>(to - from));
}

double ToDb(double ratio) {
  return ratio > 0 ? 20 * std::log10(ratio) : -200.0;
}
double FromDb(double db) {
  return std::pow(10.0, db / 20);
}

double Correlation(const Signal& x, std::int64_t a, std::int64_t b, std::int64_t len) {
  const auto n = static_cast<std::int64_t>(x.size());
  if (len <= 0 || a < 0 || b < 0 || a + len > n || b + len > n) return 0;
  double ab = 0, aa = 0, bb = 0;
  for (std::int64_t k = 0; k < len; ++k) {
    const double u = x[static_cast<std::size_t>(a + k)];
    const double v = x[static_cast<std::size_t>(b + k)];
    ab += u * v;
    aa += u * u;
    bb += v * v;
  }
  if (aa <= 0 || bb <= 0) return 0;
  return ab / std::sqrt(aa * bb);
}

std::vector<bool> DecideVoicing(const Signal& x, const std::vector<std::int64_t>& marks,
                                double referenceRms, double energyFraction, double minCorrelation) {
  std::vector<bool> voiced(marks.size(), false);
  const std::size_t count = marks.size();
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const std::int64_t len = marks[i + 1] - marks[i];
    if (len <= 0) continue;
    if (Rms(x, marks[i], marks[i + 1]) <= energyFraction * referenceRms) continue;
    double corr = 0;
    if (i > 0)
      corr = std::max(
          corr, Correlation(x, marks[i - 1], marks[i], std::min(len, marks[i] - marks[i - 1])));
    if (i + 2 < count)
      corr = std::max(
          corr, Correlation(x, marks[i], marks[i + 1], std::min(len, marks[i + 2] - marks[i + 1])));
    voiced[i] = corr > minCorrelation;
  }
  if (count >= 2) voiced[count - 1] = voiced[count - 2];
  return voiced;
}

std::optional<MarkRun> VoicedRun(const std::vector<bool>& voiced, std::size_t from,
                                 std::size_t minRun, std::size_t maxGap) {
  std::size_t i = from;
  while (i < voiced.size()) {
    if (!voiced[i]) {
      ++i;
      continue;
    }
    MarkRun run{i, i};
    std::size_t j = i;
    while (j < voiced.size()) {
      if (voiced[j]) {
        run.last = j++;
        continue;
      }
      std::size_t gapEnd = j;
      while (gapEnd < voiced.size() && !voiced[gapEnd]) ++gapEnd;
      if (gapEnd == voiced.size() || gapEnd - j > maxGap) break;
      j = gapEnd;
    }
    if (run.last - run.first + 1 >= minRun) return run;
    i = run.last + 1;
  }
  return std::nullopt;
}

int PeriodSpread(const std::vector<std::int16_t>& marks) {
  if (marks.size() < 3) return 0;
  int lo = 1 << 30, hi = -(1 << 30);
  for (std::size_t i = 1; i < marks.size(); ++i) {
    const int d = std::abs(marks[i]) - std::abs(marks[i - 1]);
    lo = std::min(lo, d);
    hi = std::max(hi, d);
  }
  return hi - lo;
}

double GainToward(double measuredRms, double targetRms, double limitDb) {
  if (measuredRms <= 0 || targetRms <= 0) return 1.0;
  const double db = std::clamp(ToDb(targetRms / measuredRms), -limitDb, limitDb);
  return FromDb(db);
}

std::int64_t QuietestPoint(const Signal& x, std::int64_t from, std::int64_t to) {
  from = std::max<std::int64_t>(from, 0);
  to = std::min<std::int64_t>(to, static_cast<std::int64_t>(x.size()));
  std::int64_t best = from;
  for (std::int64_t i = from; i < to; ++i) {
    if (std::abs(x[static_cast<std::size_t>(i)]) < std::abs(x[static_cast<std::size_t>(best)]))
      best = i;
  }
  return best;
}

}  // namespace quellon::voicebuild
