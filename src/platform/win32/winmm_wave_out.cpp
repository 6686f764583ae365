#include "platform/win32/winmm_wave_out.h"

// The system headers after the ports: their macros (PostMessage, WHDR_DONE, ...) would clash
// with the ports' names; the two that are used as names are undone.
#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>
#undef PostMessage
#undef CallWindowProc

#include <cstddef>

namespace quellon::platform {
namespace {
static_assert(sizeof(WaveHdr) == sizeof(WAVEHDR));
static_assert(offsetof(WaveHdr, lpData) == offsetof(WAVEHDR, lpData));
static_assert(offsetof(WaveHdr, dwBufferLength) == offsetof(WAVEHDR, dwBufferLength));
static_assert(offsetof(WaveHdr, dwUser) == offsetof(WAVEHDR, dwUser));
static_assert(offsetof(WaveHdr, dwFlags) == offsetof(WAVEHDR, dwFlags));
static_assert(offsetof(WaveHdr, lpNext) == offsetof(WAVEHDR, lpNext));
// (the system's WHDR_*, MM_WOM_DONE and CALLBACK_WINDOW are macros here with the ports' values)
static_assert(WHDR_DONE == 1 && WHDR_PREPARED == 2 && WHDR_INQUEUE == 16);
static_assert(MM_WOM_DONE == 0x3BD && CALLBACK_WINDOW == 0x10000);

HWAVEOUT H(HWaveOut h) {
  return reinterpret_cast<HWAVEOUT>(h);
}
LPWAVEHDR Hdr(WaveHdr* h) {
  return reinterpret_cast<LPWAVEHDR>(h);
}
}  // namespace

MmResult WinmmWaveOut::Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format,
                            Hwnd callback, std::uintptr_t instance, std::uint32_t flags) {
  WAVEFORMATEX wfx{};
  wfx.wFormatTag = format.wFormatTag;
  wfx.nChannels = format.nChannels;
  wfx.nSamplesPerSec = format.nSamplesPerSec;
  wfx.nAvgBytesPerSec = format.nAvgBytesPerSec;
  wfx.nBlockAlign = format.nBlockAlign;
  wfx.wBitsPerSample = format.wBitsPerSample;
  wfx.cbSize = format.cbSize;
  HWAVEOUT h = nullptr;
  const MMRESULT r = waveOutOpen(&h, deviceId, &wfx, callback, instance, flags);
  if (handle != nullptr) *handle = r == MMSYSERR_NOERROR ? reinterpret_cast<HWaveOut>(h) : 0;
  return r;
}

MmResult WinmmWaveOut::PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  return waveOutPrepareHeader(H(handle), Hdr(header), size);
}
MmResult WinmmWaveOut::UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  return waveOutUnprepareHeader(H(handle), Hdr(header), size);
}
MmResult WinmmWaveOut::Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) {
  return waveOutWrite(H(handle), Hdr(header), size);
}
MmResult WinmmWaveOut::Reset(HWaveOut handle) {
  return waveOutReset(H(handle));
}
MmResult WinmmWaveOut::Close(HWaveOut handle) {
  return waveOutClose(H(handle));
}

std::string WinmmWaveOut::GetErrorText(MmResult result) {
  char text[MAXERRORLENGTH] = {};
  if (waveOutGetErrorTextA(result, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) {
    return MmResultText(result);
  }
  return text;
}

}  // namespace quellon::platform
