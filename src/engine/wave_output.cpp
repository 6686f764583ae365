#include "engine/wave_output.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

namespace quellon {

using platform::MM_WOM_DONE;
using platform::MMSYSERR_NOERROR;
using platform::WaveHdr;
using platform::WHDR_INQUEUE;

namespace {
constexpr std::uint32_t kHeaderSize = sizeof(WaveHdr);

std::int32_t BlockBytes(const platform::WaveFormatEx& f) {
  // 100 ms of sound, whole sample frames only.
  const auto bytes = static_cast<std::int32_t>(
      std::nearbyint(static_cast<double>(f.nBlockAlign) * f.nSamplesPerSec * f.nChannels * 0.1));
  return bytes - bytes % f.nBlockAlign;
}
}  // namespace

WaveOutput::WaveOutput(EngineState& state, platform::EventLoop& loop, platform::WaveOut& device,
                       WordRenderer& renderer, WaveOutputOptions options)
    : s_(state), loop_(loop), waveOut_(device), renderer_(renderer), options_(std::move(options)) {}

WaveOutput::~WaveOutput() {
  if (device_ != 0) {
    waveOut_.Reset(device_);
    for (WaveHdr& h : headers_) waveOut_.UnprepareHeader(device_, &h, kHeaderSize);
    waveOut_.Close(device_);
    device_ = 0;
  }
  UnloadWaveWindow();
  if (waveWindow_ != 0) loop_.DestroyWindow(waveWindow_);
}

void WaveOutput::LoadWaveWindow() {
  if (waveWindow_ == 0) waveWindow_ = loop_.CreateHiddenWindow();
  if (waveWindow_ == 0 || procReplaced_) return;
  previousProc_ = loop_.SetWindowProc(
      waveWindow_, [this](platform::Hwnd w, std::uint32_t m, platform::WParam wp,
                          platform::LParam lp) { return OnWaveDone(w, m, wp, lp); });
  procReplaced_ = true;
}

void WaveOutput::UnloadWaveWindow() {
  if (waveWindow_ != 0 && procReplaced_) {
    loop_.SetWindowProc(waveWindow_, std::move(previousProc_));
    previousProc_ = nullptr;
    procReplaced_ = false;
  }
}

platform::Hwnd WaveOutput::WaveWindow() {
  if (!procReplaced_) LoadWaveWindow();
  return waveWindow_;
}

void WaveOutput::InitWaveOutput() {
  format_.wFormatTag = platform::WAVE_FORMAT_PCM;
  format_.nChannels = 1;
  format_.nSamplesPerSec = kSampleRate;
  format_.nAvgBytesPerSec = 2 * kSampleRate;
  format_.nBlockAlign = 2;
  format_.wBitsPerSample = 16;
  format_.cbSize = 0;
  const auto bytes = static_cast<std::int32_t>(std::nearbyint(format_.nAvgBytesPerSec * 0.1));
  blockSize_ = bytes - bytes % format_.nBlockAlign;
  AllocateBlocks();
}

void WaveOutput::AllocateBlocks() {
  for (int b = 0; b < kBlocks; ++b) {
    blocks_[b].assign(static_cast<std::size_t>(blockSize_), 0);
  }
}

bool WaveOutput::AnyBlockQueued() const {
  return std::any_of(headers_.begin(), headers_.end(),
                     [](const WaveHdr& h) { return (h.dwFlags & WHDR_INQUEUE) != 0; });
}

bool WaveOutput::OwnHeader(const WaveHdr* header) const {
  return std::any_of(headers_.begin(), headers_.end(),
                     [header](const WaveHdr& h) { return &h == header; });
}

bool WaveOutput::Finished() const {
  return s_.SpeechText.empty() && s_.CurrentWord.empty() && UpperBound(s_.SpeechBuffer) == 0 &&
         !s_.Playing && device_ == 0;
}

void WaveOutput::StartPlayback() {
  try {
    const std::int32_t bytes = 2 * UpperBound(s_.SpeechBuffer);
    // A word that is ready while blocks of this playback still sound, after the notices had let
    // go of it (short words): it is taken up on the open device at once, while the device still
    // has sound, rather than when its last block comes back empty-handed.
    if (!s_.Playing && bytes != 0 && !s_.StopFlag && resumable_ && device_ != 0 && !moreData_ &&
        AnyBlockQueued()) {
      s_.Playing = true;
      AppendToPlayBuffer();
      RestartIdleBlocks(nullptr);
      return;
    }
    // A device still open has blocks out (or their notices on the way): it is busy as well, so a
    // second device is never opened over the first.
    const bool busy = AnyBlockQueued() || device_ != 0;
    if (s_.Playing || bytes == 0 || busy || s_.StopFlag) return;
    s_.Playing = true;

    platform::HWaveOut handle = 0;
    openResult_ = waveOut_.Open(&handle, 0, format_, WaveWindow(), static_cast<std::uintptr_t>(-1),
                                platform::CALLBACK_WINDOW);
    lastResult_ = openResult_;
    if (openResult_ != MMSYSERR_NOERROR) return;  // Playing stays set until the next Say
    device_ = handle;

    playBuffer_ = std::move(s_.SpeechBuffer);
    s_.SpeechBuffer = EmptySamples();

    blockSize_ = BlockBytes(format_);
    AllocateBlocks();
    totalBytes_ = bytes;
    for (int b = 0; b < kBlocks; ++b) {
      WaveHdr& h = headers_[b];
      h = WaveHdr{};
      h.lpData = blocks_[b].data();
      h.dwBufferLength = static_cast<std::uint32_t>(blockSize_);
      lastResult_ = waveOut_.PrepareHeader(device_, &h, kHeaderSize);
      if (lastResult_ != MMSYSERR_NOERROR) {
        errorText_ = waveOut_.GetErrorText(lastResult_);
        if (options_.ShowError) options_.ShowError(errorText_);
      }
    }
    moreData_ = true;
    fedBytes_ = 0;
    resumable_ = true;
    // These notices start the feeding: each is handled like a real completion.
    for (WaveHdr& h : headers_) {
      loop_.PostMessage(waveWindow_, MM_WOM_DONE, 0, reinterpret_cast<platform::LParam>(&h));
    }
  } catch (const std::exception&) {
    // Ends quietly.
  }
}

platform::LResult WaveOutput::OnWaveDone(platform::Hwnd window, std::uint32_t message,
                                         platform::WParam wParam, platform::LParam lParam) {
  if (message == MM_WOM_DONE) {
    auto* header = reinterpret_cast<WaveHdr*>(lParam);
    // Only the five headers, and only when they are back from the device: a notice that a reset
    // returned late must not refill a block that a later playback has queued again.
    if (OwnHeader(header) && !(header->dwFlags & WHDR_INQUEUE)) {
      try {
        if (s_.StopFlag) moreData_ = false;
        // A word rendered after the last piece went out, while blocks of this playback still
        // play: it follows them at once instead of waiting for the device to run dry. This also
        // holds when earlier notices found nothing to feed and let go of the playback (short
        // first words): the playback is taken up again on the open device and the blocks they
        // left idle are prepared and started once more, so all five keep the device fed.
        if (!moreData_ && resumable_ && device_ != 0 && !s_.StopFlag &&
            UpperBound(s_.SpeechBuffer) != 0) {
          const bool resumed = !s_.Playing;
          s_.Playing = true;
          AppendToPlayBuffer();
          if (resumed) RestartIdleBlocks(header);
        }
        if (moreData_) {
          const std::int32_t remaining = totalBytes_ - fedBytes_;
          const std::int32_t piece = std::min(blockSize_, remaining);
          header->dwBufferLength = static_cast<std::uint32_t>(piece);
          std::memcpy(header->lpData, playBuffer_.data() + fedBytes_ / 2,
                      static_cast<std::size_t>(piece));
          fedBytes_ += piece;
          if (blockSize_ >= remaining) {
            moreData_ = false;
            if (UpperBound(s_.SpeechBuffer) != 0) {
              AppendToPlayBuffer();
              moreData_ = true;
            }
          }
          lastResult_ = waveOut_.Write(device_, header, kHeaderSize);
          if (lastResult_ != MMSYSERR_NOERROR) {
            // The chain of notices is broken: end this playback instead of waiting for ever.
            moreData_ = false;
            FinishPlayback();
          }
        } else {
          FinishPlayback();
        }
      } catch (const std::exception&) {
        // The rest of the handling is skipped; the message still goes on.
      }
    }
  }
  return platform::CallWindowProc(previousProc_, window, message, wParam, lParam);
}

void WaveOutput::RestartIdleBlocks(const WaveHdr* current) {
  for (WaveHdr& h : headers_) {
    if (&h == current || (h.dwFlags & WHDR_INQUEUE)) continue;
    if (!(h.dwFlags & platform::WHDR_PREPARED)) {
      if (waveOut_.PrepareHeader(device_, &h, kHeaderSize) != MMSYSERR_NOERROR) continue;
    }
    loop_.PostMessage(waveWindow_, MM_WOM_DONE, 0, reinterpret_cast<platform::LParam>(&h));
  }
}

void WaveOutput::FinishPlayback() {
  if (device_ != 0) {
    bool queued = false;
    for (WaveHdr& h : headers_) {
      waveOut_.UnprepareHeader(device_, &h, kHeaderSize);
      if (h.dwFlags & WHDR_INQUEUE) queued = true;
    }
    if (!queued) {
      lastResult_ = waveOut_.Close(device_);
      if (lastResult_ == MMSYSERR_NOERROR) device_ = 0;
    }
  }
  s_.Playing = false;
}

void WaveOutput::AppendToPlayBuffer() {
  if (!s_.Playing || UpperBound(s_.SpeechBuffer) == 0) return;
  // The part already fed is dropped, so a long text does not make the buffer grow.
  const std::int32_t fedSamples = std::min(fedBytes_ / 2, UpperBound(playBuffer_));
  playBuffer_.erase(playBuffer_.begin(), playBuffer_.begin() + fedSamples);
  totalBytes_ -= 2 * fedSamples;
  fedBytes_ -= 2 * fedSamples;

  const std::int32_t n = 2 * UpperBound(s_.SpeechBuffer);
  totalBytes_ += n;
  const std::int32_t old = UpperBound(playBuffer_);
  playBuffer_.resize(static_cast<std::size_t>(old + UpperBound(s_.SpeechBuffer)) + 1);
  std::memcpy(playBuffer_.data() + old, s_.SpeechBuffer.data(), static_cast<std::size_t>(n));
  playBuffer_.back() = 0;
  s_.Playing = true;
  moreData_ = true;
  s_.SpeechBuffer = EmptySamples();
}

void WaveOutput::StopSpeech() {
  s_.StopFlag = true;
  moreData_ = false;
  resumable_ = false;  // what is still queued belongs to the stopped speech
  s_.Playing = false;
  s_.SpeechText.clear();
  s_.SpeechPos = 1;
  // The notices the reset returns find MoreData clear and close the device.
  if (options_.ResetOnStop && device_ != 0) lastResult_ = waveOut_.Reset(device_);
}

void WaveOutput::RenderWord() {
  if (s_.StopFlag || UpperBound(s_.SpeechBuffer) >= 1 || s_.CurrentWord.empty()) return;
  std::u16string units = renderer_.WordToUnits(s_.CurrentWord, s_.PauseClass);
  std::int32_t pause = 0;
  if (s_.WordSeparation > 0 && !units.empty()) pause = s_.WordSeparation;
  switch (s_.PauseClass) {
    case 1:
    case 2:
      pause = pause + 70 - 2 * s_.Tempo;
      break;
    case 3:
      pause = pause + 40 - 2 * s_.Tempo;
      break;
    default:
      break;
  }
  if (pause > 0) {
    const std::string digits = std::to_string(pause);
    units += u" -,";
    units.append(digits.begin(), digits.end());
    units += u",0";
  }
  s_.SpeechBuffer = renderer_.Synthesize(units);
  if (s_.SpeechBuffer.empty()) s_.SpeechBuffer = EmptySamples();
  s_.CurrentWord.clear();
}

void WaveOutput::FetchNextWord() {
  quellon::FetchNextWord(s_);
}

void WaveOutput::PumpSpeech() {
  try {
    StartPlayback();
    RenderWord();
    FetchNextWord();
  } catch (const std::exception&) {
    // A failing step ends this timer step; the next one tries again.
  }
}

}  // namespace quellon
