#include "speech/dictionary.h"

#include <fstream>
#include <optional>
#include <system_error>

#include "text/text.h"

namespace quellon {
namespace {

constexpr std::u16string_view kSeparators = u" .,;-\t\r\n";

std::u16string Decode(std::string_view bytes, DictionaryEncoding encoding) {
  return encoding == DictionaryEncoding::Utf8 ? text::Utf8ToUtf16(bytes)
                                              : text::Cp1250ToUtf16(bytes);
}

// Parses one non-empty line into an entry; nullopt when the line is skipped. Sets `failed` when
// the line makes the whole load fail.
std::optional<DictionaryEntry> ParseLine(std::u16string_view line, bool& failed) {
  const std::size_t space = line.find(u' ');
  if (space == std::u16string_view::npos) return std::nullopt;                       // one part
  if (line.find(u' ', space + 1) != std::u16string_view::npos) return std::nullopt;  // three+
  DictionaryEntry e;
  e.Key = std::u16string(line.substr(0, space));
  e.Replacement = std::u16string(line.substr(space + 1));
  const bool leading = !e.Key.empty() && e.Key.front() == u'*';
  const bool trailing = !e.Key.empty() && e.Key.back() == u'*';
  if (leading) {
    e.Mode |= 1;
    e.Key.erase(0, 1);
  }
  if (trailing) {
    e.Mode |= 2;
    if (e.Key.empty()) {  // a lone "*": nothing left to remove the trailing mark from
      failed = true;
      return std::nullopt;
    }
    e.Key.pop_back();
  }
  return e;
}

bool EndsWith(std::u16string_view s, std::u16string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Every non-overlapping occurrence of key (non-empty), left to right, replaced; nullopt when the
// result would exceed kMaxRewriteLength.
std::optional<std::u16string> ReplaceAll(std::u16string_view word, std::u16string_view key,
                                         std::u16string_view replacement) {
  std::u16string out;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = word.find(key, from);
    const std::size_t upto = at == std::u16string_view::npos ? word.size() : at;
    if (out.size() + (upto - from) > kMaxRewriteLength) return std::nullopt;
    out.append(word.substr(from, upto - from));
    if (at == std::u16string_view::npos) break;
    if (out.size() + replacement.size() > kMaxRewriteLength) return std::nullopt;
    out.append(replacement);
    from = at + key.size();
  }
  return out;
}

}  // namespace

PronunciationDictionary ParseDictionary(std::string_view bytes, DictionaryEncoding encoding) {
  if (bytes.size() > kMaxDictionaryBytes) return {};
  if (encoding == DictionaryEncoding::Utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
  }
  PronunciationDictionary dict;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.empty()) continue;
    bool failed = false;
    auto entry = ParseLine(Decode(raw, encoding), failed);
    if (failed) return {};
    if (entry) dict.push_back(std::move(*entry));
  }
  return dict;
}

PronunciationDictionary LoadDictionary(const std::filesystem::path& path,
                                       DictionaryEncoding encoding) {
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  if (ec) return {};
  if (!exists) return PronunciationDictionary(1);  // one empty entry
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxDictionaryBytes) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  // The file may have grown since its size was taken; what is beyond that size is not read.
  return ParseDictionary(bytes, encoding);
}

std::u16string MatchRule(const PronunciationDictionary& dictionary, std::u16string_view word) {
  for (const auto& e : dictionary) {
    if (e.Key.empty()) continue;
    const std::u16string_view key = e.Key;
    std::optional<std::u16string> result;
    switch (e.Mode) {
      case 0:
        if (word == key) result = e.Replacement;
        break;
      case 1:
        if (EndsWith(word, key)) {
          std::u16string r(word.substr(0, word.size() - key.size()));
          r += e.Replacement;
          result = std::move(r);
        }
        break;
      case 2:
        if (StartsWith(word, key)) {
          std::u16string r(e.Replacement);
          r += word.substr(key.size());
          result = std::move(r);
        }
        break;
      case 3:
        if (word.find(key) != std::u16string_view::npos) {
          // A rewrite that grows too long is a failed rewrite: empty result, word unchanged.
          result = ReplaceAll(word, key, e.Replacement).value_or(std::u16string());
        }
        break;
      default:
        break;  // not a mode a file can produce; never matches
    }
    if (result) {
      if (result->size() > kMaxRewriteLength) return {};
      return std::move(*result);
    }
  }
  return {};
}

std::u16string LookupWord(const PronunciationDictionary& dictionary, std::u16string_view word) {
  std::u16string r = MatchRule(dictionary, word);
  if (!r.empty()) return r;
  return std::u16string(word);
}

std::u16string ApplyDictionary(const PronunciationDictionary& dictionary,
                               std::u16string_view text) {
  const std::u16string lower = text::ToLower(text);
  std::u16string out;
  out.reserve(lower.size());
  std::u16string_view rest = lower;
  std::size_t wordStart = 0;
  bool inWord = false;
  // Past the output cap, words are copied without lookup.
  auto lookup = [&](std::u16string_view w) {
    if (out.size() >= kMaxRewrittenText) {
      out.append(w);
    } else {
      out.append(LookupWord(dictionary, w));
    }
  };
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const char16_t c = rest[i];
    if (kSeparators.find(c) == std::u16string_view::npos) {
      if (!inWord) {
        inWord = true;
        wordStart = i;
      }
      continue;
    }
    if (inWord) {
      lookup(rest.substr(wordStart, i - wordStart));
      out += c;
      inWord = false;
    } else {
      lookup(rest.substr(i, 1));
    }
  }
  if (inWord) lookup(rest.substr(wordStart));
  return out;
}

}  // namespace quellon
