// The speaking state of the built-in engine: one instance, shared by the engine object and the
// synthesis back end (word taking, rendering, playback).
#pragma once

#include <cstdint>
#include <string>

#include "speech/sample_array.h"

namespace quellon {

struct EngineState {
  std::int16_t Pitch = 0;           // samples added to every pitch period (positive lowers)
  std::int16_t Tempo = 0;           // each step shortens unit durations by 0.02
  std::int16_t Volume = 10;         // output gain Volume / 14
  std::int16_t WordSeparation = 0;  // extra pause repetitions after every word
  std::u16string SpeechText;        // text being spoken; emptied when all of it was taken
  std::int16_t SpeechPos = 1;       // 1-based index of the next character of SpeechText
  std::u16string CurrentWord;       // word taken and waiting to be rendered
  std::int32_t PauseClass = 0;      // 0 none, 1 full stop/colon, 2 question, 3 comma/dash
  bool StopFlag = false;            // speech was stopped; every loop ends early while set
  bool Playing = false;             // sound is being played
  SampleArray SpeechBuffer = EmptySamples();  // the rendered next word
  std::int16_t SpeakIndex = 0;  // position just after the delimiter of the last word taken
};

}  // namespace quellon
