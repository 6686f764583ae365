#include "unit_cutter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <stdexcept>

#include "text/text.h"

namespace quellon::voicebuild {
namespace {

constexpr double kPauseSeconds = 0.10;
constexpr double kFrameVowel = 0.05;   // transition vowel after the consonant
constexpr double kStableVowel = 0.28;  // the sustained vowel the unit keeps
constexpr double kDecayVowel = 0.08;   // holds the decay before the pause; discarded
constexpr double kLeadVowel = 0.10;    // the "a" before the consonant
constexpr std::int64_t kFade = 44;     // 2 ms
constexpr std::int64_t kFrame = 22;    // 1 ms
constexpr double kVowelLeewayDb = 2.0;

std::string Utf8(const std::u16string& s) {
  return text::Utf16ToUtf8(s);
}

std::runtime_error CutError(const UnitSpec& spec, const std::string& why) {
  return std::runtime_error("unit \"" + Utf8(spec.name) + "\" cannot be cut: " + why);
}

bool IsVowelPhone(const std::string& p) {
  return p == "a" || p == "e" || p == "i" || p == "o" || p == "u";
}

double ReferenceRms(const Recording& r) {
  double best = 0;
  for (std::size_t i = 0; i < r.phones.size(); ++i) {
    if (IsVowelPhone(r.phones[i]))
      best = std::max(best, Rms(r.samples, r.PhoneStart(i), r.phoneEnds[i]));
  }
  return best;
}

std::size_t FirstMarkAtOrAfter(const std::vector<std::int64_t>& marks, std::int64_t pos) {
  return static_cast<std::size_t>(std::lower_bound(marks.begin(), marks.end(), pos) -
                                  marks.begin());
}

// Where an unvoiced unit starts: at the vowel/consonant boundary, or a little later once the tail
// of the vowel before it has fallen 40 dB below the vowel.
std::int64_t UnvoicedStart(const Signal& x, std::int64_t boundary, double referenceRms) {
  for (std::int64_t p = boundary; p < boundary + 15 * kFrame; p += kFrame) {
    if (Rms(x, p, p + 2 * kFrame) < 0.01 * referenceRms) return p;
  }
  return boundary;
}

Signal Slice(const Signal& x, std::int64_t from, std::int64_t to) {
  from = std::max<std::int64_t>(from, 0);
  to = std::min<std::int64_t>(to, static_cast<std::int64_t>(x.size()));
  if (to <= from) return {};
  return Signal(x.begin() + from, x.begin() + to);
}

void FadeIn(Signal& x) {
  for (std::int64_t i = 0; i < kFade && i < static_cast<std::int64_t>(x.size()); ++i) {
    x[static_cast<std::size_t>(i)] *=
        0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / kFade);
  }
}
void FadeOut(Signal& x) {
  const auto n = static_cast<std::int64_t>(x.size());
  for (std::int64_t i = 0; i < kFade && i < n; ++i) {
    x[static_cast<std::size_t>(n - 1 - i)] *=
        0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / kFade);
  }
}

// Marks in [firstIndex, ...) that lie before `end`, relative to `start`.
std::vector<std::int64_t> KeptMarks(const std::vector<std::int64_t>& marks, std::size_t firstIndex,
                                    std::int64_t start, std::int64_t end) {
  std::vector<std::int64_t> kept;
  for (std::size_t i = firstIndex; i < marks.size() && marks[i] < end; ++i) {
    if (marks[i] >= start) kept.push_back(marks[i] - start);
  }
  return kept;
}

// End of a voiced unit: the quietest point within 60 samples before the last excitation inside
// the span that ends at `spanEnd`.
std::int64_t VoicedEnd(const Recording& r, std::int64_t spanEnd) {
  std::size_t last = FirstMarkAtOrAfter(r.marks, spanEnd);
  if (last == 0) return spanEnd;
  --last;
  return QuietestPoint(r.samples, r.marks[last] - 60, r.marks[last]);
}

