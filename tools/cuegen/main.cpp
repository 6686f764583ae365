// quellon-cuegen: writes the program's sound cues as WAV files into a folder.
//   quellon-cuegen OUT_DIR    writes OUT_DIR/<name>.wav for every cue
//   quellon-cuegen --list     prints "name<TAB>description" for every cue
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "cues.h"

int main(int argc, char** argv) {
  using quellon::cuegen::AllCues;
  if (argc != 2) {
    std::cerr << "usage: quellon-cuegen OUT_DIR | --list\n";
    return 2;
  }
  const std::string_view arg = argv[1];
  if (arg == "--list") {
    for (const auto& cue : AllCues()) std::cout << cue.name << '\t' << cue.sound << '\n';
    return 0;
  }
  const std::filesystem::path dir(arg);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int count = 0;
  for (const auto& cue : AllCues()) {
    // The names are UTF-8; the path takes them as such on every system.
    const std::u8string name(cue.name.begin(), cue.name.end());
    const auto path = dir / std::filesystem::path(name + u8".wav");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = quellon::cuegen::WaveFile(cue.samples);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "cannot write " << path.string() << '\n';
      return 1;
    }
    ++count;
  }
  std::cout << count << " cues written to " << dir.string() << '\n';
  return 0;
}
