#include "synth/unit_selection.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "speech/letter_to_sound.h"
#include "text/text.h"

namespace quellon {
namespace {

// Rows: position 1..12; columns: length 1..12. Cells with position > length are never used.
constexpr std::array<std::array<double, 12>, 12> kReductionTable = {{
    {0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.02, 0.02, 0.04, 0.07, 0.07, 0.07},
    {0, 0.01, 0.02, 0.02, 0.02, 0.02, 0.04, 0.04, 0.04, 0.07, 0.07, 0.07},
    {0, 0, 0.03, 0.04, 0.04, 0.04, 0.06, 0.05, 0.06, 0.08, 0.08, 0.08},
    {0, 0, 0, 0.05, 0.04, 0.04, 0.06, 0.06, 0.06, 0.08, 0.08, 0.08},
    {0, 0, 0, 0, 0.05, 0.05, 0.06, 0.07, 0.07, 0.08, 0.08, 0.08},
    {0, 0, 0, 0, 0, 0.06, 0.05, 0.06, 0.07, 0.08, 0.08, 0.08},
    {0, 0, 0, 0, 0, 0, 0.05, 0.05, 0.07, 0.09, 0.09, 0.09},
    {0, 0, 0, 0, 0, 0, 0, 0.05, 0.05, 0.09, 0.09, 0.09},
    {0, 0, 0, 0, 0, 0, 0, 0, 0.04, 0.04, 0.10, 0.10},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0.04, 0.05, 0.10},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.05, 0.05},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.05},
}};

constexpr std::u16string_view kVowelClass = u"aeuioáéíóúůýyěôä";
constexpr std::u16string_view kSonorantClass = u"lmnňvwjhľĺ";
constexpr std::int32_t kMaxPosition = 32767;  // the phoneme position is a 16-bit counter
constexpr char32_t kNoChar = 0xFFFFFFFF;      // "empty" for a position outside the string

bool In(std::u16string_view set, char32_t c) {
  return c != kNoChar && set.find(static_cast<char16_t>(c)) != std::u16string_view::npos;
}
bool IsVowel(char32_t c) {
  return c != kNoChar && In(kVowelClass, text::ToLower(char16_t(c)));
}
bool IsSonorant(char32_t c) {
  return c != kNoChar && In(kSonorantClass, text::ToLower(char16_t(c)));
}

// Rounded to two decimals: formatted with at most two decimals and read back.
double RoundTwoDecimals(double v) {
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
  double back = v;
  std::from_chars(buf, res.ptr, back);
  return back;
}

// Replaces a long vowel at the end of s by its short form; true when it did.
bool ShortenLongVowel(std::u16string& s) {
  if (s.empty()) return false;
  char16_t& c = s.back();
  switch (c) {
    case u'á':
      c = u'a';
      return true;
    case u'é':
      c = u'e';
      return true;
    case u'í':
      c = u'i';
      return true;
    case u'ó':
      c = u'o';
      return true;
    case u'ú':
    case u'ů':
      c = u'u';
      return true;
    case u'ý': {
      const std::u16string_view rest = std::u16string_view(s).substr(0, s.size() - 1);
      c = (rest == u"t" || rest == u"d" || rest == u"n") ? u'y' : u'i';
      return true;
    }
    default:
      return false;
  }
}

class Selector {
 public:
  Selector(std::u16string_view p, std::int32_t pauseClass, const UnitInventory& units,
           std::int32_t pitchDegradation, const bool& stopFlag)
      : p_(p),
        n_(static_cast<std::int64_t>(p.size())),
        pauseClass_(pauseClass),
        units_(units),
        pitchDeg_(pitchDegradation),
        stop_(stopFlag) {}

  std::optional<std::u16string> Run() {
    while (i_ <= n_) {
      if (stop_) return std::nullopt;
      std::u16string two(Mid(i_, 2));
      long_ = ShortenLongVowel(two);
      std::u16string name;
      if (two.size() == 2 && units_.UnitExists(two)) {
        if (two == u"ch") {
          // Near the end "three" may be just "ch" again; it exists, so the position still moves
          // on by one more (the loop then ends past the last phoneme).
          std::u16string three(Mid(i_, 3));
          long_ = ShortenLongVowel(three);
          if (units_.UnitExists(three)) {
            name = std::move(three);
            if (!Advance()) return std::nullopt;
          } else {
            name = u"ch";
          }
        } else {
          name = std::move(two);
        }
        if (!Advance()) return std::nullopt;
      } else {
        // `two` is already shortened, so a lone long vowel at the very end arrives here short
        // and is not treated as long.
        name = two.substr(0, 1);
        long_ = ShortenLongVowel(name);
      }
      pending_.clear();
      if (!Emit(std::move(name))) return std::nullopt;
      if (!pending_.empty()) {
        std::u16string second = std::move(pending_);
        pending_.clear();
        if (!Emit(std::move(second))) return std::nullopt;
      }
      ++k_;
      if (!Advance()) return std::nullopt;
    }
    return std::move(out_);
  }

