// The speaking state of the built-in engine: one instance, shared by the engine object, the word
// takers and the speaking loop; synthesis reads its SynthesisControls part.
#pragma once

#include <cstdint>
#include <string>

#include "speech/sample_array.h"
#include "synth/synthesis_controls.h"

namespace quellon {

struct EngineState : SynthesisControls {
  std::int16_t WordSeparation = 0;            // extra pause repetitions after every word
  std::u16string SpeechText;                  // text being spoken; emptied when all of it was taken
  std::int16_t SpeechPos = 1;                 // 1-based index of the next character of SpeechText
  std::u16string CurrentWord;                 // word taken and waiting to be rendered
  std::int32_t PauseClass = 0;                // 0 none, 1 full stop/colon, 2 question, 3 comma/dash
  bool Playing = false;                       // sound is being played
  SampleArray SpeechBuffer = EmptySamples();  // the rendered next word
  std::int16_t SpeakIndex = 0;  // position just after the delimiter of the last word taken
};

}  // namespace quellon
