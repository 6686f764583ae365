// The settings file is user-editable and may be damaged: arbitrary bytes as qlnd.ini must read as
// values or defaults, and a write must keep the file readable with the value written.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/ini_profile.h"

namespace {
const std::filesystem::path& File() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("quellon_ini_fuzz_" + std::to_string(getpid()) + ".ini");
  return file;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  quellon::core::IniProfile ini;
  std::u16string text;
  ini.GetPrivateProfileSection(u"Info", text, 1024, File());
  ini.GetPrivateProfileInt(u"Info", u"TextSize", 20, File());
  ini.GetPrivateProfileString(u"Voice", u"Name", u"Male", text, 1024, File());
  if (ini.WritePrivateProfileString(u"Voice", u"Volume", u"55", File())) {
    // What was written reads back.
    if (ini.GetPrivateProfileInt(u"Voice", u"Volume", 0, File()) != 55) __builtin_trap();
  }
  return 0;
}
