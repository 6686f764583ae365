#include "platform/win32/win32_event_loop.h"

#include <algorithm>
#include <vector>

// The system headers after the ports: their macros (PostMessage, WHDR_DONE, ...) would clash
// with the ports' names; the two that are used as names are undone.
#include <windows.h>
#undef PostMessage
#undef CallWindowProc

namespace quellon::platform {
namespace {
thread_local Win32EventLoop* currentLoop = nullptr;
constexpr wchar_t kClassName[] = L"QuellonHiddenWindow";

void CALLBACK TimerThunk(HWND, UINT, UINT_PTR id, DWORD) {
  if (Win32EventLoop* loop = Win32EventLoop::Current()) loop->OnTimer(id);
}

LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Win32EventLoop* loop = Win32EventLoop::Current()) {
    bool handled = false;
    const LResult result =
        loop->OnMessage(reinterpret_cast<Hwnd>(hwnd), message, wParam, lParam, handled);
    if (handled) return result;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LResult DefaultProc(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
  return DefWindowProcW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}
}  // namespace

Win32EventLoop::Win32EventLoop() {
  currentLoop = this;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowThunk;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when a previous loop registered it
}

Win32EventLoop::~Win32EventLoop() {
  for (const auto& [id, proc] : timers_) ::KillTimer(nullptr, id);
  for (const auto& [window, proc] : windows_) ::DestroyWindow(reinterpret_cast<HWND>(window));
  if (currentLoop == this) currentLoop = nullptr;
}

Win32EventLoop* Win32EventLoop::Current() {
  return currentLoop;
}

TimerId Win32EventLoop::SetTimer(std::uint32_t periodMs, TimerProc proc) {
  if (!proc) return 0;
  const UINT_PTR id = ::SetTimer(nullptr, 0, periodMs, TimerThunk);
  if (id != 0) timers_[id] = std::move(proc);
  return id;
}

bool Win32EventLoop::KillTimer(TimerId id) {
  timers_.erase(id);
  return ::KillTimer(nullptr, id) != 0;
}

void Win32EventLoop::OnTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  TimerProc proc = it->second;  // the callback may kill its own timer
  proc();
}

Hwnd Win32EventLoop::CreateHiddenWindow() {
  // A message-only window: never shown, never in the way of the desktop, and it receives the
  // messages posted to it.
  HWND hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) return 0;
  windows_[reinterpret_cast<Hwnd>(hwnd)] = WindowProc{};
  return reinterpret_cast<Hwnd>(hwnd);
}

void Win32EventLoop::DestroyWindow(Hwnd window) {
  windows_.erase(window);
  ::DestroyWindow(reinterpret_cast<HWND>(window));
}

WindowProc Win32EventLoop::SetWindowProc(Hwnd window, WindowProc proc) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  WindowProc previous = std::move(it->second);
  it->second = std::move(proc);
  if (!previous) previous = DefaultProc;
  return previous;
}

LResult Win32EventLoop::OnMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
                                  bool& handled) {
  auto it = windows_.find(window);
  if (it == windows_.end() || !it->second) return 0;
  handled = true;
  WindowProc proc = it->second;
  return proc(window, message, wParam, lParam);
}

bool Win32EventLoop::PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != 0;
}

bool Win32EventLoop::RemovePostedMessage(Hwnd window, std::uint32_t message, WParam& wParam,
                                         LParam& lParam) {
  MSG msg;
  // The window is given: a null HWND would also take thread messages (and window 0 is none).
  if (window == 0 ||
      !PeekMessageW(&msg, reinterpret_cast<HWND>(window), message, message, PM_REMOVE)) {
    return false;
  }
  wParam = msg.wParam;
  lParam = msg.lParam;
  return true;
}

namespace {

thread_local std::vector<HWND> modelessDialogs;

// True when a modeless dialog took the message.
bool DialogTook(MSG& msg) {
  for (HWND dialog : modelessDialogs) {
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return true;
  }
  return false;
}

}  // namespace

void Win32EventLoop::AddModelessDialog(Hwnd dialog) {
  HWND hwnd = reinterpret_cast<HWND>(dialog);
  if (std::find(modelessDialogs.begin(), modelessDialogs.end(), hwnd) == modelessDialogs.end()) {
    modelessDialogs.push_back(hwnd);
  }
}

void Win32EventLoop::RemoveModelessDialog(Hwnd dialog) {
  HWND hwnd = reinterpret_cast<HWND>(dialog);
  modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), hwnd),
                        modelessDialogs.end());
}

void Win32EventLoop::PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop
      return;
    }
    if (DialogTook(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Win32EventLoop::RunUntil(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return false;
    if (DialogTook(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32EventLoop::QuitLoop() {
  PostQuitMessage(0);
}

}  // namespace quellon::platform
