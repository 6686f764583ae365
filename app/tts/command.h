// quellon-tts subcommands register themselves here; each lives in its own *_command.cpp file,
// compiled straight into the program so the registration is never dropped by the linker.
#pragma once

#include <string>
#include <vector>

namespace quellon::tts {

// Exit codes shared by every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;  // an unreadable or unwritable file; its name is printed
constexpr int kExitUsage = 2;      // invalid arguments; usage is printed to stderr

using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;  // one line, without the program name
  CommandFn run;
};

// Registers a command at static-initialisation time; returns true so it can initialise a flag.
bool RegisterCommand(const Command& command);

// Prints "usage: quellon-tts <usage>" to stderr and returns kExitUsage.
int UsageError(const Command& command);

}  // namespace quellon::tts
