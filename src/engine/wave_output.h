// modWave: the sound of the built-in engine and its word-by-word speaking loop. While one word
// sounds, the next is taken from the text, rendered into SpeechBuffer and appended to the sound
// being played when that runs out, so consecutive words play without a gap. Sound goes to the
// first wave-out device through five 100 ms blocks that the completion notices of a hidden
// window (frmWave) refill. Everything runs on the event loop's thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "engine/word_takers.h"
#include "platform/event_loop.h"
#include "platform/wave_out.h"
#include "speech/sample_array.h"

namespace quellon {

// Turns one word into samples: the two halves of RenderWord that belong to the front end and to
// synthesis.
class WordRenderer {
 public:
  virtual ~WordRenderer() = default;
  // Digit runs to number words, letter-to-sound and unit selection: the unit list of the word.
  virtual std::u16string WordToUnits(std::u16string_view word, std::int32_t pauseClass) = 0;
  // The samples of a unit list (an empty sequence while StopFlag is set).
  virtual SampleArray Synthesize(std::u16string_view units) = 0;
};

struct WaveOutputOptions {
  // StopSpeech also resets the device, so the up to half a second of queued sound stops at once.
  bool ResetOnStop = true;
  // Shows the system text of a failing wave header (a message box in the Windows program).
  std::function<void(const std::string&)> ShowError;
};

class WaveOutput {
 public:
  static constexpr int kBlocks = 5;
  static constexpr std::int32_t kMaxTextPosition = quellon::kMaxTextPosition;

  WaveOutput(EngineState& state, platform::EventLoop& loop, platform::WaveOut& device,
             WordRenderer& renderer, WaveOutputOptions options = {});
  // Stops the device at once and closes it before the block memory goes, then unloads frmWave.
  ~WaveOutput();
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // frmWave: a window that is never shown; loading it puts OnWaveDone in as its window
  // procedure (keeping the previous one), unloading puts the previous one back.
  void LoadWaveWindow();
  void UnloadWaveWindow();
  // The window's handle; asking for it loads the window when it is not loaded.
  platform::Hwnd WaveWindow();

  void InitWaveOutput();
  void StartPlayback();
  void RenderWord();
  void FetchNextWord();
  // One step of the speaking loop (the engine's 50 ms timer). Swallows every error.
  void PumpSpeech();
  void StopSpeech();
  void AppendToPlayBuffer();
  platform::LResult OnWaveDone(platform::Hwnd window, std::uint32_t message,
                               platform::WParam wParam, platform::LParam lParam);

  // Read-only views for the engine, tools and tests.
  bool MoreData() const { return moreData_; }
  std::int32_t TotalBytes() const { return totalBytes_; }
  std::int32_t FedBytes() const { return fedBytes_; }
  std::int32_t BlockSize() const { return blockSize_; }
  const SampleArray& PlayBuffer() const { return playBuffer_; }
  const platform::WaveFormatEx& Format() const { return format_; }
  const platform::WaveHdr& Header(int block) const { return headers_[block]; }
  bool DeviceOpen() const { return device_ != 0; }
  platform::MmResult LastResult() const { return lastResult_; }
  // Result of the last waveOutOpen (0 when it succeeded).
  platform::MmResult OpenResult() const { return openResult_; }
  const std::string& ErrorText() const { return errorText_; }
  // Some header is still queued in the device.
  bool AnyBlockQueued() const;
  // Nothing left to do: no text, no word, no samples waiting, not playing, device closed.
  bool Finished() const;

 private:
  void AllocateBlocks();
  void FinishPlayback();  // unprepares the headers, closes the device once none is queued
  // Prepares again and starts (with a posted notice) every block but `current` that is idle.
  void RestartIdleBlocks(const platform::WaveHdr* current);
  bool OwnHeader(const platform::WaveHdr* header) const;

  EngineState& s_;
  platform::EventLoop& loop_;
  platform::WaveOut& waveOut_;
  WordRenderer& renderer_;
  WaveOutputOptions options_;

  platform::WaveFormatEx format_{};
  SampleArray playBuffer_ = EmptySamples();
  std::int32_t totalBytes_ = 0;
  std::int32_t fedBytes_ = 0;
  std::int32_t blockSize_ = 0;
  bool moreData_ = false;
  bool resumable_ = false;  // the open device's playback may take up a later word
  platform::HWaveOut device_ = 0;
  platform::MmResult lastResult_ = 0;
  platform::MmResult openResult_ = 0;
  std::string errorText_;
  std::array<std::vector<char>, kBlocks> blocks_;
  std::array<platform::WaveHdr, kBlocks> headers_{};
  platform::Hwnd waveWindow_ = 0;
  platform::WindowProc previousProc_;
  bool procReplaced_ = false;
};

}  // namespace quellon
