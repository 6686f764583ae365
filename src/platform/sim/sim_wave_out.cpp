#include "platform/sim/sim_wave_out.h"

namespace quellon::platform {

SimWaveOut::~SimWaveOut() {
  for (const Pending& p : pending_) sim_.Cancel(p.event);
}

SimWaveOut::Micros SimWaveOut::TimeOf(std::int64_t sampleCount) const {
  // Rounded up: a sample has played only when its whole period has passed.
  return streamStart_ + (sampleCount * 1000000 + rate_ - 1) / rate_;
}

SimWaveOut::Micros SimWaveOut::PlaysUntil() const {
  return pending_.empty() ? sim_.Now() : pending_.back().end;
}

MmResult SimWaveOut::DeviceOpen(const WaveFormatEx& format) {
  const MmResult result = failOpen_;
  failOpen_ = MMSYSERR_NOERROR;
  if (result != MMSYSERR_NOERROR) return result;
  rate_ = format.nSamplesPerSec;
  return MMSYSERR_NOERROR;
}

void SimWaveOut::DeviceWrite(std::span<const std::int16_t> samples) {
  if (firstWrite_ < 0) firstWrite_ = sim_.Now();
  if (pending_.empty() || pending_.back().end < sim_.Now()) {
    // Nothing sounds: a new stretch starts now.
    streamStart_ = sim_.Now();
    streamSamples_ = 0;
  }
  Pending p;
  p.samples.assign(samples.begin(), samples.end());
  p.start = TimeOf(streamSamples_);
  streamSamples_ += static_cast<std::int64_t>(samples.size());
  p.end = TimeOf(streamSamples_);
  p.event = sim_.ScheduleAt(p.end, [this] { Finish(); });
  pending_.push_back(std::move(p));
}

void SimWaveOut::Finish() {
  if (pending_.empty()) return;
  Pending p = std::move(pending_.front());
  pending_.pop_front();
  blocks_.push_back(PlayedBlock{p.start, p.end, played_.size(), p.samples.size(), false});
  played_.insert(played_.end(), p.samples.begin(), p.samples.end());
  CompleteOldestBlock();
}

void SimWaveOut::DeviceReset() {
  const Micros now = sim_.Now();
  for (const Pending& p : pending_) {
    sim_.Cancel(p.event);
    if (p.start >= now) continue;
    // The part of this block that had played when the device was reset.
    const std::size_t n = std::min<std::size_t>(
        p.samples.size(), static_cast<std::size_t>((now - p.start) * rate_ / 1000000));
    blocks_.push_back(PlayedBlock{p.start, now, played_.size(), n, true});
    played_.insert(played_.end(), p.samples.begin(), p.samples.begin() + n);
  }
  pending_.clear();
  streamSamples_ = 0;
  streamStart_ = now;
}

std::vector<SimWaveOut::Micros> SimWaveOut::Gaps() const {
  std::vector<Micros> gaps;
  for (std::size_t i = 1; i < blocks_.size(); ++i) {
    if (blocks_[i].start > blocks_[i - 1].end)
      gaps.push_back(blocks_[i].start - blocks_[i - 1].end);
  }
  return gaps;
}

void SimWaveOut::ClearRecord() {
  played_.clear();
  blocks_.clear();
  firstWrite_ = -1;
}

}  // namespace quellon::platform
