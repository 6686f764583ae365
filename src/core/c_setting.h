// cSetting: the program's persistent settings. Init reads the settings file once into fields, the
// properties hand them out, SaveSetting writes them back. Reads consult an override file first
// when it holds the section asked for; every write goes to the primary file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace quellon::core {

// The program folder without trailing separators (so "C:\Quellon\" and "C:\Quellon" are the same
// folder). A root folder ("/", "C:\") keeps its separator.
std::filesystem::path ProgramFolderOf(const std::filesystem::path& folder);
// A file below the program folder: the folder, one separator, then `relative` (whose own parts
// may be separated by "\" or "/"). No separator is doubled when the folder already ends in one.
std::filesystem::path ProgramFile(const std::filesystem::path& folder,
                                  std::u16string_view relative);
// The primary settings file: the program folder's "qlnd.ini".
std::filesystem::path SettingsFilePath(const std::filesystem::path& folder);

// The general text-to-number conversion of a setting (a 32-bit integer): blanks round the text are
// ignored; an optional sign, digits, an optional decimal point with digits and an optional
// exponent are read and rounded half to even. nullopt when the text is not a number (empty text
// included) or the value does not fit.
std::optional<std::int32_t> TextToLong(std::u16string_view text);

// What the highlight frame does, from section "Frame" (set by hand; never written): follow the
// object spoken about (Active non-zero; default off), its border in steps of 5 twips (Width,
// default 10, clamped to 0..100, 0 giving the frame's standard 50 twips) and its colour as an RGB
// value in Windows' 0x00BBGGRR (Color, default 255: pure red; a value that is no colour gives the
// default).
struct FrameSettings {
  static constexpr std::int32_t kDefaultWidth = 10;
  static constexpr std::int32_t kWidestWidth = 100;
  static constexpr std::uint32_t kDefaultColor = 255;
  bool active = false;
  std::int32_t width = kDefaultWidth;
  std::uint32_t color = kDefaultColor;
  friend bool operator==(const FrameSettings&, const FrameSettings&) = default;
};

class cSetting {
 public:
  static constexpr std::uint32_t kBufferSize = 1024;

  explicit cSetting(platform::Profile& profile) : profile_(profile) {}

  // Stores both paths and reads every cached value (TextSize, TextForegroundColor,
  // TextBackgroundColor, Active, Voice Name, Volume, Pitch, Tempo, Lang).
  void Init(std::filesystem::path pathDefault, std::filesystem::path pathApp);

  std::int32_t VoiceVolume() const { return voiceVolume_; }
  void SetVoiceVolume(std::int32_t v) { voiceVolume_ = v; }
  std::int32_t VoicePitch() const { return voicePitch_; }
  void SetVoicePitch(std::int32_t v) { voicePitch_ = v; }
  std::int32_t VoiceTempo() const { return voiceTempo_; }
  void SetVoiceTempo(std::int32_t v) { voiceTempo_ = v; }
  std::int32_t InfoTextSize() const { return infoTextSize_; }
  void SetInfoTextSize(std::int32_t v) { infoTextSize_ = v; }
  std::int32_t InfoTextFC() const { return infoTextFC_; }
  void SetInfoTextFC(std::int32_t v) { infoTextFC_ = v; }
  std::int32_t InfoTextBC() const { return infoTextBC_; }
  void SetInfoTextBC(std::int32_t v) { infoTextBC_ = v; }
  std::int32_t InfoActive() const { return infoActive_; }
  void SetInfoActive(std::int32_t v) { infoActive_ = v; }
  const std::u16string& VoiceName() const { return voiceName_; }
  void SetVoiceName(std::u16string v) { voiceName_ = std::move(v); }

  // Read-only. Lang: "en" selects English, every other value (even "EN") Czech.
  const std::u16string& Lang() const { return lang_; }
  bool IsEnglish() const { return lang_ == u"en"; }
  // Section "General", key "Time", default "0": read from the file on every call; a value that
  // is not a number gives 0.
  std::int32_t TimeWelcome();
  // Section "Frame", read from the file on every call (the main window asks once, at startup).
  // Values that are not numbers give the defaults.
  FrameSettings ReadFrameSettings();

  // Writes the eight values (the four Info values as absolute numbers) to the primary file.
  // Returns how many of the writes succeeded.
  int SaveSetting();

  const std::filesystem::path& PathDefault() const { return pathDefault_; }
  const std::filesystem::path& PathApp() const { return pathApp_; }

  // ---- Helpers ----
  // Read from the override file when it holds the section, else from the primary file.
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue);
  // nullopt when the default text is not a number.
  std::optional<std::int32_t> ReadLong(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultText);
  // ReadLong clamped to [min, max].
  std::optional<std::int32_t> ReadLongInRange(std::u16string_view section, std::u16string_view key,
                                              std::u16string_view defaultText, std::int32_t min,
                                              std::int32_t max);
  bool WriteQuotedString(std::u16string_view section, std::u16string_view key,
                         std::u16string_view value, const std::filesystem::path& file);
  std::int32_t ProfileLong(std::u16string_view section, std::u16string_view key,
                           std::int32_t defaultValue, const std::filesystem::path& file);
  std::u16string ProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view defaultValue, const std::filesystem::path& file);
  bool SectionExists(std::u16string_view section, const std::filesystem::path& file);

 private:
  const std::filesystem::path& FileFor(std::u16string_view section);

  platform::Profile& profile_;
  std::filesystem::path pathDefault_;
  std::filesystem::path pathApp_;
  std::u16string lang_;
  std::u16string voiceName_;
  std::int32_t voiceVolume_ = 0;
  std::int32_t voicePitch_ = 0;
  std::int32_t voiceTempo_ = 0;
  std::int32_t infoTextSize_ = 0;
  std::int32_t infoTextFC_ = 0;
  std::int32_t infoTextBC_ = 0;
  std::int32_t infoActive_ = 0;
};

}  // namespace quellon::core
