// The sound cues the program plays: the event cues, the progress tone and one cue per accessible
// role, under the role's name as the platform reports it on a Czech and on an English system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellon::cuegen {

inline constexpr int kSampleRate = 22050;

struct Cue {
  std::string name;   // file name without ".wav", UTF-8
  std::string sound;  // what it sounds like (for the README and --list)
  std::vector<std::int16_t> samples;
};

// Every cue, each name once. Cues of the same role in the two languages sound the same.
std::vector<Cue> AllCues();

// RIFF WAVE bytes: PCM, 22050 Hz, 16-bit, mono.
std::string WaveFile(const std::vector<std::int16_t>& samples);

}  // namespace quellon::cuegen
