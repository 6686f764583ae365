// The accessibility event hook of the screen reader: installed at startup with the focus tracker
// as its callback, removed at shutdown (and on request of the automation class).
#pragma once

#include "platform/event_loop.h"
#include "reader/event_hook_library.h"
#include "reader/focus_tracking.h"

namespace quellon::reader {

class AccessibilityHook {
 public:
  virtual ~AccessibilityHook() = default;
  virtual void InstallAccessibilityHook() = 0;
  virtual void RemoveAccessibilityHook() = 0;
};

// No hook: no event arrives.
class NullAccessibilityHook final : public AccessibilityHook {
 public:
  void InstallAccessibilityHook() override {}
  void RemoveAccessibilityHook() override {}
};

// The hook through the event library, delivering every event to the focus tracker.
class EventLibraryHook final : public AccessibilityHook {
 public:
  // `owner` is the window the library's hooks belong to (the main window).
  EventLibraryHook(EventHookLibrary& library, platform::Hwnd owner, FocusAnnouncer& focus)
      : library_(library), owner_(owner), focus_(focus) {}
  void InstallAccessibilityHook() override {
    FocusAnnouncer* focus = &focus_;
    library_.InstallEventHook(owner_, 0, 0,
                              [focus](std::uint32_t event, platform::Hwnd hwnd,
                                      std::int32_t idObject, std::int32_t idChild) {
                                focus->OnAccessibleEvent(event, hwnd, idObject, idChild);
                              });
  }
  void RemoveAccessibilityHook() override { library_.InstallEventHook(0, 0, 0, nullptr); }

 private:
  EventHookLibrary& library_;
  platform::Hwnd owner_;
  FocusAnnouncer& focus_;
};

}  // namespace quellon::reader