// Evens out the slow swell of the stretched part: each period after the stable mark is scaled
// towards the median level of those periods (measured over three periods, at most +-6 dB), with
// the gain interpolated between period centres so that nothing steps. The source voice's vowels
// swell by up to 8 dB over 280 ms, which repeated periods would otherwise make audible.
void LevelStretch(CutUnit& unit) {
  if (!unit.stable) return;
  const std::size_t s = *unit.stable;
  const auto& m = unit.marks;
  if (s + 3 >= m.size()) return;
  std::vector<double> level;
  std::vector<std::int64_t> centre;
  for (std::size_t i = s; i + 1 < m.size(); ++i) {
    const std::size_t a = i == s ? i : i - 1;
    const std::size_t b = std::min(i + 2, m.size() - 1);
    level.push_back(Rms(unit.samples, m[a], m[b]));
    centre.push_back((m[i] + m[i + 1]) / 2);
  }
  std::vector<double> sorted = level;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  if (median <= 0) return;
  std::vector<double> gain;
  for (double l : level) {
    gain.push_back(l > 0 ? std::clamp(median / l, FromDb(-6), FromDb(6)) : 1.0);
  }
  // Gain 1 up to the stable mark, then from centre to centre, held after the last centre.
  std::vector<std::int64_t> at = {m[s]};
  std::vector<double> g = {1.0};
  for (std::size_t k = 0; k < gain.size(); ++k) {
    at.push_back(centre[k]);
    g.push_back(gain[k]);
  }
  const auto n = static_cast<std::int64_t>(unit.samples.size());
  std::size_t seg = 0;
  for (std::int64_t t = m[s]; t < n; ++t) {
    while (seg + 1 < at.size() && at[seg + 1] <= t) ++seg;
    double v = g[seg];
    if (seg + 1 < at.size()) {
      const double f =
          static_cast<double>(t - at[seg]) / static_cast<double>(at[seg + 1] - at[seg]);
      v = g[seg] + f * (g[seg + 1] - g[seg]);
    }
    unit.samples[static_cast<std::size_t>(t)] *= v;
  }
}

void SetStable(CutUnit& unit, std::size_t index) {
  if (index + 3 >= unit.marks.size()) {
    throw CutError(unit.spec, "too few pitch marks after the stable mark");
  }
  unit.stable = index;
  LevelStretch(unit);
  unit.stableRms =
      Rms(unit.samples, unit.marks[index], static_cast<std::int64_t>(unit.samples.size()));
}

// The first mark at or after `nominal` from which the vowel holds its level: the next three
// periods within 2 dB of the level 100 to 250 ms later. A vowel the source voice makes from one
// long phone (i) rises slowly out of the consonant, over up to 100 ms.
std::int64_t SettledVowel(const Recording& r, std::int64_t nominal) {
  const double steady = Rms(r.samples, nominal + std::llround(0.10 * kVoiceRate),
                            nominal + std::llround(0.25 * kVoiceRate));
  const std::int64_t latest = nominal + std::llround(0.12 * kVoiceRate);
  for (std::size_t i = FirstMarkAtOrAfter(r.marks, nominal); i + 3 < r.marks.size(); ++i) {
    if (r.marks[i] > latest) break;
    if (Rms(r.samples, r.marks[i], r.marks[i + 3]) >= steady * FromDb(-2)) return r.marks[i];
  }
  return nominal;
}

