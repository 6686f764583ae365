#include "platform/wave_out_device.h"

#include <cstring>
#include <vector>

namespace quellon::platform {

MmResult WaveOutDevice::Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format,
                             Hwnd callback, std::uintptr_t /*instance*/, std::uint32_t flags) {
  if (handle == nullptr) return MMSYSERR_INVALPARAM;
  if (deviceId != 0 && deviceId != 0xFFFFFFFFu) return MMSYSERR_BADDEVICEID;
  const std::uint32_t callbackKind = flags & 0x70000u;
  if (callbackKind != CALLBACK_WINDOW && callbackKind != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
  if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 1 ||
      format.wBitsPerSample != 16 || format.nBlockAlign != 2 || format.nSamplesPerSec == 0) {
    return WAVERR_BADFORMAT;
  }
  if (open_) return MMSYSERR_ALLOCATED;  // one stream at a time
  const MmResult result = DeviceOpen(format);
  if (result != MMSYSERR_NOERROR) return result;
  open_ = true;
  handle_ = nextHandle_++;
  callback_ = callbackKind == CALLBACK_WINDOW ? callback : 0;
  ++openCount_;
  *handle = handle_;
  Notify(MM_WOM_OPEN, nullptr);
  return MMSYSERR_NOERROR;
}

MmResult WaveOutDevice::PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  if (!Valid(handle)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || size < sizeof(WaveHdr)) return MMSYSERR_INVALPARAM;
  if (header->lpData == nullptr && header->dwBufferLength != 0) return MMSYSERR_INVALPARAM;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult WaveOutDevice::UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  if (!Valid(handle)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || size < sizeof(WaveHdr)) return MMSYSERR_INVALPARAM;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult WaveOutDevice::Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  if (!Valid(handle)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || size < sizeof(WaveHdr)) return MMSYSERR_INVALPARAM;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_DONE;
  header->dwFlags |= WHDR_INQUEUE;
  queue_.push_back(header);
  // Whole samples only; an odd trailing byte is not played.
  std::vector<std::int16_t> samples(header->dwBufferLength / 2);
  if (!samples.empty()) std::memcpy(samples.data(), header->lpData, samples.size() * 2);
  DeviceWrite(samples);
  return MMSYSERR_NOERROR;
}

MmResult WaveOutDevice::Reset(HWaveOut handle) {
  if (!Valid(handle)) return MMSYSERR_INVALHANDLE;
  DeviceReset();
  while (!queue_.empty()) CompleteOldestBlock();
  return MMSYSERR_NOERROR;
}

MmResult WaveOutDevice::Close(HWaveOut handle) {
  if (!Valid(handle)) return MMSYSERR_INVALHANDLE;
  if (!queue_.empty()) return WAVERR_STILLPLAYING;
  DeviceClose();
  Notify(MM_WOM_CLOSE, nullptr);
  open_ = false;
  handle_ = 0;
  return MMSYSERR_NOERROR;
}

void WaveOutDevice::CompleteOldestBlock() {
  if (queue_.empty()) return;
  WaveHdr* header = queue_.front();
  queue_.pop_front();
  header->dwFlags &= ~WHDR_INQUEUE;
  header->dwFlags |= WHDR_DONE;
  Notify(MM_WOM_DONE, header);
}

void WaveOutDevice::Notify(std::uint32_t message, WaveHdr* header) {
  if (callback_ == 0) return;  // CALLBACK_NULL: the header's flags are the only notice
  loop_.PostMessage(callback_, message, handle_, reinterpret_cast<LParam>(header));
}

}  // namespace quellon::platform
