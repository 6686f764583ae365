// The whole voice build: carriers through Festival, cutting, loudness, checks, coverage, the
// engine test sentence, and the packed voice written only when every check passes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "inventory.h"
#include "packed_voice.h"

namespace quellon::voicebuild {

struct BuildOptions {
  std::filesystem::path outDir;  // the program folder: NAME.idx and NAME.vce go here
  std::string name = "zuvan";
  std::filesystem::path workDir;    // Festival's scratch files
  std::filesystem::path reportDir;  // report.txt, test sentence WAV and spectrogram PNG
  std::string festival;             // empty: found on PATH
  std::filesystem::path corpus;     // word list for the coverage report (optional)
};

// Voice parameters written into the index (see README.md for the reasoning).
constexpr std::int32_t kPitchDegradation = 16;
constexpr std::int32_t kPitchDownTarget = 14;
constexpr std::int32_t kPitchUpTarget = 30;
// Loudness of the sustained vowels: -18 dBFS RMS.
constexpr double kTargetRms = 4125.0;

// A rendered test sentence: the samples and, per word, the output positions where one unit
// ends and the next begins.
struct SpokenSentence {
  std::vector<std::int16_t> samples;
  std::vector<std::int64_t> joins;
  std::string unitLists;  // the unit list of every word, for the report
  std::vector<std::pair<std::int64_t, std::string>> wordStarts;  // output position, word
};

// Places anywhere in the sentence where the output jumps by more than `maxJump` between two
// samples or reaches `maxPeak`, one line per word affected.
std::vector<std::string> FindClicks(const SpokenSentence& spoken, int maxJump, int maxPeak);

// What the builder needs from the engine; empty functions when the engine is not part of this
// build (the coverage and join checks are then reported as not run).
struct EngineHooks {
  UnitRequester requester;
  std::function<SpokenSentence(const std::filesystem::path& folder, const std::string& voice,
                               std::u16string_view sentence)>
      speak;
};
EngineHooks DefaultEngineHooks();

// Step discontinuities at the joins: a join is a step when the largest sample-to-sample change
// within 350 samples before it is more than `ratio` times the largest change in the 20 ms around
// that stretch and above `minJump`. Returns one line per step found.
std::vector<std::string> FindJoinSteps(const std::vector<std::int16_t>& samples,
                                       const std::vector<std::int64_t>& joins, double ratio,
                                       int minJump, double* worstRatio);

// The packed voice with its parameters, in writing order.
PackedVoice AssembleVoice(std::vector<VoiceUnit> units);

// Runs the build and prints the report to `log`. Returns 0 when the voice was written, 1 when the
// build failed (nothing written).
int BuildVoice(const BuildOptions& options, std::FILE* log);
int BuildVoice(const BuildOptions& options, std::FILE* log, const EngineHooks& engine);

// Reads a UTF-8 word list: one word per line, '#' starts a comment line, blank lines ignored.
std::vector<std::u16string> ReadWordList(const std::filesystem::path& path);

}  // namespace quellon::voicebuild
