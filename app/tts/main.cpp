// quellon-tts: a window into the built-in engine. Every subcommand prints its result as UTF-8,
// one result per line, exactly as computed.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "command.h"
#include "text/text.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

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
// The arguments as UTF-8. On Windows the C runtime would hand main() the arguments in the ANSI
// code page, losing every character outside it, so they are taken from the wide command line.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
      args.push_back(quellon::text::Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    }
    LocalFree(wide);
    return args;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
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
#ifdef _WIN32
  // Results are UTF-8 lines ending in a line feed on every system.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const std::vector<std::string> all = Arguments(argc, argv);
  if (all.size() < 2) return PrintUsage();
  auto it = Registry().find(all[1]);
  if (it == Registry().end()) return PrintUsage();
  const std::vector<std::string> args(all.begin() + 2, all.end());
  return it->second.run(args);
}
