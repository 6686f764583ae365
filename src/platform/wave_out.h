// The wave-out port: waveOutOpen / PrepareHeader / Write / UnprepareHeader / Reset / Close with
// Windows' numbers and meanings. The caller owns the headers and the sample memory they point
// to; a device completes written blocks in order, marks each header WHDR_DONE and, when opened
// with CALLBACK_WINDOW, posts MM_WOM_DONE (lParam = the header) to the callback window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"

namespace quellon::platform {

using HWaveOut = std::uintptr_t;  // 0 is no device
using MmResult = std::uint32_t;

struct WaveFormatEx {
  std::uint16_t wFormatTag = 0;
  std::uint16_t nChannels = 0;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 0;
  std::uint16_t wBitsPerSample = 0;
  std::uint16_t cbSize = 0;
};

// The same fields, types and order as the system's WAVEHDR.
struct WaveHdr {
  char* lpData = nullptr;
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesRecorded = 0;
  std::uintptr_t dwUser = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwLoops = 0;
  WaveHdr* lpNext = nullptr;
  std::uintptr_t reserved = 0;
};

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
constexpr std::uint32_t WHDR_DONE = 1;
constexpr std::uint32_t WHDR_PREPARED = 2;
constexpr std::uint32_t WHDR_INQUEUE = 16;
constexpr std::uint32_t CALLBACK_NULL = 0;
constexpr std::uint32_t CALLBACK_WINDOW = 0x10000;
constexpr std::uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
constexpr std::uint32_t MM_WOM_OPEN = 0x3BB;
constexpr std::uint32_t MM_WOM_CLOSE = 0x3BC;
constexpr std::uint32_t MM_WOM_DONE = 0x3BD;

constexpr MmResult MMSYSERR_NOERROR = 0;
constexpr MmResult MMSYSERR_ERROR = 1;
constexpr MmResult MMSYSERR_BADDEVICEID = 2;
constexpr MmResult MMSYSERR_ALLOCATED = 4;
constexpr MmResult MMSYSERR_INVALHANDLE = 5;
constexpr MmResult MMSYSERR_NODRIVER = 6;
constexpr MmResult MMSYSERR_INVALFLAG = 10;
constexpr MmResult MMSYSERR_INVALPARAM = 11;
constexpr MmResult WAVERR_BADFORMAT = 32;
constexpr MmResult WAVERR_STILLPLAYING = 33;
constexpr MmResult WAVERR_UNPREPARED = 34;

class WaveOut {
 public:
  virtual ~WaveOut() = default;
  // Opens device `deviceId` (0 is the first device, WAVE_MAPPER any free one) for `format`.
  // With CALLBACK_WINDOW in `flags` the notices go to window `callback`; with CALLBACK_NULL
  // there are none and the caller watches the header's WHDR_DONE.
  virtual MmResult Open(HWaveOut* handle, std::uint32_t deviceId, const WaveFormatEx& format,
                        Hwnd callback, std::uintptr_t instance, std::uint32_t flags) = 0;
  virtual MmResult PrepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) = 0;
  // WAVERR_STILLPLAYING while the header is queued.
  virtual MmResult UnprepareHeader(HWaveOut handle, WaveHdr* header, std::uint32_t size) = 0;
  virtual MmResult Write(HWaveOut handle, WaveHdr* header, std::uint32_t size) = 0;
  // Stops at once and returns every queued block (each marked done, with its notice).
  virtual MmResult Reset(HWaveOut handle) = 0;
  // WAVERR_STILLPLAYING while any block is queued.
  virtual MmResult Close(HWaveOut handle) = 0;
  virtual std::string GetErrorText(MmResult result) = 0;
};

// The system's text for the common results, for the devices that have none of their own.
inline std::string MmResultText(MmResult result) {
  switch (result) {
    case MMSYSERR_NOERROR:
      return "The command completed successfully.";
    case MMSYSERR_BADDEVICEID:
      return "The device identifier is out of range.";
    case MMSYSERR_ALLOCATED:
      return "The device is already in use.";
    case MMSYSERR_INVALHANDLE:
      return "The device handle is invalid.";
    case MMSYSERR_NODRIVER:
      return "There is no driver installed on your system.";
    case MMSYSERR_INVALFLAG:
      return "An invalid flag was passed to a system function.";
    case MMSYSERR_INVALPARAM:
      return "An invalid parameter was passed to a system function.";
    case WAVERR_BADFORMAT:
      return "The specified format is not supported.";
    case WAVERR_STILLPLAYING:
      return "Still something playing.";
    case WAVERR_UNPREPARED:
      return "The header was not prepared.";
    default:
      return "Undetermined error.";
  }
}

}  // namespace quellon::platform
