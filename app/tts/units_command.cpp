// quellon-tts units (--voice PATH | --inventory FILE) [--pause-class N] [--pitch-deg N] WORD:
// the unit list that unit selection makes of WORD. --inventory names a UTF-8 file with one unit
// name a line (a CR before the line end is dropped, empty lines are ignored); every listed name
// counts as present in the voice. --voice PATH loads PATH.idx and PATH.vce (PATH without
// extension). --pitch-deg defaults to the voice's value (30 for an inventory).
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "command.h"
#include "frontend_util.h"
#include "speech/voice_database.h"
#include "synth/unit_selection.h"

namespace quellon::tts {
namespace {

int Run(const std::vector<std::string>& args);
const Command kCommand{
    "units", "units (--voice PATH | --inventory FILE) [--pause-class N] [--pitch-deg N] WORD",
    &Run};

class ListedUnits : public UnitInventory {
 public:
  bool UnitExists(std::u16string_view name) const override {
    return names_.count(std::u16string(name)) != 0;
  }
  void Add(std::u16string name) { names_.insert(std::move(name)); }

 private:
  std::unordered_set<std::u16string> names_;
};

bool ReadInventory(const std::string& file, ListedUnits& units) {
  std::ifstream in(PathFromUtf8(file), std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) units.Add(text::Utf8ToUtf16(line));
  }
  return !in.bad();
}

int Run(const std::vector<std::string>& args) {
  std::string voice, inventory;
  std::optional<std::int32_t> pauseClass, pitchDeg;
  std::optional<std::string> word;
  for (std::size_t a = 0; a < args.size(); ++a) {
    const std::string& arg = args[a];
    const bool hasValue = a + 1 < args.size();
    if (arg == "--voice" && hasValue && voice.empty() && inventory.empty()) {
      voice = args[++a];
      if (voice.empty()) return UsageError(kCommand);
    } else if (arg == "--inventory" && hasValue && voice.empty() && inventory.empty()) {
      inventory = args[++a];
      if (inventory.empty()) return UsageError(kCommand);
    } else if (arg == "--pause-class" && hasValue && !pauseClass) {
      pauseClass = ParseInt32(args[++a]);
      if (!pauseClass) return UsageError(kCommand);
    } else if (arg == "--pitch-deg" && hasValue && !pitchDeg) {
      pitchDeg = ParseInt32(args[++a]);
      if (!pitchDeg) return UsageError(kCommand);
    } else if (!word && (arg.rfind("--", 0) != 0 || arg == "--")) {
      word = arg == "--" && hasValue ? args[++a] : arg;
    } else {
      return UsageError(kCommand);
    }
  }
  if (!word || (voice.empty() && inventory.empty())) return UsageError(kCommand);
  const bool stop = false;
  const std::u16string word16 = text::Utf8ToUtf16(*word);
  if (!voice.empty()) {
    // PATH is the voice without extension: PATH.idx and PATH.vce in PATH's folder.
    const std::filesystem::path path = PathFromUtf8(voice);
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    VoiceDatabase db(folder);
    if (!db.LoadVoice(path.filename().u16string())) {
      std::fprintf(stderr, "quellon-tts: cannot read %s.idx\n", voice.c_str());
      return kExitFileError;
    }
    PrintLine(PhomeneToWave(word16, pauseClass.value_or(0), db,
                            pitchDeg.value_or(db.Parameters().PitchDegradation), stop));
    return kExitOk;
  }
  ListedUnits units;
  if (!ReadInventory(inventory, units)) {
    std::fprintf(stderr, "quellon-tts: cannot read %s\n", inventory.c_str());
    return kExitFileError;
  }
  PrintLine(PhomeneToWave(word16, pauseClass.value_or(0), units, pitchDeg.value_or(30), stop));
  return kExitOk;
}

const bool registered = RegisterCommand(kCommand);

}  // namespace
}  // namespace quellon::tts
