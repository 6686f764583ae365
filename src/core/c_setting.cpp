#include "core/c_setting.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>
#include <string>

#include "text/text.h"

namespace quellon::core {
namespace {

bool IsSeparator(std::filesystem::path::value_type c) {
  return c == '/' || c == std::filesystem::path::preferred_separator;
}

std::u16string Decimal(std::int64_t value) {
  return text::Ascii16(std::to_string(value));
}

}  // namespace

std::filesystem::path ProgramFolderOf(const std::filesystem::path& folder) {
  auto s = folder.native();
  while (s.size() > 1 && IsSeparator(s.back()) &&
         std::filesystem::path(s.substr(0, s.size() - 1)).has_relative_path()) {
    s.pop_back();
  }
  return std::filesystem::path(s);
}

std::filesystem::path ProgramFile(const std::filesystem::path& folder,
                                  std::u16string_view relative) {
  std::filesystem::path result = ProgramFolderOf(folder);
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = relative.size();
    const std::u16string_view part = relative.substr(start, end - start);
    if (!part.empty()) {
      if (result.native().empty() || !IsSeparator(result.native().back())) {
        result += std::filesystem::path::preferred_separator;
      }
      result += std::filesystem::path(std::u16string(part));
    }
    start = end + 1;
  }
  return result;
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& folder) {
  return ProgramFile(folder, u"qlnd.ini");
}

std::optional<std::int32_t> TextToLong(std::u16string_view textIn) {
  std::size_t b = 0;
  std::size_t e = textIn.size();
  while (b < e && (textIn[b] == u' ' || textIn[b] == u'\t')) ++b;
  while (e > b && (textIn[e - 1] == u' ' || textIn[e - 1] == u'\t')) --e;
  std::string ascii;
  for (std::size_t i = b; i < e; ++i) {
    const char16_t c = textIn[i];
    const bool allowed =
        (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
    if (!allowed) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  // sign? digits [. digits] [e sign? digits], at least one digit in the mantissa.
  std::size_t i = 0;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[i]))) ++i, ++digits;
  if (i < ascii.size() && ascii[i] == '.') {
    ++i;
    while (i < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[i]))) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
    ++i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < ascii.size() && std::isdigit(static_cast<unsigned char>(ascii[i]))) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != ascii.size()) return std::nullopt;
  const double value = std::strtod(ascii.c_str(), nullptr);
  return text::RoundToInt32(value);
}

void cSetting::Init(std::filesystem::path pathDefault, std::filesystem::path pathApp) {
  pathDefault_ = std::move(pathDefault);
  pathApp_ = std::move(pathApp);
  // Each read stands alone: one that fails leaves its field as it was.
  auto readLong = [this](std::int32_t& field, std::u16string_view section, std::u16string_view key,
                         std::u16string_view defaultText) {
    if (const auto v = ReadLong(section, key, defaultText)) field = *v;
  };
  readLong(infoTextSize_, u"Info", u"TextSize", u"20");
  readLong(infoTextFC_, u"Info", u"TextForegroundColor", u"16777215");
  readLong(infoTextBC_, u"Info", u"TextBackgroundColor", u"0");
  readLong(infoActive_, u"Info", u"Active", u"0");
  voiceName_ = ReadString(u"Voice", u"Name", u"Male");
  readLong(voiceVolume_, u"Voice", u"Volume", u"50");
  readLong(voicePitch_, u"Voice", u"Pitch", u"50");
  readLong(voiceTempo_, u"Voice", u"Tempo", u"50");
  lang_ = ReadString(u"General", u"Lang", u"cz");
}

std::int32_t cSetting::TimeWelcome() {
  return TextToLong(ReadString(u"General", u"Time", u"0")).value_or(0);
}