CutUnit CutVowelLike(const UnitSpec& spec, const Recording& r, double ref,
                     const std::vector<bool>& voiced) {
  CutUnit unit{spec, {}, {}, std::nullopt, 0, 1};
  const bool hasOnset = !spec.onset.empty();
  const std::size_t v1 = hasOnset ? 2 + spec.onset.size() : 1;
  // The sustained stretch follows the transition (or onset) vowel; it is located by time, since
  // a vowel without a same-vowel diphone is synthesised as one long phone.
  const std::int64_t v2Start = SettledVowel(
      r, r.PhoneStart(v1) + std::llround((hasOnset ? kFrameVowel : kDecayVowel) * kVoiceRate));
  // It ends 280 ms later, but 20 ms before the vowel runs into the pause at the latest.
  const std::int64_t vowelEnd = r.phoneEnds[r.phones.size() - 2] - std::llround(0.02 * kVoiceRate);
  const std::int64_t v2End =
      std::min<std::int64_t>(v2Start + std::llround(kStableVowel * kVoiceRate), vowelEnd);
  std::int64_t start = 0;
  std::size_t first = 0;
  if (!hasOnset) {
    // A lone vowel starts where its level has settled, two periods before its stable mark.
    first = FirstMarkAtOrAfter(r.marks, v2Start);
    if (first < 2 || first >= r.marks.size()) throw CutError(spec, "no pitch marks in the vowel");
    first -= 2;
    start = r.marks[first] - kOnsetLead;
  } else if (spec.voicedOnset) {
    first = FirstMarkAtOrAfter(r.marks, r.PhoneStart(2));
    if (first >= r.marks.size()) throw CutError(spec, "no pitch marks after the consonant onset");
    start = r.marks[first] - kOnsetLead;
  } else {
    const auto run = VoicedRun(voiced, FirstMarkAtOrAfter(r.marks, r.PhoneStart(v1) - 331));
    if (!run) throw CutError(spec, "no voicing found in the vowel");
    first = run->first;
    start = UnvoicedStart(r.samples, r.PhoneStart(2), ref);
  }
  const std::int64_t end = VoicedEnd(r, v2End);
  if (end <= start) throw CutError(spec, "empty cut");
  unit.samples = Slice(r.samples, start, end);
  unit.marks = KeptMarks(r.marks, first, start, end);
  // A unit that starts voiced begins in the middle of a period: where it is not cross-faded into
  // a unit before it (at a word start) the fade-in keeps that from clicking. A join starts the
  // unit from its third mark and never hears this part.
  FadeIn(unit.samples);
  if (!hasOnset) {
    SetStable(unit, 2);
  } else {
    const auto at = std::lower_bound(unit.marks.begin(), unit.marks.end(), v2Start - start);
    SetStable(unit, static_cast<std::size_t>(at - unit.marks.begin()));
  }
  // The sustained part must really be voiced.
  std::size_t voicedCount = 0, total = 0;
  for (std::size_t i = 0; i < r.marks.size(); ++i) {
    if (r.marks[i] >= v2Start && r.marks[i] < end) {
      ++total;
      voicedCount += voiced[i] ? 1 : 0;
    }
  }
  if (total == 0 || voicedCount * 10 < total * 9) {
    throw CutError(spec, "the sustained vowel is not voiced throughout (" +
                             std::to_string(voicedCount) + " of " + std::to_string(total) +
                             " periods)");
  }
  return unit;
}

CutUnit CutConsonant(const UnitSpec& spec, const Recording& r, double ref) {
  CutUnit unit{spec, {}, {}, std::nullopt, 0, 1};
  const std::int64_t cStart = r.PhoneStart(2);
  const std::int64_t cEnd = r.phoneEnds[1 + spec.onset.size()];
  if (spec.keepMarks) {
    const std::size_t first = FirstMarkAtOrAfter(r.marks, cStart);
    if (first >= r.marks.size()) throw CutError(spec, "no pitch marks in the consonant");
    const std::int64_t start = r.marks[first] - kOnsetLead;
    const std::int64_t end = VoicedEnd(r, cEnd);
    unit.samples = Slice(r.samples, start, end);
    unit.marks = KeptMarks(r.marks, first, start, end);
    if (unit.marks.size() < 4) throw CutError(spec, "fewer than four periods in the consonant");
    FadeIn(unit.samples);
  } else {
    const std::int64_t start = spec.voicedOnset ? cStart : UnvoicedStart(r.samples, cStart, ref);
    unit.samples = Slice(r.samples, start, cEnd);
    if (unit.samples.size() < static_cast<std::size_t>(4 * kFade))
      throw CutError(spec, "too short");
    FadeIn(unit.samples);
    FadeOut(unit.samples);
  }
  return unit;
}

