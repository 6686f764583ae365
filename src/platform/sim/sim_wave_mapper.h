// The wave mapper of the simulated desktop: several simulated devices behind one port. An
// opening of WAVE_MAPPER takes the first device that is free, as the system's mapper lets a
// program hold more than one opening at a time; device id i opens device i itself. Handles are
// the mapper's own, so openings of different devices never share one.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "platform/sim/sim_wave_out.h"

namespace quellon::platform {

class SimWaveMapper : public WaveOut {
 public:
  SimWaveMapper(SimEventLoop& loop, std::size_t devices);

  SimWaveOut& Device(std::size_t index) { return *devices_.at(index); }
  std::size_t DeviceCount() const { return devices_.size(); }

  // Every opening that succeeded, in order: the device it went to and its format.
  struct Opening {
    std::size_t device = 0;
    WaveFormatEx format;
  };
  const std::vector<Opening>& Openings() const { return openings_; }
  // Openings not closed yet.
  std::size_t OpenCount() const { return routes_.size(); }

  MmResult Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format, Hwnd callback,
                std::uintptr_t instance, std::uint32_t flags) override;
  MmResult PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Reset(HWaveOut handle) override;
  MmResult Close(HWaveOut handle) override;
  std::string GetErrorText(MmResult result) override { return MmResultText(result); }

 private:
  struct Route {
    std::size_t device = 0;
    HWaveOut handle = 0;  // the device's own handle
  };
  MmResult OpenOn(std::size_t device, HWaveOut* handle, const WaveFormatEx& format, Hwnd callback,
                  std::uintptr_t instance, std::uint32_t flags);
  const Route* Find(HWaveOut handle) const;

  std::vector<std::unique_ptr<SimWaveOut>> devices_;
  std::map<HWaveOut, Route> routes_;
  std::vector<Opening> openings_;
  HWaveOut nextHandle_ = 0x7001;
};

}  // namespace quellon::platform
