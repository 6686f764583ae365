// The settings-file port, in the shape of the Windows profile functions (GetPrivateProfile*,
// WritePrivateProfileString). Texts are UTF-16 here; the files themselves are in the system ANSI
// code page (Windows-1250). Section and key names compare without regard to case.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quellon::platform {

class Profile {
 public:
  virtual ~Profile() = default;

  // GetPrivateProfileSection: the entries of the first section of that name as "key=value" texts,
  // each followed by a NUL (comment lines left out), in `returned`. Returns the number of
  // characters copied without the final NUL; a section that is missing, empty or unreadable gives
  // 0. When the entries do not fit into `size` characters they are cut and size - 2 is returned.
  virtual std::uint32_t GetPrivateProfileSection(std::u16string_view section,
                                                 std::u16string& returned, std::uint32_t size,
                                                 const std::filesystem::path& file) = 0;

  // GetPrivateProfileInt: the number at the start of the key's value (blanks skipped, an optional
  // sign, "0x" hexadecimal); the default when the key is missing or its value is empty; 0 when the
  // value does not start with a number. The result wraps to 32 bits.
  virtual std::int32_t GetPrivateProfileInt(std::u16string_view section, std::u16string_view key,
                                            std::int32_t defaultValue,
                                            const std::filesystem::path& file) = 0;

  // GetPrivateProfileString: the key's value (blanks trimmed, a pair of enclosing quotes removed)
  // or, when the key is missing, `defaultValue` without its trailing blanks. At most size - 1
  // characters come back; returns how many.
  virtual std::uint32_t GetPrivateProfileString(std::u16string_view section,
                                                std::u16string_view key,
                                                std::u16string_view defaultValue,
                                                std::u16string& returned, std::uint32_t size,
                                                const std::filesystem::path& file) = 0;

  // WritePrivateProfileString: sets key=value in the section, creating the key, the section or
  // the file as needed. False when the file cannot be written; the file is then unchanged.
  virtual bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                         std::u16string_view value,
                                         const std::filesystem::path& file) = 0;

  // True when `file` names an existing file (not a folder).
  virtual bool FileExists(const std::filesystem::path& file) = 0;
};

}  // namespace quellon::platform
