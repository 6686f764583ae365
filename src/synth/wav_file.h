// Writing 16-bit mono PCM samples as a RIFF WAVE file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace quellon {

// Writes a canonical 44-byte-header WAVE file (PCM, 16-bit, mono). False when the file cannot be
// written or the data would not fit a RIFF file (more than 4 GiB).
bool WriteWavFile(const std::filesystem::path& path, std::span<const std::int16_t> samples,
                  int sampleRate = 22050);

}  // namespace quellon
