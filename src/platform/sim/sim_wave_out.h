// The simulated wave-out device: plays the queued blocks one after the other on the virtual clock
// of a SimEventLoop (a block of n samples lasts n / rate seconds), completes each at the moment
// its last sample has played and records every sample it played, with the time each block
// started. Reset stops in the middle of a block: only the samples already played are recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/wave_out_device.h"

namespace quellon::platform {

class SimWaveOut : public WaveOutDevice {
 public:
  using Micros = SimEventLoop::Micros;

  struct PlayedBlock {
    Micros start = 0;             // virtual time its first sample played
    Micros end = 0;               // virtual time it finished (or was cut off)
    std::size_t firstSample = 0;  // index into PlayedSamples()
    std::size_t samples = 0;
    bool cut = false;  // stopped by Reset before its end
  };

  explicit SimWaveOut(SimEventLoop& loop) : WaveOutDevice(loop), sim_(loop) {}
  ~SimWaveOut() override;

  const std::vector<std::int16_t>& PlayedSamples() const { return played_; }
  const std::vector<PlayedBlock>& PlayedBlocks() const { return blocks_; }
  // Virtual time of the first Write after construction or ClearRecord; -1 before it.
  Micros FirstWriteTime() const { return firstWrite_; }
  // Virtual time the last queued sample will have played (Now() when idle).
  Micros PlaysUntil() const;
  // Times the device ran dry while it was open and a later block followed: the gap between the
  // end of one block and the start of the next.
  std::vector<Micros> Gaps() const;
  void ClearRecord();

  // Makes the next Open fail with `result` (0 lets it succeed again).
  void FailOpen(MmResult result) { failOpen_ = result; }

 protected:
  MmResult DeviceOpen(const WaveFormatEx& format) override;
  void DeviceWrite(std::span<const std::int16_t> samples) override;
  void DeviceReset() override;
  void DeviceClose() override {}

 private:
  struct Pending {
    std::vector<std::int16_t> samples;
    Micros start = 0;
    Micros end = 0;
    SimEventLoop::EventId event = 0;
  };
  void Finish();
  Micros TimeOf(std::int64_t sampleCount) const;

  SimEventLoop& sim_;
  std::uint32_t rate_ = 22050;
  MmResult failOpen_ = MMSYSERR_NOERROR;
  std::deque<Pending> pending_;
  // The current unbroken stretch of sound: its start time and the samples queued since then, so
  // block boundaries fall on exact sample times without rounding drift.
  Micros streamStart_ = 0;
  std::int64_t streamSamples_ = 0;
  std::vector<std::int16_t> played_;
  std::vector<PlayedBlock> blocks_;
  Micros firstWrite_ = -1;
};

}  // namespace quellon::platform
