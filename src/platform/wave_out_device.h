// What every wave-out device of this program shares: the header rules of the system's waveOut
// calls (prepared, queued, done), one stream at a time, blocks completed strictly in the order
// they were written, and the completion notices posted to the callback window. A device adds how
// the samples are played and when a block is finished; all of this runs on the event loop's
// thread.
#pragma once

#include <cstdint>
#include <deque>
#include <span>

#include "platform/event_loop.h"
#include "platform/wave_out.h"

namespace quellon::platform {

class WaveOutDevice : public WaveOut {
 public:
  explicit WaveOutDevice(EventLoop& loop) : loop_(loop) {}

  MmResult Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format, Hwnd callback,
                std::uintptr_t instance, std::uint32_t flags) override;
  MmResult PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Reset(HWaveOut handle) override;
  MmResult Close(HWaveOut handle) override;
  std::string GetErrorText(MmResult result) override { return MmResultText(result); }

  bool IsOpen() const { return open_; }
  std::size_t QueuedBlocks() const { return queue_.size(); }
  // Every Open that succeeded, for tests and statistics.
  int OpenCount() const { return openCount_; }

 protected:
  // Hooks of the concrete device.
  virtual MmResult DeviceOpen(const WaveFormatEx& format) = 0;
  // A block was queued; its samples (copied now, the caller may reuse the memory after the
  // notice) are to be played after those of the blocks before it.
  virtual void DeviceWrite(std::span<const std::int16_t> samples) = 0;
  // Playback stops at once; the blocks not yet finished are dropped.
  virtual void DeviceReset() = 0;
  virtual void DeviceClose() = 0;
  // Called by the device when the oldest queued block has finished playing: marks it done and
  // posts its notice. Does nothing when no block is queued.
  void CompleteOldestBlock();

  EventLoop& loop_;

 private:
  bool Valid(HWaveOut handle) const { return open_ && handle == handle_; }
  void Notify(std::uint32_t message, WaveHdr* header);

  bool open_ = false;
  HWaveOut handle_ = 0;
  HWaveOut nextHandle_ = 0x51;
  Hwnd callback_ = 0;
  int openCount_ = 0;
  std::deque<WaveHdr*> queue_;
};

}  // namespace quellon::platform
