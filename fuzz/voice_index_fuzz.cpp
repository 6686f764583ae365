// Fuzzes the packed-voice loader: arbitrary bytes as NAME.idx beside a small NAME.vce whose size
// (odd sizes included) comes from the first input byte; then every stored unit is extracted.
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
             ("quellon_voice_index_fuzz_" + std::to_string(rd()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

void WriteFile(const std::filesystem::path& p, const char* data, std::size_t size) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(data, static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t vceBytes = data[0] * 3u;
  std::string vce(vceBytes, '\0');
  for (std::size_t k = 0; k < vceBytes; ++k) vce[k] = static_cast<char>(k * 37 + 11);
  WriteFile(Folder() / "v.vce", vce.data(), vce.size());
  WriteFile(Folder() / "v.idx", reinterpret_cast<const char*>(data + 1), size - 1);

  quellon::VoiceDatabase db(Folder());
  if (!db.LoadVoice(u"v")) std::abort();
  if (db.SampleStore().size() != vceBytes / 2) std::abort();
  for (const quellon::VoiceIndexEntry& e : db.UnitIndex()) {
    if (!db.UnitExists(e.Name)) std::abort();
    const quellon::SampleArray s = db.ExtractUnit(e.Name);
    if (s.empty() || s.back() != 0) std::abort();
    if (s.size() > db.SampleStore().size() + 1) std::abort();
  }
  const quellon::SampleArray pause = db.ExtractUnit(u"-");
  if (pause.empty()) std::abort();
  return 0;
}
