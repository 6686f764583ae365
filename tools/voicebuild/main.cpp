// quellon-voicebuild: builds the packed default voice from Festival's Czech diphone voice.
//   quellon-voicebuild --out DIR [--name NAME] [--work DIR] [--festival PATH] [--corpus FILE]
//                      [--report DIR]
// Exit status: 0 voice written, 1 build or quality failure (nothing written), 2 bad arguments.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "voice_builder.h"

namespace {

int Usage() {
  std::fputs(
      "usage: quellon-voicebuild --out DIR [--name NAME] [--work DIR] [--festival PATH]\n"
      "                          [--corpus FILE] [--report DIR]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  quellon::voicebuild::BuildOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    if (arg == "--out") {
      options.outDir = value;
    } else if (arg == "--name") {
      options.name = value;
    } else if (arg == "--work") {
      options.workDir = value;
    } else if (arg == "--festival") {
      options.festival = value;
    } else if (arg == "--corpus") {
      options.corpus = value;
    } else if (arg == "--report") {
      options.reportDir = value;
    } else {
      return Usage();
    }
  }
  if (options.outDir.empty() || options.name.empty()) return Usage();
  if (options.workDir.empty()) options.workDir = options.outDir / "voicebuild" / "work";
  if (options.reportDir.empty()) options.reportDir = options.outDir / "voicebuild";
  return quellon::voicebuild::BuildVoice(options, stdout);
}