CutUnit CutPlosive(const UnitSpec& spec, const Recording& r, double ref,
                   const std::vector<bool>& voiced) {
  CutUnit unit{spec, {}, {}, std::nullopt, 0, 1};
  const std::int64_t cStart = r.PhoneStart(2);
  const std::int64_t cEnd = r.phoneEnds[2];
  const std::int64_t start = UnvoicedStart(r.samples, cStart, ref);
  // Closure level: the quietest millisecond in the first 70 % of the consonant.
  const std::int64_t searchEnd = start + (cEnd - start) * 7 / 10;
  double closure = 1e300;
  std::int64_t quiet = start;
  for (std::int64_t p = start; p + kFrame <= searchEnd; p += kFrame) {
    const double e = Rms(r.samples, p, p + kFrame);
    if (e < closure) {
      closure = e;
      quiet = p;
    }
  }
  const double threshold = std::max(10 * closure, 0.03 * ref);
  std::int64_t burst = -1;
  for (std::int64_t p = quiet; p + kFrame <= cEnd + 20 * kFrame; ++p) {
    if (std::abs(r.samples[static_cast<std::size_t>(p)]) > 2 * threshold) {
      burst = p;
      break;
    }
  }
  if (burst < 0) throw CutError(spec, "no burst found after the closure");
  const auto run = VoicedRun(voiced, FirstMarkAtOrAfter(r.marks, burst + kFade));
  if (!run) throw CutError(spec, "no voicing after the burst");
  const std::int64_t onset = r.marks[run->first];
  if (onset <= burst + kFade) throw CutError(spec, "voicing starts inside the burst");
  const std::int64_t pad = std::max<std::int64_t>(
      0, static_cast<std::int64_t>(kMinClosureSeconds * kVoiceRate) - (burst - start));
  unit.samples.assign(static_cast<std::size_t>(pad), 0.0);
  Signal body = Slice(r.samples, start, onset + 1);
  FadeIn(body);
  unit.samples.insert(unit.samples.end(), body.begin(), body.end());
  unit.marks = {pad + burst + kFade - start, pad + onset - start};
  return unit;
}

}  // namespace

std::optional<Carrier> DesignCarrier(const UnitSpec& spec, std::size_t number) {
  char id[32];
  std::snprintf(id, sizeof id, "c%03zu", number);
  Carrier c{id, {}};
  auto add = [&](const std::string& p, double s) { c.phones.push_back({p, s}); };
  switch (spec.kind) {
    case UnitKind::kPause:
      return std::nullopt;
    case UnitKind::kVowel:
    case UnitKind::kPair:
      add("#", kPauseSeconds);
      if (!spec.onset.empty()) {
        add("a", kLeadVowel);
        for (const SourcePhone& p : spec.onset) c.phones.push_back(p);
        add(spec.vowel, kFrameVowel);
      } else {
        add(spec.vowel, kDecayVowel);  // onset vowel after the pause; discarded
      }
      if (spec.vowel == "i") {
        // The source voice has no i-i diphone: one long i whose decay falls in its last 170 ms.
        c.phones.back().seconds += kStableVowel + 0.17;
      } else {
        add(spec.vowel, kStableVowel);
        add(spec.vowel, kDecayVowel);
      }
      add("#", kPauseSeconds);
      return c;
    case UnitKind::kConsonant:
    case UnitKind::kPlosive:
      add("#", kPauseSeconds);
      add("a", kLeadVowel);
      for (const SourcePhone& p : spec.onset) c.phones.push_back(p);
      add("a", 0.12);
      add("#", kPauseSeconds);
      return c;
  }
  return std::nullopt;
}

