// The packed voice as the engine reads it: NAME.idx (records of name, offset, length) and NAME.vce
// (the samples of every unit and pitch-mark entry, concatenated, 16-bit little-endian).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quellon::voicebuild {

struct VoiceUnit {
  std::u16string name;
  std::vector<std::int16_t> samples;
  // Sample positions within the unit, rising; at most one stored negated (the stable mark).
  // Empty for an unvoiced unit: no "!" entry is written then.
  std::vector<std::int16_t> marks;
};

struct VoiceParameter {
  std::string name;  // "pitch_deg", "PITCHDN", "PITCHUP"
  std::int32_t value = 0;
};

struct PackedVoice {
  std::vector<VoiceParameter> parameters;  // written first, as entries of length 0
  std::vector<VoiceUnit> units;            // each unit followed by its "!" entry when it has marks
};

// The bytes of both files, in memory. Throws std::runtime_error when a name cannot be written in
// Windows-1250, a name is empty or too long, a unit has no samples, or the sample file would pass
// the 32-bit offset range.
struct PackedVoiceBytes {
  std::string index;
  std::string samples;
};
PackedVoiceBytes EncodePackedVoice(const PackedVoice& voice);

// Writes DIR/NAME.idx and DIR/NAME.vce. Both are written to temporary files first and renamed
// into place only when both are complete (samples first, index last), so a failed build never
// leaves half a voice; on failure the temporary files are removed (and, when only the sample file
// could be replaced, both voice files, since the old index no longer matches) and
// std::runtime_error is thrown.
void WritePackedVoice(const PackedVoice& voice, const std::filesystem::path& dir,
                      std::string_view name);

}  // namespace quellon::voicebuild
