#include "core/ini_profile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "text/text.h"

namespace quellon::core {
namespace {

enum class Encoding { kAnsi, kUtf8, kUtf16 };

// One line of the file: its bytes [begin, end) without the line end; `next` is where the
// following line starts (the file size for the last line).
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
  std::u16string text;  // decoded and trimmed
};

enum class LineKind { kBlank, kComment, kSection, kEntry };

struct Parsed {
  LineKind kind = LineKind::kBlank;
  std::u16string name;  // section name or key
  std::u16string value;
  bool hasValue = false;
};

struct IniFile {
  bool exists = false;
  bool damaged = false;
  Encoding encoding = Encoding::kAnsi;
  std::string bytes;
  std::vector<Line> lines;
};

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

std::u16string Trim(std::u16string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (text::ToLower(a[i]) != text::ToLower(b[i])) return false;
  }
  return true;
}

std::u16string Decode(Encoding encoding, std::string_view bytes) {
  switch (encoding) {
    case Encoding::kAnsi:
      return text::Cp1250ToUtf16(bytes);
    case Encoding::kUtf8:
      return text::Utf8ToUtf16(bytes);
    case Encoding::kUtf16: {
      std::u16string out;
      out.reserve(bytes.size() / 2);
      for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
      }
      return out;
    }
  }
  return {};
}

std::string Encode(Encoding encoding, std::u16string_view s) {
  switch (encoding) {
    case Encoding::kAnsi:
      return text::Utf16ToCp1250(s);
    case Encoding::kUtf8:
      return text::Utf16ToUtf8(s);
    case Encoding::kUtf16: {
      std::string out;
      out.reserve(s.size() * 2);
      for (char16_t c : s) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
      }
      return out;
    }
  }
  return {};
}

IniFile Load(const std::filesystem::path& path) {
  IniFile file;
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return file;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  if (ec || !in) return file;
  file.exists = true;
  if (size > IniProfile::kMaxFileBytes) {
    file.damaged = true;
    return file;
  }
  file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (file.bytes.size() > IniProfile::kMaxFileBytes) {
    file.damaged = true;
    return file;
  }
  const std::string& b = file.bytes;
  std::size_t start = 0;
  std::size_t unit = 1;
  if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') {
    file.encoding = Encoding::kUtf16;
    start = 2;
    unit = 2;
  } else if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    file.encoding = Encoding::kUtf8;
    start = 3;
  }
  // Split into lines at LF (in UTF-16, at the code unit 0x000A).
  std::size_t lineStart = start;
  std::size_t i = start;
  const std::size_t limit = b.size() - (b.size() - start) % unit;
  // A UTF-16 file of odd length ends in half a character. It is not text and cannot be kept:
  // anything written after it would be shifted by one byte and unreadable, so it is dropped.
  if (limit < file.bytes.size()) file.bytes.resize(limit);
  while (i < limit) {
    const bool lf = unit == 1 ? b[i] == '\n' : (b[i] == '\n' && b[i + 1] == '\0');
    const bool nul = unit == 1 ? b[i] == '\0' : (b[i] == '\0' && b[i + 1] == '\0');
    if (nul) {
      file.damaged = true;
      return file;
    }
    if (lf) {
      // The line's bytes end before a CR that precedes the LF.
      std::size_t end = i;
      if (end >= lineStart + unit && b[end - unit] == '\r' && (unit == 1 || b[end - 1] == '\0')) {
        end -= unit;
      }
      file.lines.push_back({lineStart, end, i + unit, {}});
      lineStart = i + unit;
    }
    i += unit;
  }
  if (lineStart < b.size()) file.lines.push_back({lineStart, b.size(), b.size(), {}});
  for (Line& line : file.lines) {
    line.text =
        Trim(Decode(file.encoding, std::string_view(b).substr(line.begin, line.end - line.begin)));
  }
  return file;
}

Parsed Parse(const std::u16string& line) {
  Parsed p;
  if (line.empty()) return p;
  if (line[0] == u';') {
    p.kind = LineKind::kComment;
    return p;
  }
  if (line[0] == u'[') {
    const std::size_t close = line.rfind(u']');
    if (close != std::u16string::npos) {
      p.kind = LineKind::kSection;
      p.name = Trim(std::u16string_view(line).substr(1, close - 1));
      return p;
    }
  }
  p.kind = LineKind::kEntry;
  const std::size_t eq = line.find(u'=');
  if (eq == std::u16string::npos) {
    p.name = line;
  } else {
    p.name = Trim(std::u16string_view(line).substr(0, eq));
    p.value = Trim(std::u16string_view(line).substr(eq + 1));
    p.hasValue = true;
  }
  return p;
}

// The index of the first section header of that name, or nullopt.
std::optional<std::size_t> FindSection(const IniFile& file, std::u16string_view section) {
  const std::u16string wanted = Trim(section);
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const Parsed p = Parse(file.lines[i].text);
    if (p.kind == LineKind::kSection && SameName(p.name, wanted)) return i;
  }
  return std::nullopt;
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const IniFile& file, std::size_t header) {
  std::size_t i = header + 1;
  while (i < file.lines.size() && Parse(file.lines[i].text).kind != LineKind::kSection) ++i;
  return i;
}

std::optional<std::size_t> FindKey(const IniFile& file, std::size_t header,
                                   std::u16string_view key) {
  const std::u16string wanted = Trim(key);
  const std::size_t end = SectionEnd(file, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Parsed p = Parse(file.lines[i].text);
    if (p.kind == LineKind::kEntry && SameName(p.name, wanted)) return i;
  }
  return std::nullopt;
}

