// Drives Festival as an external program: synthesises carrier utterances phone by phone at a flat
// pitch with the Czech diphone voice, and reads back the waves, phone boundaries and pitch marks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "dsp.h"
#include "inventory.h"

namespace quellon::voicebuild {

// Sample rate of the voice and the flat pitch every carrier is spoken at: 22050 / 176 Hz, so that
// every glottal period is exactly 176 samples long.
constexpr int kVoiceRate = 22050;
constexpr int kPeriod = 176;

struct Carrier {
  std::string id;  // file-name-safe identifier
  std::vector<SourcePhone> phones;
};

struct Recording {
  Signal samples;                       // at kVoiceRate
  std::vector<std::string> phones;      // as synthesised
  std::vector<std::int64_t> phoneEnds;  // end of each phone, in samples
  std::vector<std::int64_t> marks;      // pitch marks (every period, voiced or not), in samples
  std::int64_t PhoneStart(std::size_t i) const { return i == 0 ? 0 : phoneEnds[i - 1]; }
};

class FestivalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The festival program: `hint` when not empty (must exist), otherwise "festival" found on PATH.
// Throws FestivalError with a clear message when it cannot be found.
std::filesystem::path FindFestival(const std::string& hint);

// The Scheme program that synthesises every carrier into workDir/<id>.wav, .segs and .tpm.
std::string CarrierScript(const std::vector<Carrier>& carriers,
                          const std::filesystem::path& workDir);

// Runs Festival once over all carriers (one process, so start-up is paid once) and returns the
// recordings in carrier order. Throws FestivalError when Festival fails, when a diphone of a
// carrier is missing from the source voice (the carriers that use it are named), or when an
// output file is missing or damaged.
std::vector<Recording> SynthesizeCarriers(const std::filesystem::path& festival,
                                          const std::vector<Carrier>& carriers,
                                          const std::filesystem::path& workDir);

// Parsers of Festival's output files (exposed for tests).
void ParseSegments(const std::string& text, Recording& out, int rate);
std::vector<std::int64_t> ParseTrackTimes(const std::string& text, int rate);

}  // namespace quellon::voicebuild
