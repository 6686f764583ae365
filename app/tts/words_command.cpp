// quellon-tts words TEXT...: the words the engine takes from TEXT, one a line: the word, a tab,
// its pause class. The first word is taken as Say takes it, every later one as the speaking
// loop's timer steps take them. Several arguments are joined with single spaces.
#include <string>
#include <vector>

#include "command.h"
#include "engine/vaza_vorod.h"
#include "engine/wave_output.h"
#include "frontend_util.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{"words", "words TEXT...", &Run};
const bool registered = RegisterCommand(kCommand);

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError(kCommand);
  std::string utf8;
  for (std::size_t i = 0; i < args.size(); ++i) utf8 += (i ? " " : "") + args[i];
  EngineState s;
  s.SpeechText = text::Utf8ToUtf16(utf8);
  s.SpeechPos = 1;
  TakeFirstWord(s);
  for (;;) {
    // What RenderWord would take, then what FetchNextWord takes next.
    if (!s.CurrentWord.empty()) {
      PrintLine(s.CurrentWord + u"\t" + text::Ascii16(std::to_string(s.PauseClass)));
      s.CurrentWord.clear();
    }
    if (s.SpeechText.empty()) break;
    FetchNextWord(s);
  }
  return kExitOk;
}

}  // namespace
}  // namespace quellon::tts
