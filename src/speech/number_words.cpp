#include "speech/number_words.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

namespace quellon {
namespace {

// UnitWords: 0..20 and an empty 21st entry.
constexpr std::array<std::u16string_view, 22> kUnitWords = {
    u"nula",     u"jedna",      u"dva",     u"tři",     u"čtyři",    u"pět",
    u"šest",     u"sedum",      u"osum",    u"devět",   u"deset",    u"jedenáct",
    u"dvanáct",  u"třináct",    u"čtrnáct", u"patnáct", u"šestnáct", u"sedumnáct",
    u"osumnáct", u"devatenáct", u"dvacet",  u""};

// TensWords: 0 (empty), 10, 20, ..., 90, 100.
constexpr std::array<std::u16string_view, 11> kTensWords = {
    u"",        u"deset",      u"dvacet",    u"třicet",    u"čtyřicet", u"padesát",
    u"šedesát", u"sedumdesát", u"osumdesát", u"devadesát", u"sto"};

constexpr std::u16string_view kZero = u"nula";

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The value of the leading digits as a double; 0 when there are none or the number overflows.
double DigitValue(std::u16string_view digits) {
  std::string ascii;
  ascii.reserve(digits.size());
  for (char16_t c : digits) {
    if (!IsDigit(c)) break;
    ascii.push_back(static_cast<char>(c));
  }
  if (ascii.empty()) return 0.0;
  double v = 0.0;
  const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0.0;
  return v;
}

std::u16string Tail(int t, int u) {
  if (u == 0) return std::u16string(kTensWords[t]);
  if (t == 1) return std::u16string(kUnitWords[10 + u]);
  std::u16string s(kTensWords[t]);
  s += kUnitWords[u];
  return s;
}

std::u16string Hundreds(int h) {
  if (h == 0) return {};
  if (h == 1) return u"sto ";
  if (h == 2) return u"dvěstě";
  std::u16string s(kUnitWords[h]);
  s += (h <= 4) ? u"sta " : u"set ";
  return s;
}

std::u16string Thousands(int k) {
  if (k == 1) return u"tisíc ";
  if (k == 2) return u"dvatisíce ";
  std::u16string s(kUnitWords[k]);
  s += (k <= 4) ? u"tisíce " : u"tisíc ";
  return s;
}

// Words for 1..999.
std::u16string BelowThousand(int v) {
  if (v < 20) return std::u16string(kUnitWords[v]);
  if (v < 100) return Tail(v / 10, v % 10);
  const int r = v % 100;
  return Hundreds(v / 100) + Tail(r / 10, r % 10);
}

}  // namespace

void InitNumberWords() {}

std::u16string NumberToWords(std::u16string_view digits) {
  const double v = DigitValue(digits);
  std::size_t zeros = 0;
  while (zeros < digits.size() && digits[zeros] == u'0') ++zeros;

  if (v >= 10000.0) {
    // Groups of three digits from the right, each read as a number of its own (leading zeros of a
    // group included) and followed by a space; no word for thousands or millions in between.
    std::vector<std::u16string_view> groups;
    std::u16string_view rest = digits;
    while (true) {
      const std::size_t n = rest.size() > 3 ? 3 : rest.size();
      groups.push_back(rest.substr(rest.size() - n));
      if (n == rest.size()) break;
      rest.remove_suffix(n);
    }
    std::u16string words;
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
      words += NumberToWords(*it);
      words += u' ';
    }
    return words;
  }

  std::u16string out;
  out.reserve(zeros * kZero.size() + 40);
  for (std::size_t z = 0; z < zeros; ++z) out += kZero;
  if (v == 0.0) return out;

  const int iv = static_cast<int>(v);
  if (iv < 1000) {
    out += BelowThousand(iv);
  } else {
    const int r = iv % 1000;
    out += Thousands(iv / 1000);
    out += Hundreds(r / 100);
    out += Tail((r % 100) / 10, r % 10);
  }
  return out;
}

std::u16string ExpandDigits(std::u16string_view word) {
  std::u16string out;
  std::u16string run;
  for (char16_t c : word) {
    if (IsDigit(c)) {
      run += c;
    } else if (!run.empty()) {
      out += u' ';
      out += NumberToWords(run);
      out += u' ';
      out += c;
      run.clear();
    } else {
      out += c;
    }
  }
  if (!run.empty()) {
    out += u' ';
    out += NumberToWords(run);
  }
  return out;
}

}  // namespace quellon
