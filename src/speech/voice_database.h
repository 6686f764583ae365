// The voice files and the in-memory sample database of the built-in engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "speech/sample_array.h"
#include "speech/unit_inventory.h"

namespace quellon {

struct VoiceIndexEntry {
  std::u16string Name;
  std::int32_t Offset = 0;
  std::int32_t Length = 0;
};

// Voice parameters a packed voice may set; defaults are restored by InitSynthesis only, never by
// loading another voice.
struct VoiceParameters {
  std::int32_t PitchDegradation = 30;    // "pitch_deg"
  std::int16_t PitchDnShiftTarget = 10;  // "PITCHDN"
  std::int16_t PitchUpShiftTarget = 20;  // "PITCHUP"
};

class VoiceDatabase : public UnitInventory {
 public:
  // The folder that holds the voice files (the program folder).
  explicit VoiceDatabase(std::filesystem::path programFolder);

  // Loads NAME.idx and NAME.vce from the program folder. False only when the index file is
  // missing; then the previous samples and parameters stay.
  bool LoadVoice(std::u16string_view name);
  SampleArray ExtractUnit(std::u16string_view name) const;
  bool UnitExists(std::u16string_view name) const override;
  SampleArray LoadUnitFile(std::u16string_view name) const;
  SampleArray LoadPitchMarkFile(std::u16string_view name) const;
  // Names of the packed voices in the program folder (without the trailing empty element).
  std::vector<std::u16string> ListVoices() const;
  // True when `path` names an existing plain file that is not hidden; any error gives false.
  static bool FileExists(const std::filesystem::path& path);

  bool PackedVoiceLoaded() const { return packedVoiceLoaded_; }
  VoiceParameters& Parameters() { return params_; }
  const VoiceParameters& Parameters() const { return params_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }
  const std::vector<VoiceIndexEntry>& UnitIndex() const { return unitIndex_; }
  const std::vector<std::int16_t>& SampleStore() const { return sampleStore_; }

 private:
  std::filesystem::path programFolder_;
  std::vector<VoiceIndexEntry> unitIndex_;  // without the spare element
  std::vector<std::int16_t> sampleStore_;
  bool packedVoiceLoaded_ = false;
  VoiceParameters params_;
  // Name -> index in unitIndex_ of the FIRST entry with that name.
  std::unordered_map<std::u16string, std::size_t> firstEntry_;

  std::filesystem::path FilePath(std::u16string_view name, std::u16string_view extension) const;
  void ReadIndexFile(const std::filesystem::path& path);
  void ReadSampleFile(const std::filesystem::path& path);
};

}  // namespace quellon