std::u16string Unquote(const std::u16string& value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::uint32_t CopyOut(std::u16string_view value, std::u16string& returned, std::uint32_t size) {
  if (size == 0) {
    returned.clear();
    return 0;
  }
  const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
  returned.assign(value.substr(0, n));
  return static_cast<std::uint32_t>(n);
}

// The line end of the file's first line (CR LF when it has none).
std::u16string LineEnd(const IniFile& file) {
  const std::size_t unit = file.encoding == Encoding::kUtf16 ? 2 : 1;
  for (const Line& line : file.lines) {
    if (line.next > line.end) return line.next - line.end > unit ? u"\r\n" : u"\n";
  }
  return u"\r\n";
}

bool WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace

std::int32_t ProfileNumber(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == u'0') {
    if (text[i + 1] == u'x') base = 16;
    if (text[i + 1] == u'o') base = 8;
    if (text[i + 1] == u'b') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    std::uint32_t digit = 99;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::uint32_t IniProfile::GetPrivateProfileSection(std::u16string_view section,
                                                   std::u16string& returned, std::uint32_t size,
                                                   const std::filesystem::path& path) {
  returned.clear();
  const IniFile file = Load(path);
  if (file.damaged) return 0;
  const auto header = FindSection(file, section);
  if (!header) return 0;
  std::u16string all;
  const std::size_t end = SectionEnd(file, *header);
  for (std::size_t i = *header + 1; i < end; ++i) {
    const Parsed p = Parse(file.lines[i].text);
    if (p.kind != LineKind::kEntry) continue;
    all += p.name;
    if (p.hasValue) all += u'=' + p.value;
    all += u'\0';
    if (all.size() > size) break;  // already too long; no need to go on
  }
  if (all.size() + 1 <= size) {
    returned = all;
    return static_cast<std::uint32_t>(all.size());
  }
  if (size < 2) return 0;
  returned = all.substr(0, size - 2);
  return size - 2;
}

std::int32_t IniProfile::GetPrivateProfileInt(std::u16string_view section, std::u16string_view key,
                                              std::int32_t defaultValue,
                                              const std::filesystem::path& file) {
  std::u16string value;
  if (GetPrivateProfileString(section, key, u"", value, 30, file) == 0) return defaultValue;
  return ProfileNumber(value);
}

std::uint32_t IniProfile::GetPrivateProfileString(std::u16string_view section,
                                                  std::u16string_view key,
                                                  std::u16string_view defaultValue,
                                                  std::u16string& returned, std::uint32_t size,
                                                  const std::filesystem::path& path) {
  const IniFile file = Load(path);
  if (!file.damaged) {
    if (const auto header = FindSection(file, section)) {
      if (const auto line = FindKey(file, *header, key)) {
        return CopyOut(Unquote(Parse(file.lines[*line].text).value), returned, size);
      }
    }
  }
  std::size_t e = defaultValue.size();
  while (e > 0 && IsBlank(defaultValue[e - 1])) --e;
  return CopyOut(defaultValue.substr(0, e), returned, size);
}

bool IniProfile::WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view value,
                                           const std::filesystem::path& path) {
  if (path.empty()) return false;
  IniFile file = Load(path);
  if (file.damaged) return false;
  if (file.exists) {
    // A file that cannot be opened for update (read-only, locked) is left alone before anything
    // is truncated.
    std::fstream probe(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!probe) return false;
  }
  std::size_t v = 0;
  while (v < value.size() && IsBlank(value[v])) ++v;
  const std::u16string trimmedKey = Trim(key);
  const std::u16string eol = LineEnd(file);
  std::string bytes = file.bytes;

  const auto header = FindSection(file, section);
  if (header) {
    if (const auto line = FindKey(file, *header, key)) {
      // Keep the key's own spelling; replace the rest of the line.
      const Line& l = file.lines[*line];
      const std::u16string entry = Parse(l.text).name + u'=' + std::u16string(value.substr(v));
      bytes.replace(l.begin, l.end - l.begin, Encode(file.encoding, entry));
    } else {
      std::size_t last = *header;
      const std::size_t end = SectionEnd(file, *header);
      for (std::size_t i = *header + 1; i < end; ++i) {
        if (!file.lines[i].text.empty()) last = i;
      }
      const Line& l = file.lines[last];
      std::u16string insert;
      if (l.next == l.end) insert += eol;  // the file ended without a line end
      insert += trimmedKey + u'=' + std::u16string(value.substr(v)) + eol;
      bytes.insert(l.next, Encode(file.encoding, insert));
    }
  } else {
    std::u16string append;
    if (!file.lines.empty()) {
      if (file.lines.back().next == file.lines.back().end) append += eol;
      if (!file.lines.back().text.empty()) append += eol;
    }
    append += u'[' + Trim(section) + u']' + eol;
    append += trimmedKey + u'=' + std::u16string(value.substr(v)) + eol;
    if (!file.exists && file.encoding == Encoding::kAnsi) bytes.clear();
    bytes += Encode(file.encoding, append);
  }
  return WriteAll(path, bytes);
}

bool IniProfile::FileExists(const std::filesystem::path& file) {
  std::error_code ec;
  return !file.empty() && std::filesystem::is_regular_file(file, ec);
}

}  // namespace quellon::core
