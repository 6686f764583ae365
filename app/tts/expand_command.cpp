// quellon-tts expand WORD: the word with its digit runs replaced by number words.
#include <string>
#include <vector>

#include "command.h"
#include "frontend_util.h"
#include "speech/number_words.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{"expand", "expand WORD", &Run};

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kCommand);
  InitNumberWords();
  PrintLine(ExpandDigits(text::Utf8ToUtf16(args[0])));
  return kExitOk;
}

const bool registered = RegisterCommand(kCommand);

}  // namespace
}  // namespace quellon::tts
