// quellon-tts dict [--utf8] FILE TEXT: TEXT rewritten by the pronunciation dictionary FILE
// (Windows-1250 unless --utf8). A file that does not exist or cannot be opened is an error here;
// a damaged one gives whatever the dictionary loader makes of it (possibly no rules at all).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "command.h"
#include "frontend_util.h"
#include "speech/dictionary.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{"dict", "dict [--utf8] FILE TEXT", &Run};

int Run(const std::vector<std::string>& args) {
  std::size_t at = 0;
  DictionaryEncoding encoding = DictionaryEncoding::Cp1250;
  if (!args.empty() && args[0] == "--utf8") {
    encoding = DictionaryEncoding::Utf8;
    at = 1;
  }
  if (args.size() != at + 2) return UsageError(kCommand);
  const std::filesystem::path path = PathFromUtf8(args[at]);
  std::ifstream probe(path, std::ios::binary);
  std::error_code ec;
  if (!probe || std::filesystem::is_directory(path, ec)) {
    std::fprintf(stderr, "quellon-tts: cannot read %s\n", args[at].c_str());
    return kExitFileError;
  }
  probe.close();
  const PronunciationDictionary dict = LoadDictionary(path, encoding);
  PrintLine(ApplyDictionary(dict, text::Utf8ToUtf16(args[at + 1])));
  return kExitOk;
}

const bool registered = RegisterCommand(kCommand);

}  // namespace
}  // namespace quellon::tts
