// Carriers, cutting, loudness equalisation and the per-unit quality checks of the voice builder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dsp.h"
#include "festival.h"
#include "inventory.h"
#include "packed_voice.h"

namespace quellon::voicebuild {

// The carrier utterance each unit is cut from (none for the pause unit).
std::optional<Carrier> DesignCarrier(const UnitSpec& spec, std::size_t number);

struct CutUnit {
  UnitSpec spec;
  Signal samples;
  std::vector<std::int64_t> marks;    // positions within the unit, rising
  std::optional<std::size_t> stable;  // index of the stable mark (stored negated)
  double stableRms = 0;               // RMS from the stable mark to the end (0: none)
  double gain = 1;
};

// Samples after the first voiced mark of a voiced-onset unit's start: a join cross-fades only
// when the first mark lies under 300 samples.
constexpr std::int64_t kOnsetLead = 88;
constexpr double kMinClosureSeconds = 0.040;

// Cuts one unit out of its carrier recording. Throws std::runtime_error naming the unit when the
// recording does not hold what the unit needs (no voicing where the vowel is, no burst...).
CutUnit CutFromRecording(const UnitSpec& spec, const Recording& recording);
// The silent pause unit: 50 samples, as long as the engine's own stand-in.
CutUnit PauseUnit(const UnitSpec& spec);

// The lone vowel a voiced unit ends in ("y" counts as "i", "ě" as "e").
std::u16string VowelOf(const UnitSpec& spec);

// One gain for the whole voice that brings the mean stable RMS of the lone vowels to `targetRms`,
// then per consonant-vowel unit a correction of at most +-limitDb that brings its stable part to
// the stable part of its lone vowel.
// Gains are lowered where a peak would pass `peakLimit`.
void EqualiseLoudness(std::vector<CutUnit>& units, double targetRms, double limitDb,
                      double peakLimit);

// Rounds the samples (gain applied) and stores the stable mark negated.
VoiceUnit ToVoiceUnit(const CutUnit& unit);

struct QualityLimits {
  int maxPeriodSpread = 8;            // samples between the longest and shortest period
  std::int64_t maxFirstMark = 300;    // first mark of a unit that starts voiced
  int maxPeak = 32700;                // no sample may come nearer to full scale
  double loudnessToleranceDb = 1.5;   // stable part of a unit against its lone vowel
  double vowelSpreadDb = 4.5;         // loudest against quietest lone vowel
  std::int64_t minStableTail = 3969;  // 180 ms after the stable mark: 54 ms at 0.3, 90 ms at 0.5
  double maxStableWobbleDb = 6;       // loudest against quietest period after the stable mark
};

struct CheckResult {
  std::string name;
  bool pass = true;
  std::string detail;  // the worst figure and where
  std::vector<std::string> failures;
};

std::vector<CheckResult> CheckUnits(const std::vector<VoiceUnit>& units,
                                    const std::vector<UnitSpec>& specs,
                                    const QualityLimits& limits);

}  // namespace quellon::voicebuild
