// PSOLA synthesis of a unit list.
//
// Arithmetic follows one rule throughout: every step is done on its own, in double where it
// involves a fraction, left to right, and rounded half to even. A step that cannot be done - a
// value outside the range of the variable it is stored in (16-bit for sample values and for
// positions inside a unit, 32-bit for output positions), an index outside an array, a division by
// zero - is skipped: the variable or sample slot keeps what it held and the next step runs. So an
// overlap-add sum or a scaled sample outside -32768..32767 is never written.
//
// Choices made where the straightforward reading of the algorithm sounds wrong:
//   1. The stable mark is taken once, on the first (forward) pass over it. The walk back and
//      forth over the marks passes it again, and moving it there would keep pushing the end of
//      the unit away, so that a unit ran all 1001 periods. When the stable mark is among the last
//      three marks the walk can never get two marks past it (i > s + 1 never holds); the test on
//      the write position then applies from the moment the walk has reached the stable mark (or
//      its furthest mark, m - 2, when the stable mark is the last one) on, for good.
//   2. Recorded mark positions that lie outside the samples a unit keeps (a unit that ran all
//      1001 periods records marks far past its end) are dropped, and a join is only made when the
//      previous unit's last mark lies inside the output: cutting the output "to" a mark past its
//      end would lengthen the word with silence instead of cutting it.
//   3. The first sample of a unit in state 1 or 2 (13 counts as 2 at that point) gets gain 0,
//      although the envelope table of state 1 starts at 0.3.
//   4. A join needs two marks of the previous unit and three marks of the new one; with fewer the
//      unit is simply appended. Mark positions are stored as the exact output positions where
//      the unit's marks land, also after a join has cut the output back.
//   5. A unit the voice does not hold (no samples) adds nothing, even when the voice holds pitch
//      marks under its name.
//   6. A unit with fewer than three pitch marks (outside state 12) cannot be walked: it keeps its
//      head and its first, falling period and ends there instead of running all 1001 passes.
//   7. A unit or word that would grow beyond kMaxSamples: the step that would grow it fails (a
//      copy-path unit asking for more than the word has room for adds nothing).
#include "synth/psola.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "text/text.h"

namespace quellon {
namespace {

constexpr double kPi = std::numbers::pi;

bool FitsI16(std::int64_t v) {
  return v >= INT16_MIN && v <= INT16_MAX;
}
bool FitsI32(std::int64_t v) {
  return v >= INT32_MIN && v <= INT32_MAX;
}

// Half-to-even rounding of a double into 16 bits; nullopt when it does not fit (or is NaN).
std::optional<std::int16_t> Round16(double v) {
  return text::RoundToInt16(v);
}
std::optional<std::int32_t> Round32(double v) {
  return text::RoundToInt32(v);
}

std::int32_t Ub(const std::vector<std::int16_t>& a) {
  return UpperBound(a);
}

bool IsVowelClass(char16_t c) {
  static constexpr std::u16string_view kVowels = u"aeuioáéíóúůýyěôä";
  return kVowels.find(text::ToLower(c)) != std::u16string_view::npos;
}

// Splits at every occurrence of `sep`; "" gives one empty piece.
std::vector<std::u16string_view> Split(std::u16string_view s, char16_t sep) {
  std::vector<std::u16string_view> parts;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = s.find(sep, from);
    if (at == std::u16string_view::npos) {
      parts.push_back(s.substr(from));
      return parts;
    }
    parts.push_back(s.substr(from, at - from));
    from = at + 1;
  }
}

}  // namespace

Synthesizer::Synthesizer(VoiceDatabase& voice, const SynthesisControls& controls)
    : voice_(voice), controls_(controls) {
  // The tables are ready at once; the voice parameters are left to InitSynthesis, so that
  // creating a synthesiser never undoes what a loaded voice has set.
  FillTables();
}

void Synthesizer::InitSynthesis() {
  FillTables();
  voice_.Parameters() = VoiceParameters{};
}

