// The system-voice port, in the shape of SAPI 5's SpVoice (ISpeechVoice): the installed voices,
// selecting one, speaking with flags, rate, volume and waiting for the end of speech.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quellon::platform {

// SpeechVoiceSpeakFlags.
inline constexpr std::uint32_t SVSFDefault = 0;
inline constexpr std::uint32_t SVSFlagsAsync = 1;
inline constexpr std::uint32_t SVSFPurgeBeforeSpeak = 2;
inline constexpr std::uint32_t SVSFIsXML = 8;

// One voice object. Calls return an HRESULT-like code: 0 success, negative failure.
class SystemVoice {
 public:
  virtual ~SystemVoice() = default;
  // GetVoices("", ""): the descriptions (GetDescription(0)) of the voice tokens, in order.
  virtual std::vector<std::u16string> GetVoices() = 0;
  // Sets the voice to token `index` of GetVoices(). Negative when there is no such token.
  virtual std::int32_t SetVoice(std::size_t index) = 0;
  // Speak: flags 3 = asynchronous after purging; 2 = purge and speak synchronously (returns when
  // speech has ended); Speak("", 3) silences the voice.
  virtual std::int32_t Speak(const std::u16string& text, std::uint32_t flags) = 0;
  virtual std::int32_t SetRate(std::int32_t rate) = 0;      // -10..10
  virtual std::int32_t SetVolume(std::int32_t volume) = 0;  // 0..100
  virtual std::int32_t Rate() = 0;
  virtual std::int32_t Volume() = 0;
  // WaitUntilDone(ms): true when speech ended within the time, false when still speaking.
  // Blocks the thread (no messages run meanwhile).
  virtual bool WaitUntilDone(std::uint32_t milliseconds) = 0;
};

class SystemVoiceFactory {
 public:
  virtual ~SystemVoiceFactory() = default;
  // CreateObject("SAPI.SpVoice"): nullptr when SAPI is not installed.
  virtual std::unique_ptr<SystemVoice> CreateVoice() = 0;
};

}  // namespace quellon::platform