 private:
  std::u16string_view Mid(std::int64_t pos, std::size_t len) const {
    if (pos < 1 || pos > n_) return {};
    return p_.substr(static_cast<std::size_t>(pos - 1), len);
  }
  char32_t CharAt(std::int64_t pos) const {
    if (pos < 1 || pos > n_) return kNoChar;
    return text::ToLower(p_[static_cast<std::size_t>(pos - 1)]);
  }
  char32_t NextChar() const { return CharAt(i_ + 1); }
  bool NextIsVowel() const { return IsVowel(NextChar()); }
  bool RestHasNoVoiced() const {
    for (std::int64_t j = i_ + 1; j <= n_; ++j) {
      const char32_t c = CharAt(j);
      if (IsVowel(c) || IsSonorant(c)) return false;
    }
    return true;
  }
  bool Advance() {
    ++i_;
    return i_ <= kMaxPosition;
  }
  double R() const { return ReductionAmount(static_cast<int>(n_), static_cast<int>(i_)); }
  std::int64_t Declination() const {
    return static_cast<std::int64_t>(
        text::RoundHalfEven(static_cast<double>(k_) / static_cast<double>(n_) * pitchDeg_));
  }
  void ApplyPauseClass(std::int32_t& state) {
    switch (pauseClass_) {
      case 1:
        state = 11;
        pitch_ += 2;
        break;
      case 2:
        state = 10;
        pitch_ -= 5;
        break;
      case 3:
        pitch_ -= 2;
        break;
      default:
        break;
    }
  }

  // The common close of the sonorant groups (v j l h ľ ĺ and m n ň): the declination pitch, and
  // at the end of the word the pause class and a longer unit.
  void SonorantEnd(std::int32_t& state, double& factor, bool last) {
    pitch_ = Declination();
    if (last) {
      ApplyPauseClass(state);
      factor = factor * 1.2;
    }
  }

  // The group of the vowels "a e i o u y ä ô" (also reached by "ě" rewritten to "je").
  void Vowel(std::u16string& u, double& factor, std::int32_t& state, bool last) {
    if (last) {
      factor = factor * 1.2;
    } else {
      factor = long_ ? factor - R() / 5 : factor - R();
    }
    if (factor > 0) factor = RoundTwoDecimals(factor);
    if (factor < 0.1) factor = 0.1;
    pitch_ = Declination();
    if (u.size() == 1) {
      switch (prevClass_) {
        case 0:
          if (n_ == 1 || i_ == 1) {
            state = 13;
            pitch_ += 2;
          } else {
            state = 1;
          }
          break;
        case 1:
          state = 3;
          if (u == u"e" && !prevName_.empty() && prevName_.back() == u'i') u = u"je";
          // Checked on the name as it now stands, so an "e" just turned into "je" is included.
          // The result is not rounded again: 0.96 - 0.15 stays the double nearest 0.81, whose
          // shortest text is ".8099999999999999".
          if (u != u"e" && u != u"a" && factor - 0.15 > 0.2) factor -= 0.15;
          break;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
          state = 1;
          break;
        default:
          state = 0;
          break;
      }
    } else if (IsSonorant(u[0])) {
      if (prevClass_ == 0 || prevClass_ == 4) {
        state = 2;
      } else if (prevClass_ == 5) {
        state = 3;
      } else {
        state = 0;
      }
    }
    prevClass_ = 1;
    if (NextIsVowel()) {
      if (u.size() == 1) state = 2;
    } else {
      const char32_t next = NextChar();
      if (In(u"lľĺmn", next)) {
        if (state == 3) state = 0;
        if (state == 1) state = 2;
      } else if (In(u"bpftvščck", next)) {
        if (state == 0) state = 3;
        if (state == 2) state = 1;
      }
    }
    if (last) {
      if (state == 0) state = 3;
      if (state == 2) state = 1;
      ApplyPauseClass(state);
    }
    if (RestHasNoVoiced()) ApplyPauseClass(state);
  }

