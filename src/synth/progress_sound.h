// modSound: the progress tone played from a recorded sound. The sound (16-bit mono PCM in a RIFF
// WAVE file below the program folder) is read once and kept in memory; each tone plays all of it
// on the wave mapper at a sample rate that rises with the percentage, so its pitch climbs as a
// task advances. A reserve opening of the device is made at load and kept until close.
//
// Playing waits for the end of the sound while the event loop keeps running (timers, hooks and
// speech go on; a value change that arrives meanwhile finds ProgressTonePlaying set). The wait
// is bounded: a device that has not finished the block by the sound's own length at that rate
// plus one second is reset and closed, and the program goes on.
//
// Files: one whose format is not 16-bit mono PCM (format tag 1, 1 channel, 16 bits, block
// alignment 2) is rejected: nothing is kept, the sound does not count as loaded, and every tone
// plays nothing (no device is opened for it). A RIFF file without a "fmt " or "data" chunk does
// count as loaded; its tone is an empty block and nothing is heard.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/wave_out.h"
#include "synth/progress_tone.h"

namespace quellon {

class ProgressSound final : public ProgressTone {
 public:
  ProgressSound(std::filesystem::path programFolder, platform::WaveOut& device,
                platform::EventLoop& loop);
  ~ProgressSound() override;
  ProgressSound(const ProgressSound&) = delete;
  ProgressSound& operator=(const ProgressSound&) = delete;

  void LoadProgressSound(const std::u16string& relativePath) override;
  void CloseProgressSound() override;
  void PlayProgressTone(std::int32_t percent) override;
  bool ProgressTonePlaying() const override { return playing_; }

  // The file was opened and read (and its format accepted).
  bool Loaded() const { return loaded_; }
  // Samples of the sound (the "data" chunk's frames).
  std::uint32_t Frames() const { return frames_; }
  bool ReserveOpen() const { return reserve_ != 0; }

  // The playback rate for `percent`: 110 x percent + 11025 samples per second, 0 when that does
  // not fit a 32-bit signed number.
  static std::uint32_t RateFor(std::int32_t percent);

 private:
  static platform::WaveFormatEx Pcm16Mono(std::uint32_t rate);
  // Waits until the header is done, at most `limitMs`, letting the loop run; false when the
  // device did not finish in time (or the loop was asked to quit).
  bool WaitForDone(std::uint32_t limitMs);
  void ClosePlayDevice();

  std::filesystem::path programFolder_;
  platform::WaveOut& device_;
  platform::EventLoop& loop_;

  bool loaded_ = false;
  bool playing_ = false;
  platform::WaveFormatEx format_;
  // The samples, zero-filled up to the 2 x frames bytes a tone plays.
  std::vector<std::uint8_t> sound_;
  std::uint32_t dataSize_ = 0;
  std::uint32_t frames_ = 0;
  platform::HWaveOut reserve_ = 0;
  platform::HWaveOut play_ = 0;
  platform::WaveHdr header_;
};

}  // namespace quellon
