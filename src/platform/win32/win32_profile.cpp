#include "platform/win32/win32_profile.h"

#include <windows.h>
// The port's members carry the profile functions' plain names; the A functions are called by
// their own names.
#undef GetPrivateProfileSection
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef WritePrivateProfileString

#include <string>
#include <system_error>
#include <vector>

#include "text/text.h"

namespace quellon::platform {
namespace {

std::string Ansi(std::u16string_view s) {
  return text::Utf16ToCp1250(s);
}
std::string AnsiPath(const std::filesystem::path& p) {
  return text::Utf16ToCp1250(p.u16string());
}

}  // namespace

std::uint32_t Win32Profile::GetPrivateProfileSection(std::u16string_view section,
                                                     std::u16string& returned, std::uint32_t size,
                                                     const std::filesystem::path& file) {
  returned.clear();
  if (size == 0) return 0;
  std::vector<char> buffer(size + 2, '\0');
  const DWORD n = ::GetPrivateProfileSectionA(Ansi(section).c_str(), buffer.data(),
                                              static_cast<DWORD>(size), AnsiPath(file).c_str());
  const std::size_t count = n < size ? n : size;
  returned = text::Cp1250ToUtf16(std::string_view(buffer.data(), count));
  return n;
}

std::int32_t Win32Profile::GetPrivateProfileInt(std::u16string_view section,
                                                std::u16string_view key, std::int32_t defaultValue,
                                                const std::filesystem::path& file) {
  return static_cast<std::int32_t>(::GetPrivateProfileIntA(Ansi(section).c_str(), Ansi(key).c_str(),
                                                           defaultValue, AnsiPath(file).c_str()));
}

std::uint32_t Win32Profile::GetPrivateProfileString(std::u16string_view section,
                                                    std::u16string_view key,
                                                    std::u16string_view defaultValue,
                                                    std::u16string& returned, std::uint32_t size,
                                                    const std::filesystem::path& file) {
  returned.clear();
  if (size == 0) return 0;
  std::vector<char> buffer(size + 1, '\0');
  const DWORD n = ::GetPrivateProfileStringA(Ansi(section).c_str(), Ansi(key).c_str(),
                                             Ansi(defaultValue).c_str(), buffer.data(),
                                             static_cast<DWORD>(size), AnsiPath(file).c_str());
  const std::size_t count = n < size ? n : size;
  returned = text::Cp1250ToUtf16(std::string_view(buffer.data(), count));
  return n;
}

bool Win32Profile::WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                             std::u16string_view value,
                                             const std::filesystem::path& file) {
  return ::WritePrivateProfileStringA(Ansi(section).c_str(), Ansi(key).c_str(), Ansi(value).c_str(),
                                      AnsiPath(file).c_str()) != 0;
}

bool Win32Profile::FileExists(const std::filesystem::path& file) {
  std::error_code ec;
  return !file.empty() && std::filesystem::is_regular_file(file, ec);
}

}  // namespace quellon::platform
