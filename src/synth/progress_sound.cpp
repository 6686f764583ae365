#include "synth/progress_sound.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/riff_wave.h"
#include "text/text.h"

namespace quellon {
namespace {

using platform::MMSYSERR_NOERROR;

constexpr std::uint32_t kReserveRate = 22050;
constexpr std::uint32_t kBytesPerSecond = 44100;
constexpr std::uint16_t kBlockAlign = 2;
// How much longer than the sound itself a tone may take before the device is given up.
constexpr std::uint32_t kGraceMs = 1000;
// How often the wait looks at the header when nothing else wakes the loop (the device is opened
// without a callback, so its end posts no message).
constexpr std::uint32_t kPollMs = 10;

// The program folder and a relative path whose parts are separated by "\" (or "/").
std::filesystem::path Below(const std::filesystem::path& folder, std::u16string_view relative) {
  std::filesystem::path result = folder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = relative.size();
    if (end > start)
      result /= std::filesystem::path(std::u16string(relative.substr(start, end - start)));
    start = end + 1;
  }
  return result;
}

bool IsPcm16Mono(const platform::WaveFormatEx& f) {
  return f.wFormatTag == platform::WAVE_FORMAT_PCM && f.nChannels == 1 && f.wBitsPerSample == 16 &&
         f.nBlockAlign == kBlockAlign;
}

}  // namespace

ProgressSound::ProgressSound(std::filesystem::path programFolder, platform::WaveOut& device,
                             platform::EventLoop& loop)
    : programFolder_(std::move(programFolder)), device_(device), loop_(loop) {}

ProgressSound::~ProgressSound() {
  CloseProgressSound();
}

platform::WaveFormatEx ProgressSound::Pcm16Mono(std::uint32_t rate) {
  platform::WaveFormatEx f;
  f.wFormatTag = platform::WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = rate;
  f.nAvgBytesPerSec = kBytesPerSecond;
  f.nBlockAlign = kBlockAlign;
  f.wBitsPerSample = 16;
  f.cbSize = 0;
  return f;
}

std::uint32_t ProgressSound::RateFor(std::int32_t percent) {
  const std::int64_t rate = std::int64_t{110} * percent + 11025;
  if (rate > std::numeric_limits<std::int32_t>::max() ||
      rate < std::numeric_limits<std::int32_t>::min()) {
    return 0;
  }
  // A negative rate keeps its bits, as the 32-bit field of the format record would.
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(rate));
}

void ProgressSound::LoadProgressSound(const std::u16string& relativePath) {
  loaded_ = false;
  sound_.clear();
  dataSize_ = 0;
  frames_ = 0;

  if (reserve_ == 0) {
    platform::HWaveOut h = 0;
    if (device_.Open(&h, platform::WAVE_MAPPER, Pcm16Mono(kReserveRate), 0, 0,
                     platform::CALLBACK_NULL) == MMSYSERR_NOERROR) {
      reserve_ = h;
    }
  }

  const std::filesystem::path file = Below(programFolder_, relativePath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return;
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());

  // Without a RIFF "WAVE" chunk, or without its "fmt " chunk, nothing is read but the file still
  // counts as loaded (its tone is empty).
  if (const auto wave = platform::ParseRiffWave(bytes); wave && wave->hasFormat) {
    format_ = wave->format;
    if (!IsPcm16Mono(format_)) return;  // rejected: see the header
    if (wave->hasData) {
      dataSize_ = static_cast<std::uint32_t>(wave->data.size());
      frames_ = static_cast<std::uint32_t>(
          text::RoundHalfEven(static_cast<double>(dataSize_) / format_.nBlockAlign));
      // An odd last byte rounds up to one more frame: that frame's missing byte stays zero.
      sound_.assign(std::size_t{frames_} * 2, 0);
      std::copy(wave->data.begin(), wave->data.end(), sound_.begin());
    }
  }
  loaded_ = true;
}

void ProgressSound::CloseProgressSound() {
  // A tone still sounding (the program is shutting down inside its wait) is stopped first, so
  // the device lets go of the memory before it is freed; the wait then ends by itself.
  if (playing_ && play_ != 0) device_.Reset(play_);
  sound_.clear();
  sound_.shrink_to_fit();
  loaded_ = false;
  if (reserve_ != 0) {
    device_.Close(reserve_);
    reserve_ = 0;
  }
}

void ProgressSound::PlayProgressTone(std::int32_t percent) {
  if (!loaded_) return;
  // The caller checks ProgressTonePlaying; a call that comes anyway must not take the header
  // that is in use.
  if (playing_) return;
  playing_ = true;

  const std::uint32_t rate = RateFor(percent);
  format_ = Pcm16Mono(rate);
  platform::HWaveOut h = 0;
  if (device_.Open(&h, platform::WAVE_MAPPER, format_, 0, 0, platform::CALLBACK_NULL) !=
      MMSYSERR_NOERROR) {
    playing_ = false;
    return;
  }
  play_ = h;

  header_ = platform::WaveHdr{};
  header_.lpData = sound_.empty() ? nullptr : reinterpret_cast<char*>(sound_.data());
  header_.dwBufferLength = 2 * frames_;
  header_.dwFlags = 0;
  header_.dwLoops = 0;
  if (device_.PrepareHeader(play_, &header_, sizeof(header_)) != MMSYSERR_NOERROR) {
    device_.Close(play_);
    play_ = 0;
    playing_ = false;
    return;
  }
  if (device_.Write(play_, &header_, sizeof(header_)) == MMSYSERR_NOERROR) {
    // The sound's own length at this rate (rounded up), and a second more.
    const std::uint64_t lengthMs =
        rate == 0 ? 0 : (std::uint64_t{frames_} * 1000 + rate - 1) / rate;
    const std::uint64_t limit = lengthMs + kGraceMs;
    if (!WaitForDone(static_cast<std::uint32_t>(
            std::min<std::uint64_t>(limit, std::numeric_limits<std::uint32_t>::max())))) {
      // The device never said it had finished: stop it, so it hands the block back.
      device_.Reset(play_);
    }
  }
  ClosePlayDevice();
}

bool ProgressSound::WaitForDone(std::uint32_t limitMs) {
  bool expired = false;
  const platform::TimerId deadline = loop_.SetTimer(limitMs, [&expired] { expired = true; });
  // Without a deadline there is no safe way to wait: the tone is cut off at once.
  if (deadline == 0) return (header_.dwFlags & platform::WHDR_DONE) != 0;
  const platform::TimerId poll = loop_.SetTimer(kPollMs, [] {});
  const bool ran =
      loop_.RunUntil([&] { return (header_.dwFlags & platform::WHDR_DONE) != 0 || expired; });
  if (poll != 0) loop_.KillTimer(poll);
  loop_.KillTimer(deadline);
  // The loop was asked to quit meanwhile: the request is passed on to the loop outside.
  if (!ran) loop_.QuitLoop();
  return (header_.dwFlags & platform::WHDR_DONE) != 0;
}

void ProgressSound::ClosePlayDevice() {
  device_.UnprepareHeader(play_, &header_, sizeof(header_));
  device_.Close(play_);
  play_ = 0;
  playing_ = false;
}

}  // namespace quellon
