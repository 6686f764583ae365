// The program finds its help texts, settings file and other files below the program folder, a
// path it is given and never checks. Arbitrary bytes (UTF-8) as the folder, and as a file's
// relative name, go through ProgramFolderOf, ProgramFile, SettingsFilePath and the help command.
//
// Input: byte 0 bit 0 the English interface; up to the first NUL the folder, after it the
// relative name.
//
// Checked: the folder without its trailing separators is stable (doing it twice changes nothing)
// and a prefix of the folder; a file below it is the folder, one separator where the folder has
// none, then exactly the non-empty parts of the relative name, one separator apart; the settings
// file and the help text are such files; the help command is the text editor with that file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/c_setting.h"
#include "shell/main_window.h"
#include "text/text.h"

using namespace quellon;

namespace {

// A broken invariant names itself and stops the run as a crash would.
#define CHECK(ok)                                                             \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "invariant broken, line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

bool IsSeparator(char c) {
  return c == '/' || c == std::filesystem::path::preferred_separator;
}

std::vector<std::string> Parts(std::string_view relative) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : relative) {
    if (c == '/' || c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// `file` is `folder` (as ProgramFolderOf leaves it) and then the parts of `relative`.
void CheckBelow(const std::string& folder, const std::string& file, std::string_view relative) {
  CHECK(file.compare(0, folder.size(), folder) == 0);
  std::string expected = folder;
  for (const std::string& part : Parts(relative)) {
    if (expected.empty() || !IsSeparator(expected.back())) expected += '/';
    expected += part;
  }
  CHECK(file == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool english = data[0] & 1;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t nul = rest.find('\0');
  // Through UTF-16 and back, as the program holds its texts; paths here are narrow.
  const std::string folderText = text::Utf16ToUtf8(text::Utf8ToUtf16(rest.substr(0, nul)));
  const std::string relative = nul == std::string_view::npos
                                   ? std::string("help.txt")
                                   : text::Utf16ToUtf8(text::Utf8ToUtf16(rest.substr(nul + 1)));

  const std::filesystem::path folder(folderText);
  const std::string bare = core::ProgramFolderOf(folder).native();
  CHECK(core::ProgramFolderOf(bare).native() == bare);
  CHECK(folderText.compare(0, bare.size(), bare) == 0);
  // Only separators were taken off.
  for (std::size_t i = bare.size(); i < folderText.size(); ++i) CHECK(IsSeparator(folderText[i]));

  CheckBelow(bare, core::ProgramFile(folder, text::Utf8ToUtf16(relative)).native(), relative);
  CheckBelow(bare, core::SettingsFilePath(folder).native(), "qlnd.ini");
  const std::string help = english ? "help_en.txt" : "help.txt";
  CheckBelow(bare, core::ProgramFile(folder, text::Ascii16(help)).native(), help);

  const std::u16string command = shell::HelpCommandLine(folder, english);
  CHECK(command.rfind(u"notepad.exe ", 0) == 0);
  const std::u16string file = command.substr(12);
  CHECK(file.size() >= help.size() &&
        file.compare(file.size() - help.size(), help.size(), text::Ascii16(help)) == 0);
  CHECK(file.size() <= bare.size() + 1 + help.size() + 4 * folderText.size());
  return 0;
}
