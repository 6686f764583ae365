// Fuzzes the loose-form readers: arbitrary bytes as the pitch-mark file "!x.dat" (text, one
// number a line) and as the unit file "x.dat" (raw samples).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "speech/voice_database.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::random_device rd;
    auto p = std::filesystem::temp_directory_path() /
             ("quellon_pitch_marks_fuzz_" + std::to_string(rd()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

void WriteFile(const std::filesystem::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFile(Folder() / "!x.dat", data, size);
  WriteFile(Folder() / "x.dat", data, size);
  const quellon::VoiceDatabase db(Folder());
  const quellon::SampleArray marks = db.LoadPitchMarkFile(u"!x");
  if (marks.empty() || marks.back() != 0 || marks.size() > size + 1) std::abort();
  const quellon::SampleArray unit = db.LoadUnitFile(u"x");
  if (unit.size() != size / 2 + 1 || unit.back() != 0) std::abort();
  if (!db.UnitExists(u"x") || db.UnitExists(u"y")) std::abort();
  return 0;
}
