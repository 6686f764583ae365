// quellon-tts numbers DIGITS: the number words of a run of digits.
#include <string>
#include <vector>

#include "command.h"
#include "frontend_util.h"
#include "speech/number_words.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{"numbers", "numbers DIGITS", &Run};

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() ||
      args[0].find_first_not_of("0123456789") != std::string::npos) {
    return UsageError(kCommand);
  }
  InitNumberWords();
  PrintLine(NumberToWords(text::Utf8ToUtf16(args[0])));
  return kExitOk;
}

const bool registered = RegisterCommand(kCommand);

}  // namespace
}  // namespace quellon::tts
