// The default audio device of a Linux desktop, through PulseAudio's simple API (PipeWire desktops
// serve it too), behind the wave-out port. A worker thread writes the queued blocks to the sound
// server; when the server has taken a block, the worker posts a note to a hidden window of the
// event loop, and the loop's thread marks the block done and posts its MM_WOM_DONE. So every
// header change and every notice happens on the loop's thread, as the engine expects.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/wave_out_device.h"

namespace quellon::platform {

class PulseWaveOut : public WaveOutDevice {
 public:
  // `loop` must be thread-safe for PostMessage (RealTimeEventLoop is).
  PulseWaveOut(EventLoop& loop, std::string appName);
  // Lets the sound already handed to the server play to its end, then disconnects.
  ~PulseWaveOut() override;

  // Connects to the sound server now (Open does it otherwise). False, with the server's reason
  // in `error`, when there is no server or no device.
  bool Connect(std::string* error);

 protected:
  MmResult DeviceOpen(const WaveFormatEx& format) override;
  void DeviceWrite(std::span<const std::int16_t> samples) override;
  void DeviceReset() override;
  void DeviceClose() override {}

 private:
  static constexpr std::uint32_t kBlockTaken = 0x8401;  // private note to the hidden window
  struct Job {
    std::uint64_t generation;
    std::vector<std::int16_t> samples;
  };
  void Worker();

  std::string appName_;
  Hwnd noteWindow_ = 0;
  void* stream_ = nullptr;  // pa_simple*
  std::uint32_t rate_ = 22050;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  std::uint64_t generation_ = 0;  // raised by every reset; notes of older blocks are dropped
  bool stopWorker_ = false;
  std::thread worker_;
};

}  // namespace quellon::platform
