// The program's settings as it reads them: arbitrary bytes as the primary settings file and as
// the override file beside it go through cSetting (Init, the range and number helpers, the
// welcome time) and are saved back.
//
// Input: bytes 0-1 the length of the primary file's part (little endian, taken modulo the rest),
// byte 2 bit 0 whether there is an override file; then the primary file, then the override file.
//
// Checked: texts come back no longer than the read buffer; reading twice gives the same values;
// a clamped read stays in its range; the number conversion reads back every 32-bit number it is
// given as text; a save either fails as a whole (a damaged file is left alone) or writes every
// value, and the primary file then reads back what was saved.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>

#include "core/c_setting.h"
#include "core/ini_profile.h"
#include "text/text.h"

using namespace quellon;

namespace {

// A broken invariant names itself and stops the run as a crash would.
#define CHECK(ok)                                                             \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "invariant broken, line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

std::filesystem::path Scratch(const char* name) {
  return std::filesystem::temp_directory_path() /
         ("quellon_settings_fuzz_" + std::to_string(::getpid()) + "_" + name);
}

void Write(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Values {
  std::int32_t size, fc, bc, active, volume, pitch, tempo;
  std::u16string name, lang;
  bool operator==(const Values&) const = default;
};

Values Of(const core::cSetting& s) {
  return {s.InfoTextSize(), s.InfoTextFC(), s.InfoTextBC(), s.InfoActive(), s.VoiceVolume(),
          s.VoicePitch(),   s.VoiceTempo(), s.VoiceName(),  s.Lang()};
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// A name written as it is reads back as it is: no blanks round it and no pair of quotes round it
// (the reader takes both off).
bool ReadsBackAsWritten(const std::u16string& v) {
  if (v.empty()) return true;
  if (IsBlank(v.front()) || IsBlank(v.back())) return false;
  return !(v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front());
}

// Whether the primary file's encoding (by its byte-order mark) holds every character of `v`.
bool Holds(std::string_view file, const std::u16string& v) {
  if (file.size() >= 2 && file[0] == '\xFF' && file[1] == '\xFE') return true;
  const bool utf8 = file.size() >= 3 && file.substr(0, 3) == "\xEF\xBB\xBF";
  for (char16_t c : v) {
    if (utf8 ? (c >= 0xD800 && c <= 0xDFFF) : !text::CharToCp1250(c)) return false;
  }
  return true;
}

std::int32_t Absolute(std::int32_t v) {
  return v < 0 ? -v : v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t rest = size - 3;
  const std::size_t split = rest == 0 ? 0 : (data[0] | (data[1] << 8)) % (rest + 1);
  const bool override = data[2] & 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 3), rest);

  static const std::filesystem::path primary = Scratch("qlnd.ini");
  static const std::filesystem::path other = Scratch("override.ini");
  Write(primary, bytes.substr(0, split));
  std::error_code ec;
  std::filesystem::remove(other, ec);
  if (override) Write(other, bytes.substr(split));

  core::IniProfile profile;
  core::cSetting settings(profile);
  settings.Init(primary, other);
  const Values read = Of(settings);
  CHECK(read.name.size() < core::cSetting::kBufferSize);
  CHECK(read.lang.size() < core::cSetting::kBufferSize);
  settings.Init(primary, other);
  CHECK(Of(settings) == read);

  if (const auto v = settings.ReadLongInRange(u"Voice", u"Volume", u"50", 0, 100)) {
    CHECK(*v >= 0 && *v <= 100);
  } else {
    CHECK(false);  // the default text is a number
  }
  CHECK(!settings.ReadLong(u"Voice", u"Volume", u"x"));
  settings.TimeWelcome();

  // The number conversion reads back each value as the program writes it.
  for (std::int32_t v : {read.size, read.fc, read.volume, read.pitch}) {
    const std::u16string text = text::Ascii16(std::to_string(v));
    CHECK(core::TextToLong(text) == v);
    CHECK(core::TextToLong(u" " + text + u"\t") == v);
  }
  // And a text from the file is a number only when it is made of a number's characters.
  const std::u16string time = settings.ReadString(u"General", u"Time", u"0");
  if (core::TextToLong(time)) CHECK(!time.empty());

  const int written = settings.SaveSetting();
  int expected = 8;
  for (std::int32_t v : {read.size, read.fc, read.bc, read.active}) {
    if (v == std::numeric_limits<std::int32_t>::min()) --expected;
  }
  CHECK(written == 0 || written == expected);
  if (written == 0) return 0;

  // The primary file alone now holds what was saved.
  core::cSetting again(profile);
  again.Init(primary, std::filesystem::path());
  const Values back = Of(again);
  CHECK(back.volume == read.volume && back.pitch == read.pitch && back.tempo == read.tempo);
  auto infoBack = [](std::int32_t saved, std::int32_t reread) {
    CHECK(saved == std::numeric_limits<std::int32_t>::min() || reread == Absolute(saved));
  };
  infoBack(read.size, back.size);
  infoBack(read.fc, back.fc);
  infoBack(read.bc, back.bc);
  infoBack(read.active, back.active);
  if (ReadsBackAsWritten(read.name) && Holds(bytes.substr(0, split), read.name))
    CHECK(back.name == read.name);
  return 0;
}
