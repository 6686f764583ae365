// The settings-file port on Windows: the system's own profile functions (the A versions, texts
// converted to and from Windows-1250).
#pragma once

#include "platform/profile.h"

namespace quellon::platform {

class Win32Profile : public Profile {
 public:
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

}  // namespace quellon::platform
