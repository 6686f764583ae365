// The Windows event loop: thread timers (SetTimer with no window), message-only windows whose
// procedure can be replaced, PostMessage, and the GetMessage / PeekMessage pumps. One loop per
// thread.
#pragma once

#include <map>
#include <unordered_map>

#include "platform/event_loop.h"

namespace quellon::platform {

class Win32EventLoop : public EventLoop {
 public:
  Win32EventLoop();
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) override;
  bool KillTimer(TimerId id) override;
  Hwnd CreateHiddenWindow() override;
  void DestroyWindow(Hwnd window) override;
  WindowProc SetWindowProc(Hwnd window, WindowProc proc) override;
  bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) override;
  bool RemovePostedMessage(Hwnd window, std::uint32_t message, WParam& wParam,
                           LParam& lParam) override;
  void PumpPending() override;
  bool RunUntil(const std::function<bool()>& done) override;
  void QuitLoop() override;

  // Modeless dialogs of this thread: the pumps hand their messages to IsDialogMessage, so Tab,
  // the arrows, Enter and Escape work in them.
  static void AddModelessDialog(Hwnd dialog);
  static void RemoveModelessDialog(Hwnd dialog);

  // Used by the system callbacks.
  static Win32EventLoop* Current();
  void OnTimer(TimerId id);
  LResult OnMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam,
                    bool& handled);

 private:
  std::map<TimerId, TimerProc> timers_;
  std::unordered_map<Hwnd, WindowProc> windows_;  // empty procedure: DefWindowProc
};

}  // namespace quellon::platform
