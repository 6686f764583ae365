// The two word takers of the built-in engine. Both move through SpeechText from SpeechPos, put
// the word into CurrentWord with the PauseClass of the delimiter that ended it, and leave
// SpeakIndex just behind that delimiter.
#pragma once

#include <cstdint>

#include "engine/engine_state.h"

namespace quellon {

// Positions in the text are 16-bit: a text is read up to this character.
inline constexpr std::int32_t kMaxTextPosition = 32767;

// TakeFirstWord: the engine's own step that takes the first word of a text. Unlike FetchNextWord,
// every delimiter ends the step even when no letter was taken yet, short words are not joined,
// and its delimiter set differs.
void TakeFirstWord(EngineState& state);

// FetchNextWord: takes the next word of SpeechText into CurrentWord (with its PauseClass and the
// SpeakIndex behind it). Words of one or two letters are joined to the following word. A text is
// read up to its 32767th character (positions are 16-bit); speech of a longer text ends there.
void FetchNextWord(EngineState& s);

// Ends a word-taking step at the delimiter at 1-based position `i`: the delimiter is consumed and
// SpeakIndex follows it. At the last position a 16-bit SpeechPos can hold, the text ends there.
void ConsumeDelimiter(EngineState& s, std::int32_t i);

}  // namespace quellon
