// The accessibility event library: installs the system's event hooks for the events the screen
// reader acts on, hands each one to the program's callback on the thread that installed it, and
// keeps track of the object that last received focus so its children and location can be asked
// for later.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/accessibility.h"
#include "platform/event_loop.h"
#include "platform/window_system.h"

namespace quellon::reader {

// The program's callback: event, window, object id, child id, as the system gave them.
using AccessibleEventCallback = std::function<void(std::uint32_t event, platform::Hwnd hwnd,
                                                   std::int32_t idObject, std::int32_t idChild)>;

class EventHookLibrary {
 public:
  // The events delivered (all others are never hooked): foreground, menu end, switch end, focus,
  // selection and value change.
  static constexpr std::array<std::uint32_t, 6> kEvents = {
      platform::EVENT_SYSTEM_FOREGROUND, platform::EVENT_SYSTEM_MENUEND,
      platform::EVENT_SYSTEM_SWITCHEND,  platform::EVENT_OBJECT_FOCUS,
      platform::EVENT_OBJECT_SELECTION,  platform::EVENT_OBJECT_VALUECHANGE};

  // A focus or selection event for a window that is not visible yet is held this long at most,
  // looked at every kHoldPollMs, and delivered as soon as the window shows (and, when another
  // program's window is active, as soon as it is the active window).
  static constexpr std::uint32_t kHoldPollMs = 50;
  static constexpr std::uint32_t kHoldLimitMs = 1000;

  // With an event loop the library also mends two gaps in what the system reports (see OnEvent);
  // without one it hands on exactly the events it gets.
  EventHookLibrary(platform::Accessibility& access, platform::WindowSystem& windows,
                   platform::EventLoop* loop = nullptr)
      : access_(access), windows_(windows), loop_(loop) {}
  ~EventHookLibrary();
  EventHookLibrary(const EventHookLibrary&) = delete;
  EventHookLibrary& operator=(const EventHookLibrary&) = delete;

  // InstallEventHook(hwnd, 0, 0, callback): with a window and a callback, (re)starts delivering
  // the events above to the callback (a second install replaces the first, so no event arrives
  // twice); the callback runs on the thread that called this. Any call without both a window and
  // a callback, such as the all-zero one, stops delivery. `reserved1` and `reserved2` are not
  // used. Returns 1 when every hook was installed; 0 when some or all could not be (those that
  // could stay in place, so the program hears what the system can deliver) or after stopping.
  std::int32_t InstallEventHook(platform::Hwnd hwnd, std::int32_t reserved1, std::int32_t reserved2,
                                AccessibleEventCallback callback);
  bool Installed() const { return !hooks_.empty(); }

  // GetActiveObjectChildren: the number of children of the object that last received focus (the
  // last focus or selection event in a visible window, read now). 0 when no such event came, the
  // object has gone or does not tell, and for a simple element (which has no children).
  std::int32_t GetActiveObjectChildren();
  // GetActiveObjectLocation: that object's screen rectangle in pixels. True on success; false,
  // with all four 0, when there is no such object or it gives no location.
  bool GetActiveObjectLocation(std::int32_t& left, std::int32_t& top, std::int32_t& width,
                               std::int32_t& height);

 private:
  void Stop();
  void OnEvent(const platform::WinEvent& e);
  void Deliver(const platform::WinEvent& e);
  void Hold(const platform::WinEvent& e);
  // The active window of the foreground thread, or, when there is none at the moment, the
  // top-level window of `focused` (0 when its parent chain is deeper than kMaxWindowDepth).
  platform::Hwnd ActiveWindowFor(platform::Hwnd focused);
  // The top-level window of `w` (0 when its parent chain is deeper than kMaxWindowDepth).
  platform::Hwnd TopLevelOf(platform::Hwnd w);
  // True while the top-level window of `focused` is not the active window yet but a window of
  // another thread is.
  bool AwaitsActivation(platform::Hwnd focused);
  static constexpr int kMaxWindowDepth = 64;
  void DropHeld();
  void PollHeld();
  platform::AccessibleChild ActiveObject();

  platform::Accessibility& access_;
  platform::WindowSystem& windows_;
  platform::EventLoop* loop_;
  std::vector<platform::WinEventHook> hooks_;
  // Shared so that a callback that reinstalls or removes the hook while it runs is not destroyed
  // under its own feet.
  std::shared_ptr<const AccessibleEventCallback> callback_;
  struct Active {
    platform::Hwnd hwnd = 0;
    std::int32_t idObject = 0;
    std::int32_t idChild = 0;
    bool known = false;
  } active_;
  // The window the last foreground event named (or that was named for it).
  platform::Hwnd foreground_ = 0;
  // The focus event waiting for its window to show.
  std::optional<platform::WinEvent> held_;
  std::uint32_t heldFor_ = 0;
  platform::TimerId holdTimer_ = 0;
};

}  // namespace quellon::reader