CutUnit CutFromRecording(const UnitSpec& spec, const Recording& recording) {
  const double ref = ReferenceRms(recording);
  if (ref <= 0) throw CutError(spec, "the carrier is silent");
  const std::vector<bool> voiced = DecideVoicing(recording.samples, recording.marks, ref);
  switch (spec.kind) {
    case UnitKind::kVowel:
    case UnitKind::kPair:
      return CutVowelLike(spec, recording, ref, voiced);
    case UnitKind::kConsonant:
      return CutConsonant(spec, recording, ref);
    case UnitKind::kPlosive:
      return CutPlosive(spec, recording, ref, voiced);
    case UnitKind::kPause:
      break;
  }
  return PauseUnit(spec);
}

CutUnit PauseUnit(const UnitSpec& spec) {
  return CutUnit{spec, Signal(50, 0.0), {}, std::nullopt, 0, 1};
}

std::u16string VowelOf(const UnitSpec& spec) {
  if (spec.name.empty()) return {};
  const char16_t v = spec.name.back();
  if (v == u'y') return u"i";
  if (v == u'ě') return u"e";
  return std::u16string(1, v);
}

void EqualiseLoudness(std::vector<CutUnit>& units, double targetRms, double limitDb,
                      double peakLimit) {
  // The lone vowels keep part of their natural differences (i and u are quieter than a): one
  // gain for the whole voice brings their mean to the target, and only a vowel further than
  // kVowelLeewayDb from it is corrected. Every other voiced unit is matched to the lone vowel it
  // ends in, so that a vowel sounds the same whichever unit carries it.
  double sum = 0;
  int count = 0;
  std::map<std::u16string, double> vowelRms;
  for (const CutUnit& u : units) {
    if (u.spec.kind == UnitKind::kVowel && u.stableRms > 0) {
      sum += u.stableRms;
      ++count;
      vowelRms[u.spec.name] = u.stableRms;
    }
  }
  const double global = count > 0 && sum > 0 ? targetRms / (sum / count) : 1.0;
  // A lone vowel further than kVowelLeewayDb from the target is pulled back to that distance.
  for (auto& [name, rms] : vowelRms) {
    const double db = ToDb(targetRms / (rms * global));
    const double excess = std::abs(db) - kVowelLeewayDb;
    if (excess > 0) rms *= FromDb(std::min(excess, limitDb) * (db > 0 ? 1 : -1));
  }
  for (CutUnit& u : units) {
    u.gain = global;
    if (u.stableRms > 0) {
      const auto it = vowelRms.find(VowelOf(u.spec));
      const double reference = it != vowelRms.end() ? it->second : sum / count;
      u.gain *= GainToward(u.stableRms, reference, limitDb);
    }
    double peak = 0;
    for (double s : u.samples) peak = std::max(peak, std::abs(s));
    if (peak * u.gain > peakLimit) u.gain = peakLimit / peak;
  }
}

VoiceUnit ToVoiceUnit(const CutUnit& unit) {
  VoiceUnit v;
  v.name = unit.spec.name;
  v.samples.reserve(unit.samples.size());
  for (double s : unit.samples) {
    const double r = std::nearbyint(s * unit.gain);
    v.samples.push_back(static_cast<std::int16_t>(std::clamp(r, -32768.0, 32767.0)));
  }
  for (std::size_t i = 0; i < unit.marks.size(); ++i) {
    if (unit.marks[i] < 0 || unit.marks[i] > 32767) {
      throw std::runtime_error("unit \"" + Utf8(unit.spec.name) + "\": pitch mark out of range");
    }
    const auto m = static_cast<std::int16_t>(unit.marks[i]);
    v.marks.push_back(unit.stable && *unit.stable == i ? static_cast<std::int16_t>(-m) : m);
  }
  return v;
}