  bool Emit(std::u16string u) {
    std::int32_t state = 0;
    double factor = 1.0;
    const bool last = NextChar() == kNoChar;
  restart:
    // A lone "ě" that is rewritten to "je" comes back here: the unit is emitted again from the
    // start, so its state and factor are those of "je" (the values worked out for "ě" are
    // dropped).
    state = 0;
    factor = units_.UnitExists(u"!" + u) ? (long_ ? 0.5 : 0.3) : 1.0;
    const char16_t c = u.back();
    const char32_t next = NextChar();
    switch (c) {
      case u'a':
      case u'e':
      case u'i':
      case u'o':
      case u'u':
      case u'y':
      case u'ä':
      case u'ô':
        Vowel(u, factor, state, last);
        break;
      case u'ě': {
        state = 1;
        factor = RoundTwoDecimals(0.3 - R());
        pitch_ = Declination();
        const std::u16string before = u.size() == 2 ? u.substr(0, 1) : prevName_;
        if (before != u"d" && before != u"n" && before != u"t" && before != u"m") {
          u = u"je";
          prevClass_ = 1;
          goto restart;  // "je" ends in "e": the vowel rules handle it, so this runs once
        } else {
          state = 0;
          if (RestHasNoVoiced() || last) ApplyPauseClass(state);
          prevClass_ = 1;
        }
        break;
      }
      case u'v':
      case u'j':
      case u'l':
      case u'h':
      case u'ľ':
      case u'ĺ':
        factor = 1.0;
        state = i_ == 1 ? 2 : 0;
        prevClass_ = 5;
        SonorantEnd(state, factor, last);
        break;
      // Where a rule below renames "the" consonant, the whole unit takes the new name: units that
      // end in a consonant are single phonemes (or "ch").
      case u'b':
      case u'd':
        factor = 1.0;
        state = 0;
        if (c == u'd' && In(u"íiě", next)) u = u"ď";
        prevClass_ = 3;
        break;
      case u'p':
      case u't':
        factor = 1.0;
        state = i_ < n_ ? 12 : 0;
        if (c == u't' && In(u"íiě", next)) u = u"ť";
        prevClass_ = 9;
        break;
      case u'f':
      case u'c':
      case u's':
      case u'č':
        factor = 1.0;
        state = 0;
        if (c == u'c' && next == u'h') u = u"ch";
        prevClass_ = 4;
        break;
      case u'k':
        factor = 1.0;
        state = 1;
        prevClass_ = 4;
        if (next == u'd') kFlag_ = true;
        break;
      case u'm':
      case u'n':
      case u'ň':
        factor = 1.0;
        state = 0;
        if (c == u'n' && In(u"íiě", next)) u = u"ň";
        if (c == u'm' && next == u'ě') {
          pending_ = u"ně";
          if (!Advance()) return false;
          factor = 0.5;
        }
        if (c == u'm' && last) state = 11;
        prevClass_ = 6;
        SonorantEnd(state, factor, last);
        break;
      case u'r':
      case u'ř':
      case u'ŕ':
        factor = 1.0;
        state = 0;
        prevClass_ = 7;
        break;
      case u'x':
      case u'q':
        factor = 1.0;
        state = 1;
        pending_ = c == u'x' ? u"s" : u"v";
        u = u"k";
        prevClass_ = 8;
        break;
      case u'z':
      case u'ž':
        factor = 1.0;
        state = 1;
        prevClass_ = 5;
        break;
      case u' ':
        u = u"-";
        factor = 2.0;
        state = 1;
        break;
      default:
        state = 1;
        prevClass_ = 3;
        break;
    }
    if (i_ > 1 && kFlag_) {
      if (!out_.empty()) out_ += u' ';
      out_ += u"-,10,0";
      kFlag_ = false;
    }
    if (pitch_ < INT32_MIN || pitch_ > INT32_MAX) return false;
    if (!out_.empty()) out_ += u' ';
    out_ += u;
    out_ += u',';
    out_ += text::ShortestDecimal16(factor);
    out_ += u',';
    out_ += text::Ascii16(std::to_string(state));
    out_ += u',';
    out_ += text::Ascii16(std::to_string(pitch_));
    prevName_ = std::move(u);
    return true;
  }

  std::u16string_view p_;
  std::int64_t n_;
  std::int32_t pauseClass_;
  const UnitInventory& units_;
  std::int32_t pitchDeg_;
  const bool& stop_;

  std::int64_t i_ = 1;  // 1-based phoneme position (a 16-bit counter: see Advance)
  std::int64_t k_ = 0;  // units chosen so far, for the declination
  std::int64_t pitch_ = 0;
  int prevClass_ = 0;
  bool kFlag_ = false;
  bool long_ = false;
  std::u16string prevName_;
  std::u16string pending_;
  std::u16string out_;
};

}  // namespace

double ReductionAmount(int length, int position) {
  if (length >= 1 && length <= 12 && position >= 1 && position <= 12) {
    return kReductionTable[position - 1][length - 1];
  }
  const double r = position * 0.01;
  return r > 0.1 ? 0.01 : r;
}

namespace detail {
std::u16string PhonemesToUnitList(std::u16string_view phonemes, std::int32_t pauseClass,
                                  const UnitInventory& units, std::int32_t pitchDegradation,
                                  const bool& stopFlag) {
  // A string this long cannot be walked with a 16-bit position; refuse it before any work.
  if (phonemes.size() >= static_cast<std::size_t>(kMaxPosition)) return {};
  Selector s(phonemes, pauseClass, units, pitchDegradation, stopFlag);
  return s.Run().value_or(std::u16string());
}
}  // namespace detail

std::u16string PhomeneToWave(std::u16string_view word, std::int32_t pauseClass,
                             const UnitInventory& units, std::int32_t pitchDegradation,
                             const bool& stopFlag) {
  if (stopFlag) return {};
  if (word.size() >= static_cast<std::size_t>(kMaxPosition)) return {};  // Assimilate never shrinks
  return detail::PhonemesToUnitList(Assimilate(word), pauseClass, units, pitchDegradation,
                                    stopFlag);
}

}  // namespace quellon
