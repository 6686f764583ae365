#include "platform/sim/sim_wave_mapper.h"

namespace quellon::platform {

SimWaveMapper::SimWaveMapper(SimEventLoop& loop, std::size_t devices) {
  for (std::size_t i = 0; i < devices; ++i) devices_.push_back(std::make_unique<SimWaveOut>(loop));
}

MmResult SimWaveMapper::Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format,
                             Hwnd callback, std::uintptr_t instance, std::uint32_t flags) {
  if (handle == nullptr) return MMSYSERR_INVALPARAM;
  if (deviceId != WAVE_MAPPER) {
    if (deviceId >= devices_.size()) return MMSYSERR_BADDEVICEID;
    return OpenOn(deviceId, handle, format, callback, instance, flags);
  }
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const MmResult result = OpenOn(i, handle, format, callback, instance, flags);
    if (result != MMSYSERR_ALLOCATED) return result;
  }
  return devices_.empty() ? MMSYSERR_NODRIVER : MMSYSERR_ALLOCATED;
}

MmResult SimWaveMapper::OpenOn(std::size_t device, HWaveOut* handle, const WaveFormatEx& format,
                               Hwnd callback, std::uintptr_t instance, std::uint32_t flags) {
  HWaveOut own = 0;
  const MmResult result = devices_[device]->Open(&own, 0, format, callback, instance, flags);
  if (result != MMSYSERR_NOERROR) return result;
  const HWaveOut mine = nextHandle_++;
  routes_[mine] = Route{device, own};
  openings_.push_back(Opening{device, format});
  *handle = mine;
  return MMSYSERR_NOERROR;
}

const SimWaveMapper::Route* SimWaveMapper::Find(HWaveOut handle) const {
  auto it = routes_.find(handle);
  return it == routes_.end() ? nullptr : &it->second;
}

MmResult SimWaveMapper::PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  const Route* r = Find(handle);
  return r ? devices_[r->device]->PrepareHeader(r->handle, header, size) : MMSYSERR_INVALHANDLE;
}

MmResult SimWaveMapper::UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  const Route* r = Find(handle);
  return r ? devices_[r->device]->UnprepareHeader(r->handle, header, size) : MMSYSERR_INVALHANDLE;
}

MmResult SimWaveMapper::Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  const Route* r = Find(handle);
  return r ? devices_[r->device]->Write(r->handle, header, size) : MMSYSERR_INVALHANDLE;
}

MmResult SimWaveMapper::Reset(HWaveOut handle) {
  const Route* r = Find(handle);
  return r ? devices_[r->device]->Reset(r->handle) : MMSYSERR_INVALHANDLE;
}

MmResult SimWaveMapper::Close(HWaveOut handle) {
  const Route* r = Find(handle);
  if (!r) return MMSYSERR_INVALHANDLE;
  const MmResult result = devices_[r->device]->Close(r->handle);
  if (result == MMSYSERR_NOERROR) routes_.erase(handle);
  return result;
}

}  // namespace quellon::platform
