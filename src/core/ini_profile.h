// IniProfile: the settings-file port over real INI files on disk, with the Windows profile
// functions' reading rules and a writer that changes only the line it must.
//
// Reading:
// - Lines end at LF; a CR before it and blanks (space, tab, CR, VT, FF) round names and values are
//   trimmed. "[name]" opens a section (the name inside the brackets trimmed); a line starting with
//   ";" is a comment; "key=value" is an entry, a line without "=" an entry with no value.
// - Section and key names compare without regard to case (Czech letters included); the first
//   section of a name is the one that counts, and within it the first entry of a key.
// - A value enclosed in a pair of double (or single) quotes loses them.
// - The file is Windows-1250; a UTF-8 or UTF-16 LE byte-order mark selects that encoding instead.
// - A damaged file (a NUL character in an 8-bit file, or larger than kMaxFileBytes) reads like a
//   missing one: every read gives the default.
//
// Writing:
// - The entry's line is replaced, or a new entry goes after the last non-blank line of the
//   section, or a new section is appended; every other byte of the file stays as it was. New lines
//   take the file's own line ends (CR LF for a new file or one without line ends).
// - A missing file is created (its folder must exist). A file that cannot be opened for writing
//   (read-only, locked) and a damaged file make the write return false and stay untouched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/profile.h"

namespace quellon::core {

class IniProfile : public platform::Profile {
 public:
  static constexpr std::uintmax_t kMaxFileBytes = 1u << 20;

  std::uint32_t GetPrivateProfileSection(std::u16string_view section, std::u16string& returned,
                                         std::uint32_t size,
                                         const std::filesystem::path& file) override;
  std::int32_t GetPrivateProfileInt(std::u16string_view section, std::u16string_view key,
                                    std::int32_t defaultValue,
                                    const std::filesystem::path& file) override;
  std::uint32_t GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view defaultValue, std::u16string& returned,
                                        std::uint32_t size,
                                        const std::filesystem::path& file) override;
  bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value,
                                 const std::filesystem::path& file) override;
  bool FileExists(const std::filesystem::path& file) override;
};

// The number at the start of a profile value as GetPrivateProfileInt reads it: blanks and control
// characters skipped, one optional sign, "0x", "0o" or "0b" for base 16, 8 or 2, then digits up to
// the first other character; the value wraps to 32 bits. No digits give 0.
std::int32_t ProfileNumber(std::u16string_view text);

}  // namespace quellon::core