void Synthesizer::FillTables() {
  static constexpr double kHead[4] = {0.3, 0.4, 0.6, 0.9};
  static constexpr double kTail[6] = {0.8, 0.8, 0.7, 0.6, 0.5, 0.4};
  for (int k = 0; k < 4; ++k) envelope_[k] = kHead[k];
  for (int k = 4; k <= 24; ++k) envelope_[k] = 1.0;
  for (int k = 25; k <= 30; ++k) envelope_[k] = kTail[k - 25];
  envelope_[31] = 0.0;
  previousMarks_.assign(2, 0);
}

SampleArray Synthesizer::Synthesize(std::u16string_view unitList) {
  output_ = EmptySamples();
  if (unitList.empty()) return output_;
  // The record carries over from item to item: a field an item lacks keeps the value before.
  UnitRecord unit;
  for (const std::u16string_view item : Split(unitList, u' ')) {
    const std::vector<std::u16string_view> fields = Split(item, u',');
    unit.name = std::u16string(fields[0]);
    if (fields.size() > 1) {
      const double f = text::LeadingNumber(fields[1]);
      unit.factor = f == 0 ? -1.0 : f;
    }
    if (fields.size() > 2) {
      if (auto v = Round32(text::LeadingNumber(fields[2]))) unit.state = *v;
    }
    if (fields.size() > 3) {
      if (auto v = Round32(text::LeadingNumber(fields[3]))) unit.pitch = *v;
    }
    if (controls_.StopFlag) return EmptySamples();
    SynthesizeUnit(unit);
  }
  return output_;
}

SampleArray Synthesizer::FinalFade(const SampleArray& x) {
  SampleArray y = x;
  const std::int32_t n = UpperBound(x);
  if (x.empty()) return y;
  const std::int32_t q = static_cast<std::int32_t>(text::RoundHalfEven(n / 4.0));
  for (std::int32_t i = 0; i <= n; ++i) {
    const double e = i <= n - q ? 1.0 : static_cast<double>(n - i) / q;
    const auto width = static_cast<std::int32_t>(text::RoundHalfEven(30 * (1 - e)));
    if (i >= n || i - width < 1) continue;  // y(i) = x(i)
    double sum = 0;
    for (std::int32_t k = i - width; k <= i; ++k) sum += x[k];
    const double mean = sum / (width + 1);
    if (auto v = Round16(e * mean)) y[i] = *v;
  }
  return y;
}

