// Pitch-synchronous overlap-add synthesis: turns a unit list ("name,factor,state,pitch ...") into
// 16-bit samples at 22050 Hz, re-timing and re-pitching every voiced unit over its pitch marks,
// cross-fading it into the unit before it and shaping it by its state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "speech/sample_array.h"
#include "speech/voice_database.h"
#include "synth/synthesis_controls.h"

namespace quellon {

class Synthesizer {
 public:
  // The largest sample sequence one unit or one word may grow to (about 190 s). A step
  // that would need more fails like any other step that cannot be done.
  static constexpr std::int64_t kMaxSamples = std::int64_t{1} << 22;

  struct UnitRecord {
    std::u16string name;
    double factor = 0;
    std::int32_t state = 0;
    std::int32_t pitch = 0;
  };

  Synthesizer(VoiceDatabase& voice, const SynthesisControls& controls);

  // Fills the envelope table, resets the previous marks and sets the voice parameters to their
  // defaults (30, 10, 20). The reduction table of unit selection is filled by unit selection.
  void InitSynthesis();

  // The samples of one word: upper bound = number of samples (last element a spare 0). An empty
  // list, or StopFlag, gives the empty sequence.
  SampleArray Synthesize(std::u16string_view unitList);

  // Fades the last quarter of a unit out linearly while smoothing it by a moving average that
  // widens to 31 samples. Same size as `x`.
  static SampleArray FinalFade(const SampleArray& x);

  // Output positions of the pitch marks of the unit added last (element 0 is always 0).
  const std::vector<std::int32_t>& PreviousMarks() const { return previousMarks_; }
  const std::array<double, 32>& EnvelopeTable() const { return envelope_; }

 private:
  void SynthesizeUnit(UnitRecord& unit);
  void FillTables();

  VoiceDatabase& voice_;
  const SynthesisControls& controls_;
  std::array<double, 32> envelope_{};
  SampleArray output_ = EmptySamples();
  std::vector<std::int32_t> previousMarks_{0, 0};
};

}  // namespace quellon
