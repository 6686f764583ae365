// The accessibility port on oleacc (MSAA) and the WinEvent hook.
//
// Blocking: obtaining an object from a window sends WM_GETOBJECT through SendMessageTimeout
// (SMTO_ABORTIFHUNG, the reader's short bound) and then unmarshals the answer, so a hung program
// gives no object instead of a frozen reader. Every later call on an object first checks that
// the window it came from is not hung (IsHungAppWindow); a call on a cross-process object runs
// through COM on this thread, which keeps dispatching sent messages (hook callbacks) while it
// waits. A message filter registered for this thread cancels a call that has waited one second
// (a program that stops answering in the middle of a call) and remembers the program's thread
// as not answering, so the calls after it are refused at once until it answers a ping again
// (win32::IsHung). COM asks the filter only when a message arrives, so a watchdog thread posts
// one to a call that has run past its bound and remembers the program as not answering itself;
// a quarter second later, if the call still has not ended (Wine's COM waits on for the reply of
// a cancelled call), it cancels the RPC call of the thread that waits for that reply. All MSAA
// calls are made from the main thread only.
//
// WinEvent callbacks: the system delivers an out-of-context event whenever this thread waits,
// including inside another callback's cross-process call. Events are therefore queued and handed
// out one at a time, in order: a callback is never re-entered; events that arrive while it runs
// are delivered after it returns.
#pragma once

#include <deque>
#include <map>
#include <thread>
#include <utility>

#include "platform/accessibility.h"

namespace quellon::platform {

class Win32Accessibility : public Accessibility {
 public:
  Win32Accessibility();  // initialises COM (single-threaded apartment) on this thread
  ~Win32Accessibility() override;
  Win32Accessibility(const Win32Accessibility&) = delete;
  Win32Accessibility& operator=(const Win32Accessibility&) = delete;

  AccessibleChild ObjectFromEvent(Hwnd w, std::int32_t idObject, std::int32_t idChild) override;
  AccessiblePtr ObjectFromWindow(Hwnd w, std::int32_t idObject) override;
  AccessibleChild ObjectFromPoint(std::int32_t x, std::int32_t y) override;
  Hwnd WindowFromObject(const AccessiblePtr& object) override;
  std::u16string RoleText(std::int32_t role) override;
  std::u16string StateText(std::uint32_t stateBit) override;
  WinEventHook SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                               WinEventProc proc) override;
  bool UnhookWinEvent(WinEventHook hook) override;

  // Used by the system callback.
  void OnWinEvent(WinEventHook hook, const WinEvent& event);

 private:
  std::map<WinEventHook, WinEventProc> hooks_;
  std::deque<std::pair<WinEventHook, WinEvent>> pending_;
  bool delivering_ = false;
  bool comInitialised_ = false;
  bool filterRegistered_ = false;
  void* previousFilter_ = nullptr;  // the thread's message filter before ours (IMessageFilter*)
  void* stopWatchdog_ = nullptr;    // event (HANDLE) that ends the watchdog thread
  std::thread watchdog_;
};

}  // namespace quellon::platform
