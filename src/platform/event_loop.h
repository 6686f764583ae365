// The event-loop port: everything on one thread, driven by thread timers and messages posted to
// windows, in the shape of the Windows message loop (SetTimer with no window, PostMessage,
// window procedures that can be replaced, a nested pump).
#pragma once

#include <cstdint>
#include <functional>

namespace quellon::platform {

using Hwnd = std::uintptr_t;  // window handle; 0 is no window
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using TimerId = std::uintptr_t;  // 0 is no timer

using WindowProc = std::function<LResult(Hwnd, std::uint32_t message, WParam, LParam)>;
using TimerProc = std::function<void()>;

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // A thread timer with no window (SetTimer(NULL, 0, period, proc)): `proc` runs on the loop's
  // thread every `periodMs` milliseconds, after the posted messages that are already waiting.
  // Returns 0 when no timer could be made.
  virtual TimerId SetTimer(std::uint32_t periodMs, TimerProc proc) = 0;
  virtual bool KillTimer(TimerId id) = 0;

  // A window that is never shown, with the default window procedure (which returns 0).
  virtual Hwnd CreateHiddenWindow() = 0;
  virtual void DestroyWindow(Hwnd window) = 0;
  // Replaces the window procedure and returns the one it replaced (empty for the default one).
  // Returns an empty procedure and changes nothing when `window` does not exist.
  virtual WindowProc SetWindowProc(Hwnd window, WindowProc proc) = 0;

  // Queues a message for `window`; may be called from any thread. False when the window does
  // not exist.
  virtual bool PostMessage(Hwnd window, std::uint32_t message, WParam wParam, LParam lParam) = 0;

  // PeekMessage(window, message, message, PM_REMOVE) without dispatching: takes the oldest
  // waiting `message` posted to `window` off the queue and gives its parameters. False, with
  // the outputs unchanged, when none is waiting. A loop that cannot look into its queue finds
  // none.
  virtual bool RemovePostedMessage(Hwnd window, std::uint32_t message, WParam& wParam,
                                   LParam& lParam) {
    (void)window;
    (void)message;
    (void)wParam;
    (void)lParam;
    return false;
  }

  // The nested pump: dispatches every posted message and due timer without waiting.
  virtual void PumpPending() = 0;
  // Dispatches messages and timers, waiting for them, until `done()` is true (checked before
  // every wait) or QuitLoop is called. Returns false when it ended by QuitLoop.
  virtual bool RunUntil(const std::function<bool()>& done) = 0;
  virtual void QuitLoop() = 0;
};

// Calls a window procedure returned by SetWindowProc; the empty one is the default procedure.
inline LResult CallWindowProc(const WindowProc& proc, Hwnd window, std::uint32_t message,
                              WParam wParam, LParam lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

}  // namespace quellon::platform
