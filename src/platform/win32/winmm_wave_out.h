// The system's wave-out device (winmm). The port's header has the system header's layout, so
// the calls map one to one and the device updates the caller's own flags.
#pragma once

#include "platform/wave_out.h"

namespace quellon::platform {

class WinmmWaveOut : public WaveOut {
 public:
  MmResult Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format, Hwnd callback,
                std::uintptr_t instance, std::uint32_t flags) override;
  MmResult PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) override;
  MmResult Reset(HWaveOut handle) override;
  MmResult Close(HWaveOut handle) override;
  std::string GetErrorText(MmResult result) override;
};

}  // namespace quellon::platform