void Synthesizer::SynthesizeUnit(UnitRecord& unit) {
  if (controls_.StopFlag) return;

  // 1. The unit's samples and pitch marks.
  SampleArray x;
  SampleArray pm;
  const std::u16string markName = u"!" + unit.name;
  if (voice_.PackedVoiceLoaded()) {
    x = voice_.ExtractUnit(unit.name);
    pm = voice_.ExtractUnit(markName);
  } else {
    x = voice_.LoadUnitFile(unit.name);
    pm = voice_.LoadPitchMarkFile(markName);
  }
  if (x.empty()) x = EmptySamples();
  if (pm.empty()) pm = EmptySamples();
  const std::int32_t n = UpperBound(x);
  const std::int32_t m = UpperBound(pm);
  if (n == 0) return;  // a unit without samples adds nothing

  std::int32_t state = unit.state;
  double factor = unit.factor;
  SampleArray out(1, 0);
  // Positions in `out` of the pitch marks written for this unit (the output positions are these
  // plus the output length the unit is appended at).
  std::vector<std::int64_t> marks;

  bool copyPath = m < 1;
  if (!copyPath && state == 12) {
    // 3. A plosive cut at its second pitch mark, faded from 0.92 down to 0 from the first mark.
    std::int16_t N = 0;
    if (FitsI16(std::int64_t{pm[1]} - pm[0])) N = static_cast<std::int16_t>(pm[1] - pm[0]);
    if (pm[1] >= 0) out.assign(static_cast<std::size_t>(pm[1]) + 1, 0);
    if (pm[0] >= 1 && pm[0] - 1 <= n && pm[0] - 1 <= Ub(out)) {
      std::copy(x.begin(), x.begin() + pm[0], out.begin());
    }
    for (std::int32_t i = 0; i <= N; ++i) {
      const std::int32_t at = pm[0] + i;
      if (N == 0 || !FitsI16(at) || at < 0 || at > n || at > Ub(out)) continue;
      const double gain = 1 - (0.54 + 0.46 * std::cos(kPi * (N - i) / N));
      if (auto v = Round16(x[at] * gain)) out[at] = *v;
    }
  } else if (!copyPath) {
    // 4. Preparation: the stable mark (stored negated), the length of the stretched tail and the
    // nominal number of periods.
    std::int32_t s = 0;
    for (std::int32_t q = 0; q < m; ++q) {
      if (pm[q] < 0) {
        if (pm[q] != INT16_MIN) pm[q] = static_cast<std::int16_t>(-pm[q]);
        s = q;
        break;
      }
    }
    const double F = factor;
    std::int32_t tail = 0;
    auto setTail = [&](std::int64_t v) {
      if (FitsI32(v)) tail = static_cast<std::int32_t>(v);
    };
    if (F == 1) {
      setTail(std::int64_t{n} - pm[0]);
    } else if (F == -1) {
      // The record's factor becomes 1, so a following item without a factor field plays with
      // factor 1 (through PSOLA), not as recorded.
      factor = 1;
      unit.factor = 1;
      copyPath = true;
    } else if (unit.name.size() == 1 && !IsVowelClass(unit.name[0])) {
      setTail(std::int64_t{n} - pm[0]);
    } else {
      setTail(std::int64_t{n} - pm[s]);
    }
    if (!copyPath) {
      const double speed = F - 0.02 * controls_.Tempo;
      std::int32_t periods = 0;
      if (auto v = Round32(speed * (m - 1))) periods = *v;
      if (auto v = Round32(speed * tail)) tail = *v;
      if (2 * std::int64_t{n} + 1 <= kMaxSamples)
        out.assign(2 * static_cast<std::size_t>(n) + 1, 0);

      // 5. The overlap-add loop: one output period per pass, walking the analysis marks forward
      // to the last but one and back to mark 1, again and again.
      const VoiceParameters& params = voice_.Parameters();
      std::int32_t w = 0;
      std::int32_t i = 0;
      bool forward = true;
      std::int16_t shift = 0, delta = 0, start = 0, end = 0, L = 0;
      std::int32_t stable = 0;
      bool stableTaken = false;
      std::vector<double> window;
      std::int32_t windowLength = -1;  // L of the window in `window` (-1: none yet)
      bool windowFalling = false;
      const bool stopUnreachable = s + 1 >= m - 2;
      bool reachedStable = false;
      for (std::int32_t j = 0; j <= 1000; ++j) {
        if (periods != 0 && (state == 11 || state == 13 || state == 10)) {
          const double target = state == 10 ? params.PitchUpShiftTarget : params.PitchDnShiftTarget;
          // The rounded bend must fit 16 bits, and so must its negation for state 10.
          const double r = text::RoundHalfEven(static_cast<double>(j) / periods * target);
          const double v = state == 10 ? -r : r;
          if (r >= INT16_MIN && r <= INT16_MAX && v >= INT16_MIN && v <= INT16_MAX) {
            shift = static_cast<std::int16_t>(v);
          }
        }
        if (i > 0) {
          const std::int64_t d = std::int64_t{controls_.Pitch} + unit.pitch + shift;
          if (FitsI16(d)) delta = static_cast<std::int16_t>(d);
          start = pm[i - 1];
          const std::int64_t period = std::int64_t{pm[i]} - pm[i - 1];
          if (FitsI16(period) && FitsI32(w - period) && FitsI32(w - period + delta)) {
            w = static_cast<std::int32_t>(w - period + delta);
          }
        } else {
          start = pm[0];
          if (pm[0] >= 1 && pm[0] - 1 <= n && pm[0] - 1 <= Ub(out)) {
            std::copy(x.begin(), x.begin() + pm[0], out.begin());
          }
          w = pm[0];
        }
        if (FitsI16(std::int64_t{pm[i + 1]} - 1)) end = static_cast<std::int16_t>(pm[i + 1] - 1);
        if (FitsI16(std::int64_t{end} - start)) L = static_cast<std::int16_t>(end - start);

        if (end >= start) {
          const std::int64_t w0 = w;
          // The mark of this period lands where the walk reaches k = pm(i).
          if (pm[i] >= start && pm[i] <= end) {
            const std::int64_t at = w0 + (pm[i] - start);
            marks.push_back(at);
            if (i == s && !stableTaken) {
              stable = static_cast<std::int32_t>(at);
              stableTaken = true;
            }
          }
          // Overlap-add of the windowed two periods, only where both x(k) and out(w) exist and
          // the window is defined (L = 0 divides by zero: nothing is written).
          if (L != 0) {
            std::int64_t kLo = std::max<std::int64_t>({start, 0, start - w0});
            std::int64_t kHi = std::min<std::int64_t>({end, n, start - w0 + Ub(out)});
            // Windows of the same length repeat from period to period: computed once per length.
            // (When the 16-bit L could not take end - start, the window is reached with offsets
            // past L; those are computed one by one, and an offset beyond 16 bits fails.)
            const bool falling = i == 0;
            auto windowAt = [&](std::int32_t d) {
              return falling ? 1 - (0.5 * std::cos(kPi * (L - d) / L) + 0.5)
                             : 1 - (0.5 * std::cos(2 * kPi * d / L) + 0.5);
            };
            if (L != windowLength || falling != windowFalling) {
              windowLength = L;
              windowFalling = falling;
              window.resize(L > 0 ? static_cast<std::size_t>(L) + 1 : 0);
              for (std::size_t d = 0; d < window.size(); ++d) {
                window[d] = windowAt(static_cast<std::int32_t>(d));
              }
            }
            for (std::int64_t k = kLo; k <= kHi; ++k) {
              const std::int64_t d = k - start;
              double value = 0;
              if (d < static_cast<std::int64_t>(window.size())) {
                value = window[static_cast<std::size_t>(d)];
              } else if (FitsI16(d) && (!falling || FitsI16(L - d))) {
                value = windowAt(static_cast<std::int32_t>(d));
              } else {
                continue;
              }
              std::int16_t& slot = out[static_cast<std::size_t>(w0 + d)];
              if (auto v = Round16(x[static_cast<std::size_t>(k)] * value + slot)) slot = *v;
            }
          }
          const std::int64_t after = w0 + (std::int64_t{end} - start + 1);
          if (FitsI32(after)) w = static_cast<std::int32_t>(after);
        }

        if (stopUnreachable && i >= std::min(s, m - 2)) reachedStable = true;
        const bool pastStable = stopUnreachable ? reachedStable : i > s + 1;
        // With fewer than three marks the walk can never leave mark 0: every further pass would
        // copy the head again and add the same falling period onto itself, 1001 times, into a
        // full-scale burst. Such a unit (a word-final "t" or "p") ends after its first pass.
        const bool walkCannotMove = m < 3;
        if (walkCannotMove || (pastStable && std::int64_t{w} > std::int64_t{stable} + tail)) {
          if (w >= 0 && std::int64_t{w} + 1 <= kMaxSamples)
            out.resize(static_cast<std::size_t>(w) + 1, 0);
          break;
        }
        if (forward) {
          ++i;
          if (i >= m - 1) {
            --i;
            forward = false;
          }
        } else {
          --i;
          if (i < 1) {
            ++i;
            forward = true;
          }
        }
      }
      // Marks outside the samples the unit keeps are not recorded.
      const std::int64_t keep = Ub(out);
      std::erase_if(marks, [keep](std::int64_t at) { return at < 0 || at > keep; });
    }
  }

  if (copyPath) {
    // 6. The recorded samples repeated |factor| times; a fraction adds a cut, faded copy.
    const double whole = std::trunc(std::abs(factor));
    const double frac = factor - std::trunc(factor);
    const double copies = whole + (frac > 0 ? 1 : 0);
    // The copies must fit in what is left of the word's room, or the unit adds nothing.
    const double room = static_cast<double>(kMaxSamples - UpperBound(output_));
    if (!(copies * n + 1 <= room)) return;
    const auto wholeCount = static_cast<std::int64_t>(whole);
    out.clear();
    out.reserve(static_cast<std::size_t>(copies * n) + 1);
    for (std::int64_t r = 0; r < wholeCount; ++r) out.insert(out.end(), x.begin(), x.end() - 1);
    out.push_back(0);
    if (frac > 0) {
      out.pop_back();
      out.insert(out.end(), x.begin(), x.end() - 1);
      out.push_back(0);
      if (auto cut = Round32(whole * n + n * frac); cut && *cut >= 0 && *cut + 1 <= kMaxSamples) {
        out.resize(static_cast<std::size_t>(*cut) + 1, 0);
      }
      const std::int32_t ub = Ub(out);
      for (std::int32_t c = 0; c <= 10; ++c) {
        const std::int32_t at = ub - 11 + c;
        if (at < 0) continue;
        if (auto v = Round16(static_cast<double>(out[at]) * (10 - c) / 10)) out[at] = *v;
      }
    }
  }

  // 7. Cross-fade into the previous unit over its last two periods; the new unit then goes on
  // from its third pitch mark.
  if (state != 1 && state != 2) {
    const std::vector<std::int32_t>& P = previousMarks_;
    const std::int64_t last = static_cast<std::int64_t>(P.size()) - 1;
    const std::int64_t outputUb = UpperBound(output_);
    if (outputUb != 0 && last >= 2 && marks.size() >= 3 && outputUb - P[last] < 350 && pm[0] >= 1 &&
        pm[0] < 300 && P[last] >= 0 && P[last] <= outputUb) {
      const std::int64_t b = P[last];
      const std::int64_t a = P[last - 2] != 0 ? P[last - 2] : b - 300;
      const std::int64_t len = b - a;
      output_.resize(static_cast<std::size_t>(b) + 1);
      const std::int64_t c = marks[2];
      if (len != 0) {
        const std::int64_t tLo = std::max<std::int64_t>({0, -a, len - c});
        const std::int64_t tHi = std::min<std::int64_t>({len, b - a, len - c + Ub(out)});
        for (std::int64_t t = tLo; t <= tHi; ++t) {
          std::int16_t& slot = output_[static_cast<std::size_t>(a + t)];
          const double r1 = text::RoundHalfEven((1 - static_cast<double>(t) / len) * slot);
          const double r2 = text::RoundHalfEven(
              static_cast<double>(out[static_cast<std::size_t>(c - len + t)]) * t / len);
          if (r1 + r2 >= INT16_MIN && r1 + r2 <= INT16_MAX)
            slot = static_cast<std::int16_t>(r1 + r2);
        }
      }
      out.erase(out.begin(), out.begin() + c);
      marks.erase(marks.begin(), marks.begin() + 3);
      for (std::int64_t& at : marks) at -= c;
    }
  }

  // 8. Sentence end: fade and smooth the last quarter.
  if (state == 11 || state == 13) out = FinalFade(out);
  if (state == 13) state = 2;

  // 9. Envelope, volume, append.
  const std::int64_t base = UpperBound(output_);
  const std::int32_t U = Ub(out);
  if (base + U + 1 <= kMaxSamples) output_.resize(static_cast<std::size_t>(base + U) + 1, 0);
  previousMarks_.assign(1, 0);
  for (const std::int64_t at : marks) {
    if (FitsI32(base + at)) previousMarks_.push_back(static_cast<std::int32_t>(base + at));
  }
  const double gain = controls_.Volume / 14.0;
  const std::int64_t writable = std::min<std::int64_t>(U, UpperBound(output_) - base);
  for (std::int32_t W = 0; W <= writable; ++W) {
    double v = out[W];
    if (state == 1) {
      v = W == 0 ? 0
                 : text::RoundHalfEven(
                       v * envelope_[static_cast<std::size_t>(text::RoundHalfEven(30.0 * W / U))]);
    } else if (state == 2) {
      if (W == 0) {
        v = 0;
      } else {
        const double p = text::RoundHalfEven(100.0 * W / U);
        if (p < 20) v = text::RoundHalfEven(v * p / 20);
      }
    } else if (state == 3 && U != 0) {
      const double p = text::RoundHalfEven(100.0 * W / U);
      if (p > 60) v = text::RoundHalfEven(v * (100 - p) / 40);
    }
    if (auto r = Round16(gain * v)) output_[static_cast<std::size_t>(base + W)] = *r;
  }
}

}  // namespace quellon
