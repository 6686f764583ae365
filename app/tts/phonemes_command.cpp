// quellon-tts phonemes WORD: the phoneme string of a word (letter-to-sound rules).
#include <string>
#include <vector>

#include "command.h"
#include "frontend_util.h"
#include "speech/letter_to_sound.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{"phonemes", "phonemes WORD", &Run};

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kCommand);
  PrintLine(Assimilate(text::Utf8ToUtf16(args[0])));
  return kExitOk;
}

const bool registered = RegisterCommand(kCommand);

}  // namespace
}  // namespace quellon::tts