std::vector<CheckResult> CheckUnits(const std::vector<VoiceUnit>& units,
                                    const std::vector<UnitSpec>& specs,
                                    const QualityLimits& limits) {
  CheckResult spread{"period spread", true, "", {}};
  CheckResult first{"first mark under " + std::to_string(limits.maxFirstMark) + " iff voiced onset",
                    true,
                    "",
                    {}};
  CheckResult clip{"no clipping", true, "", {}};
  CheckResult loud{"stable-part loudness", true, "", {}};
  CheckResult stable{"sustained vowel after the stable mark", true, "", {}};
  CheckResult plosive{"plosive marks", true, "", {}};
  CheckResult steady{"steady level after the stable mark", true, "", {}};
  std::vector<double> wobbles;
  std::string worstWobbleAt;
  double worstWobble = 0;
  int worstSpread = 0, worstPeak = 0;
  std::int64_t worstFirst = 0, shortestTail = 1 << 30;
  double worstDb = 0;
  std::string worstSpreadAt = "every unit", worstFirstAt, worstPeakAt, worstDbAt, shortestTailAt;
  auto fail = [](CheckResult& c, const std::string& what) {
    c.pass = false;
    c.failures.push_back(what);
  };
  char buf[160];
  std::map<std::u16string, double> vowelRms;
  for (std::size_t k = 0; k < units.size() && k < specs.size(); ++k) {
    if (specs[k].kind != UnitKind::kVowel) continue;
    const VoiceUnit& u = units[k];
    for (std::int16_t m : u.marks) {
      if (m < 0) {
        Signal x(u.samples.begin(), u.samples.end());
        vowelRms[u.name] = Rms(x, -m, static_cast<std::int64_t>(x.size()));
      }
    }
  }
  double vowelLo = 1e9, vowelHi = 0;
  for (const auto& [name, rms] : vowelRms) {
    vowelLo = std::min(vowelLo, rms);
    vowelHi = std::max(vowelHi, rms);
  }
  if (!vowelRms.empty() && ToDb(vowelHi / vowelLo) > limits.vowelSpreadDb) {
    std::snprintf(buf, sizeof buf, "lone vowels span %.1f dB", ToDb(vowelHi / vowelLo));
    loud.pass = false;
    loud.failures.push_back(buf);
  }
  for (std::size_t k = 0; k < units.size() && k < specs.size(); ++k) {
    const VoiceUnit& u = units[k];
    const UnitSpec& spec = specs[k];
    const std::string name = Utf8(u.name);
    int peak = 0;
    for (std::int16_t s : u.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    if (peak > worstPeak) worstPeak = peak, worstPeakAt = name;
    if (peak > limits.maxPeak) fail(clip, name + " peaks at " + std::to_string(peak));
    if (u.marks.empty()) continue;
    if (spec.kind == UnitKind::kPlosive) {
      const auto n = static_cast<std::int64_t>(u.samples.size());
      if (u.marks.size() != 2 || u.marks[0] < kMinClosureSeconds * kVoiceRate ||
          u.marks[1] <= u.marks[0] || u.marks[1] >= n) {
        fail(plosive, name + " marks do not frame the burst");
      }
      continue;
    }
    const int s = PeriodSpread(u.marks);
    if (s > worstSpread) worstSpread = s, worstSpreadAt = name;
    if (s > limits.maxPeriodSpread) fail(spread, name + " spread " + std::to_string(s));
    if (spec.voicedOnset || spec.kind == UnitKind::kVowel) {
      const std::int64_t m0 = std::abs(u.marks[0]);
      if (m0 > worstFirst) worstFirst = m0, worstFirstAt = name;
      if (m0 >= limits.maxFirstMark) fail(first, name + " first mark " + std::to_string(m0));
    } else if (std::abs(u.marks[0]) < limits.maxFirstMark) {
      // A unit that starts unvoiced must not be cross-faded into the unit before it.
      fail(first, name + " starts unvoiced but its first mark is " + std::to_string(u.marks[0]));
    }
    std::size_t si = u.marks.size();
    for (std::size_t i = 0; i < u.marks.size(); ++i) {
      if (u.marks[i] < 0) si = i;
    }
    if (spec.kind == UnitKind::kVowel || spec.kind == UnitKind::kPair) {
      if (si == u.marks.size()) {
        fail(stable, name + " has no stable mark");
        continue;
      }
      const auto n = static_cast<std::int64_t>(u.samples.size());
      const std::int64_t tail = n - (-u.marks[si]);
      if (tail < shortestTail) shortestTail = tail, shortestTailAt = name;
      if (tail < limits.minStableTail || si + 3 >= u.marks.size()) {
        fail(stable, name + " keeps " + std::to_string(tail) + " samples after the stable mark");
      }
      Signal x(u.samples.begin(), u.samples.end());
      // Level range over the periods of the stretched part: a vowel still rising out of its
      // consonant, or decaying into the pause, would be repeated with its swell.
      double lo = 1e300, hi = 0;
      for (std::size_t i = si; i + 1 < u.marks.size(); ++i) {
        const double e = Rms(x, std::abs(u.marks[i]), std::abs(u.marks[i + 1]));
        lo = std::min(lo, e);
        hi = std::max(hi, e);
      }
      if (hi > 0 && lo > 0) {
        const double wobble = ToDb(hi / lo);
        wobbles.push_back(wobble);
        if (wobble > worstWobble) worstWobble = wobble, worstWobbleAt = name;
        if (wobble > limits.maxStableWobbleDb) {
          std::snprintf(buf, sizeof buf, "%s level varies by %.1f dB", name.c_str(), wobble);
          fail(steady, buf);
        }
      }
      const auto ref = vowelRms.find(VowelOf(spec));
      if (spec.kind == UnitKind::kVowel || ref == vowelRms.end()) continue;
      const double db = ToDb(Rms(x, -u.marks[si], n) / ref->second);
      if (std::abs(db) > std::abs(worstDb)) worstDb = db, worstDbAt = name;
      if (std::abs(db) > limits.loudnessToleranceDb) {
        std::snprintf(buf, sizeof buf, "%s stable part %+.1f dB", name.c_str(), db);
        fail(loud, buf);
      }
    }
  }
  spread.detail = "worst " + std::to_string(worstSpread) + " samples (" + worstSpreadAt +
                  "), limit " + std::to_string(limits.maxPeriodSpread);
  first.detail = "latest " + std::to_string(worstFirst) + " (" + worstFirstAt + ")";
  clip.detail = "highest peak " + std::to_string(worstPeak) + " (" + worstPeakAt + "), limit " +
                std::to_string(limits.maxPeak);
  std::snprintf(buf, sizeof buf,
                "worst %+.2f dB (%s) from its lone vowel, tolerance +-%.1f dB; lone vowels "
                "%.1f to %.1f dBFS",
                worstDb, worstDbAt.c_str(), limits.loudnessToleranceDb, ToDb(vowelLo / 32768),
                ToDb(vowelHi / 32768));
  loud.detail = buf;
  std::snprintf(buf, sizeof buf,
                "shortest %lld samples = %.0f ms (%s): %.0f ms at 0.3, %.0f ms at 0.5",
                static_cast<long long>(shortestTail), shortestTail * 1000.0 / kVoiceRate,
                shortestTailAt.c_str(), 0.3 * shortestTail * 1000.0 / kVoiceRate,
                0.5 * shortestTail * 1000.0 / kVoiceRate);
  stable.detail = buf;
  plosive.detail = "p and t: [burst + 2 ms, voicing onset], closure >= 40 ms";
  std::sort(wobbles.begin(), wobbles.end());
  std::snprintf(buf, sizeof buf,
                "per-period RMS range: median %.1f dB, worst %.1f dB (%s), limit %.0f dB",
                wobbles.empty() ? 0.0 : wobbles[wobbles.size() / 2], worstWobble,
                worstWobbleAt.c_str(), limits.maxStableWobbleDb);
  steady.detail = buf;
  return {spread, first, clip, loud, stable, steady, plosive};
}

}  // namespace quellon::voicebuild
