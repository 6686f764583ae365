// quellon-tts: a window into the built-in engine. Every subcommand prints its result as UTF-8,
// one result per line, exactly as computed.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "command.h"

namespace quellon::tts {
namespace {
std::map<std::string, Command>& Registry() {
  static std::map<std::string, Command> registry;
  return registry;
}

int PrintUsage() {
  std::fputs("usage: quellon-tts COMMAND [ARGS...]\ncommands:\n", stderr);
  for (const auto& [name, cmd] : Registry()) std::fprintf(stderr, "  quellon-tts %s\n", cmd.usage);
  return kExitUsage;
}
}  // namespace

bool RegisterCommand(const Command& command) {
  Registry()[command.name] = command;
  return true;
}

int UsageError(const Command& command) {
  std::fprintf(stderr, "usage: quellon-tts %s\n", command.usage);
  return kExitUsage;
}

}  // namespace quellon::tts

int main(int argc, char** argv) {
  using namespace quellon::tts;
  if (argc < 2) return PrintUsage();
  auto it = Registry().find(argv[1]);
  if (it == Registry().end()) return PrintUsage();
  std::vector<std::string> args(argv + 2, argv + argc);
  return it->second.run(args);
}