FrameSettings cSetting::ReadFrameSettings() {
  FrameSettings f;
  auto number = [this](std::u16string_view key) {
    return TextToLong(ReadString(u"Frame", key, u""));
  };
  f.active = number(u"Active").value_or(0) != 0;
  f.width = std::clamp(number(u"Width").value_or(FrameSettings::kDefaultWidth), 0,
                       FrameSettings::kWidestWidth);
  const std::int32_t color =
      number(u"Color").value_or(static_cast<std::int32_t>(FrameSettings::kDefaultColor));
  if (color >= 0 && color <= 0xFFFFFF) f.color = static_cast<std::uint32_t>(color);
  return f;
}

int cSetting::SaveSetting() {
  int written = 0;
  auto write = [&](std::u16string_view section, std::u16string_view key,
                   const std::optional<std::u16string>& v) {
    if (v && profile_.WritePrivateProfileString(section, key, *v, pathDefault_)) ++written;
  };
  // The Info values are written as absolute numbers (a true flag, -1, becomes "1"). The one value
  // without a 32-bit absolute value, the most negative, is not written (its write fails alone).
  auto absolute = [](std::int32_t v) -> std::optional<std::u16string> {
    if (v == std::numeric_limits<std::int32_t>::min()) return std::nullopt;
    return Decimal(v < 0 ? -v : v);
  };
  write(u"Info", u"TextSize", absolute(infoTextSize_));
  write(u"Info", u"TextForegroundColor", absolute(infoTextFC_));
  write(u"Info", u"TextBackgroundColor", absolute(infoTextBC_));
  write(u"Info", u"Active", absolute(infoActive_));
  write(u"Voice", u"Name", voiceName_);
  write(u"Voice", u"Volume", Decimal(voiceVolume_));
  write(u"Voice", u"Pitch", Decimal(voicePitch_));
  write(u"Voice", u"Tempo", Decimal(voiceTempo_));
  return written;
}

const std::filesystem::path& cSetting::FileFor(std::u16string_view section) {
  return SectionExists(section, pathApp_) ? pathApp_ : pathDefault_;
}

std::u16string cSetting::ReadString(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view defaultValue) {
  return ProfileString(section, key, defaultValue, FileFor(section));
}

std::optional<std::int32_t> cSetting::ReadLong(std::u16string_view section, std::u16string_view key,
                                               std::u16string_view defaultText) {
  const auto defaultValue = TextToLong(defaultText);
  if (!defaultValue) return std::nullopt;
  return ProfileLong(section, key, *defaultValue, FileFor(section));
}

std::optional<std::int32_t> cSetting::ReadLongInRange(std::u16string_view section,
                                                      std::u16string_view key,
                                                      std::u16string_view defaultText,
                                                      std::int32_t min, std::int32_t max) {
  const auto v = ReadLong(section, key, defaultText);
  if (!v) return std::nullopt;
  if (*v < min) return min;
  if (*v > max) return max;
  return v;
}

bool cSetting::WriteQuotedString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value, const std::filesystem::path& file) {
  return profile_.WritePrivateProfileString(section, key, u'"' + std::u16string(value) + u'"',
                                            file);
}

std::int32_t cSetting::ProfileLong(std::u16string_view section, std::u16string_view key,
                                   std::int32_t defaultValue, const std::filesystem::path& file) {
  if (!profile_.FileExists(file)) return defaultValue;
  return profile_.GetPrivateProfileInt(section, key, defaultValue, file);
}

std::u16string cSetting::ProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue,
                                       const std::filesystem::path& file) {
  if (!profile_.FileExists(file)) return std::u16string(defaultValue);
  std::u16string buffer;
  const std::uint32_t n =
      profile_.GetPrivateProfileString(section, key, defaultValue, buffer, kBufferSize, file);
  return buffer.substr(0, std::min<std::size_t>(n, buffer.size()));
}

bool cSetting::SectionExists(std::u16string_view section, const std::filesystem::path& file) {
  if (!profile_.FileExists(file)) return false;
  std::u16string buffer;
  return profile_.GetPrivateProfileSection(section, buffer, kBufferSize, file) != 0;
}

}  // namespace quellon::core
