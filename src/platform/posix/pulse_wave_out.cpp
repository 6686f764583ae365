#include "platform/posix/pulse_wave_out.h"

#if QUELLON_HAVE_PULSE
#include <pulse/error.h>
#include <pulse/simple.h>
#endif

namespace quellon::platform {

PulseWaveOut::PulseWaveOut(EventLoop& loop, std::string appName)
    : WaveOutDevice(loop), appName_(std::move(appName)) {
  noteWindow_ = loop_.CreateHiddenWindow();
  loop_.SetWindowProc(noteWindow_, [this](Hwnd, std::uint32_t message, WParam wParam, LParam) {
    if (message != kBlockTaken) return LResult{0};
    bool current = false;
    {
      std::lock_guard lock(mutex_);
      current = wParam == generation_;
    }
    if (current) CompleteOldestBlock();
    return LResult{0};
  });
}

PulseWaveOut::~PulseWaveOut() {
  {
    std::lock_guard lock(mutex_);
    stopWorker_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
#if QUELLON_HAVE_PULSE
  if (stream_ != nullptr) {
    auto* s = static_cast<pa_simple*>(stream_);
    int error = 0;
    pa_simple_drain(s, &error);
    pa_simple_free(s);
  }
#endif
  loop_.DestroyWindow(noteWindow_);
}

bool PulseWaveOut::Connect(std::string* error) {
#if QUELLON_HAVE_PULSE
  if (stream_ != nullptr) return true;
  pa_sample_spec spec{};
  spec.format = PA_SAMPLE_S16LE;
  spec.rate = rate_;
  spec.channels = 1;
  // A short server buffer (200 ms), so a block counts as taken close to when it sounds and a
  // reset has little to throw away.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = rate_ * 2 / 5;
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(-1);
  int code = 0;
  pa_simple* s = pa_simple_new(nullptr, appName_.c_str(), PA_STREAM_PLAYBACK, nullptr, "speech",
                               &spec, nullptr, &attr, &code);
  if (s == nullptr) {
    if (error != nullptr) *error = pa_strerror(code);
    return false;
  }
  stream_ = s;
  worker_ = std::thread([this] { Worker(); });
  return true;
#else
  if (error != nullptr) *error = "built without PulseAudio support";
  return false;
#endif
}

MmResult PulseWaveOut::DeviceOpen(const WaveFormatEx& format) {
  if (stream_ == nullptr) {
    rate_ = format.nSamplesPerSec;
  } else if (format.nSamplesPerSec != rate_) {
    return WAVERR_BADFORMAT;
  }
  return Connect(nullptr) ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
}

void PulseWaveOut::DeviceWrite(std::span<const std::int16_t> samples) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(Job{generation_, std::vector<std::int16_t>(samples.begin(), samples.end())});
  }
  wake_.notify_all();
}

void PulseWaveOut::DeviceReset() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
    jobs_.clear();
  }
#if QUELLON_HAVE_PULSE
  if (stream_ != nullptr) {
    int error = 0;
    pa_simple_flush(static_cast<pa_simple*>(stream_), &error);
  }
#endif
}

void PulseWaveOut::Worker() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopWorker_ || !jobs_.empty(); });
      if (stopWorker_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
#if QUELLON_HAVE_PULSE
    int error = 0;
    if (!job.samples.empty()) {
      pa_simple_write(static_cast<pa_simple*>(stream_), job.samples.data(),
                      job.samples.size() * sizeof(std::int16_t), &error);
    }
#endif
    loop_.PostMessage(noteWindow_, kBlockTaken, static_cast<WParam>(job.generation), 0);
  }
}

}  // namespace quellon::platform
