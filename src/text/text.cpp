#include "text/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace quellon::text {
namespace {

// Windows-1250, codes 0x80..0xFF. The five unassigned codes keep their own value (C1 controls).
constexpr std::array<char16_t, 128> kCp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  //
};

// Upper/lower pairs of the code page's letters outside ASCII, as code-page bytes. The block
// 0xC0..0xDE pairs with 0xE0..0xFE (except the multiplication sign 0xD7 and sharp s 0xDF).
constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 10> kCasePairs = {{
    {0x8A, 0x9A},  // Š š
    {0x8C, 0x9C},  // Ś ś
    {0x8D, 0x9D},  // Ť ť
    {0x8E, 0x9E},  // Ž ž
    {0x8F, 0x9F},  // Ź ź
    {0xA3, 0xB3},  // Ł ł
    {0xA5, 0xB9},  // Ą ą
    {0xAA, 0xBA},  // Ş ş
    {0xAF, 0xBF},  // Ż ż
    {0xBC, 0xBE},  // Ľ ľ
}};

struct CaseTables {
  // Indexed by the code-page byte: the byte of the other case, or the byte itself.
  std::array<std::uint8_t, 256> lower{};
  std::array<std::uint8_t, 256> upper{};
  CaseTables() {
    for (int b = 0; b < 256; ++b) lower[b] = upper[b] = static_cast<std::uint8_t>(b);
    for (int b = 'A'; b <= 'Z'; ++b) {
      lower[b] = static_cast<std::uint8_t>(b + 32);
      upper[b + 32] = static_cast<std::uint8_t>(b);
    }
    for (int b = 0xC0; b <= 0xDE; ++b) {
      if (b == 0xD7) continue;
      lower[b] = static_cast<std::uint8_t>(b + 32);
      upper[b + 32] = static_cast<std::uint8_t>(b);
    }
    for (auto [up, low] : kCasePairs) {
      lower[up] = low;
      upper[low] = up;
    }
  }
};

const CaseTables& Cases() {
  static const CaseTables tables;
  return tables;
}

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

template <typename Char>
double LeadingNumberImpl(std::basic_string_view<Char> s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  std::string ascii;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') ascii.push_back('-');
    ++i;
  }
  bool digits = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    ascii.push_back(static_cast<char>(s[i++]));
    digits = true;
  }
  if (i < s.size() && s[i] == '.') {
    ascii.push_back('.');
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      ascii.push_back(static_cast<char>(s[i++]));
      digits = true;
    }
  }
  if (!digits) return 0.0;
  if (ascii.front() == '.' || (ascii.front() == '-' && ascii.size() > 1 && ascii[1] == '.')) {
    ascii.insert(ascii.front() == '-' ? 1 : 0, "0");
  }
  double v = 0.0;
  auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    return ascii.front() == '-' ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
  }
  return res.ec == std::errc() ? v : 0.0;
}

template <typename Int>
std::optional<Int> RoundTo(double v) {
  if (std::isnan(v)) return std::nullopt;
  const double r = RoundHalfEven(v);
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
      len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, cp = b & 0x07, min = 0x10000;
    } else {
      AppendUtf16(out, kReplacement);  // stray continuation byte or invalid lead
      ++i;
      continue;
    }
    int k = 1;
    for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k)
      cp = (cp << 6) | (p[i + k] & 0x3F);
    if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendUtf16(out, kReplacement);
      i += k;  // skip the lead and the continuation bytes that belonged to it
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

char16_t Cp1250ToChar(std::uint8_t code) {
  return code < 0x80 ? static_cast<char16_t>(code) : kCp1250High[code - 0x80];
}

std::u16string Cp1250ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char b : bytes) out.push_back(Cp1250ToChar(static_cast<std::uint8_t>(b)));
  return out;
}

std::optional<std::uint8_t> CharToCp1250(char16_t c) {
  if (c < 0x80) return static_cast<std::uint8_t>(c);
  static const auto reverse = [] {
    std::array<std::pair<char16_t, std::uint8_t>, 128> r{};
    for (int i = 0; i < 128; ++i) r[i] = {kCp1250High[i], static_cast<std::uint8_t>(0x80 + i)};
    std::sort(r.begin(), r.end());
    return r;
  }();
  auto it =
      std::lower_bound(reverse.begin(), reverse.end(), std::pair<char16_t, std::uint8_t>{c, 0});
  if (it != reverse.end() && it->first == c) return it->second;
  return std::nullopt;
}

std::string Utf16ToCp1250(std::u16string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // A surrogate pair is one character: one replacement for both halves.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
      out.push_back(replacement);
      continue;
    }
    auto code = CharToCp1250(c);
    out.push_back(code ? static_cast<char>(*code) : replacement);
  }
  return out;
}

char16_t ToLower(char16_t c) {
  auto code = CharToCp1250(c);
  if (!code) return c;
  return Cp1250ToChar(Cases().lower[*code]);
}

char16_t ToUpper(char16_t c) {
  auto code = CharToCp1250(c);
  if (!code) return c;
  return Cp1250ToChar(Cases().upper[*code]);
}

std::u16string ToLower(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = ToLower(c);
  return out;
}

std::u16string ToUpper(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = ToUpper(c);
  return out;
}

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  // nearbyint follows the current rounding mode, which is round-to-nearest-even unless a caller
  // changed it; compute it explicitly so nothing depends on the floating-point environment.
  const double fl = std::floor(v);
  const double diff = v - fl;
  if (diff < 0.5) return fl;
  if (diff > 0.5) return fl + 1.0;
  return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

std::optional<std::int16_t> RoundToInt16(double v) {
  return RoundTo<std::int16_t>(v);
}
std::optional<std::int32_t> RoundToInt32(double v) {
  return RoundTo<std::int32_t>(v);
}

double LeadingNumber(std::u16string_view s) {
  return LeadingNumberImpl(s);
}
double LeadingNumber(std::string_view s) {
  return LeadingNumberImpl(s);
}

std::string ShortestDecimal(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
  if (v == 0.0) return "0";
  char buf[1100];  // room for the longest fixed-notation double (subnormals)
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  std::string s(buf, res.ptr);
  // "0.3" -> ".3", "-0.5" -> "-.5"
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

std::u16string ShortestDecimal16(double v) {
  return Ascii16(ShortestDecimal(v));
}

std::u16string Ascii16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::u16string_view TrimSpaces(std::u16string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.substr(b, e - b);
}

}  // namespace quellon::text
