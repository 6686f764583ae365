// The voice adjustments and the stop request that synthesis reads while it renders a word. The
// engine's speaking state extends this, so the one instance the engine owns is what synthesis sees.
#pragma once

#include <cstdint>

namespace quellon {

struct SynthesisControls {
  std::int16_t Pitch = 0;    // samples added to every pitch period (positive lowers)
  std::int16_t Tempo = 0;    // each step shortens unit durations by 0.02
  std::int16_t Volume = 10;  // output gain Volume / 14
  bool StopFlag = false;     // speech was stopped; every loop ends early while set
};

}  // namespace quellon
