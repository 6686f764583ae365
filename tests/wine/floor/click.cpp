// quellon-click: the floor of the key-to-sound measurements. A program that does nothing but
// play a 10 ms click from its own low-level keyboard hook on every key press, on a wave-out
// device it opened at start and keeps open (22050 Hz, mono, 16 bits, the format Quellon speaks
// in). Whatever this takes from the key to the first sample is the system's share; the rest is
// Quellon's. Runs until it is ended (taskkill).
#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kClickSamples = kRate / 100;
constexpr std::size_t kBuffers = 8;  // a ring, so fast keys never wait for a buffer

HWAVEOUT g_out = nullptr;
std::vector<short> g_click;
std::array<WAVEHDR, kBuffers> g_headers{};
std::size_t g_next = 0;

LRESULT CALLBACK OnKey(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
    WAVEHDR& h = g_headers[g_next];
    if (!(h.dwFlags & WHDR_INQUEUE)) {
      waveOutWrite(g_out, &h, sizeof(h));
      g_next = (g_next + 1) % kBuffers;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A decaying 2 kHz click: never zero in its first samples, so its start is easy to find.
  for (int i = 0; i < kClickSamples; ++i) {
    const double v = std::sin(2 * 3.14159265358979 * 2000.0 * (i + 0.5) / kRate);
    g_click.push_back(
        static_cast<short>(12000.0 * v * (1.0 - static_cast<double>(i) / kClickSamples)));
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kRate * 2;
  if (waveOutOpen(&g_out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return 1;
  for (WAVEHDR& h : g_headers) {
    h.lpData = reinterpret_cast<LPSTR>(g_click.data());
    h.dwBufferLength = static_cast<DWORD>(g_click.size() * sizeof(short));
    waveOutPrepareHeader(g_out, &h, sizeof(h));
  }
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, instance, 0);
  if (hook == nullptr) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(hook);
  waveOutReset(g_out);
  for (WAVEHDR& h : g_headers) waveOutUnprepareHeader(g_out, &h, sizeof(h));
  waveOutClose(g_out);
  return 0;
}
