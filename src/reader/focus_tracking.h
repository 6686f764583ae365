// Focus tracking: the accessibility event callback fills the focus record of the program state,
// and the focus tick turns a recorded change into one announcement. The owner is told of every
// recorded change (focusChanged) and runs the tick as soon as the events queued with it are in;
// its 50 ms timer runs it as well, for the retries. Also the announcement
// of the active window at startup, the "Active control" command and the check-state word.
//
// The sentence of the tick: the window title when the window changed (with the dialog text for
// a push button), the object's name and value, then words by role (menu states, links, list
// views, tree items, check states); the role's sound cue plays first, the waiting greeting goes
// in front. Also object-by-object navigation through the walker's current object.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "access/item_list.h"
#include "access/object_walker.h"
#include "aids/frame_follower.h"
#include "aids/info_band.h"
#include "core/program_state.h"
#include "core/speech_output.h"
#include "platform/accessibility.h"
#include "platform/keyboard.h"
#include "platform/window_system.h"
#include "reader/caret_readers.h"
#include "reader/event_hook_library.h"
#include "reader/progress_value.h"
#include "strings/string_table.h"

namespace quellon::reader {

// What the main window asks of focus tracking.
class FocusAnnouncer {
 public:
  virtual ~FocusAnnouncer() = default;
  // The accessibility event callback: records the focus and raises the flags.
  virtual void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                                 std::int32_t idChild) = 0;
  // The focus tick: posted by the owner after a recorded change, and every 50 ms for the retries.
  virtual void FocusTick() = 0;
  // Startup: the title of the active window and the text of its dialog, spoken at once.
  virtual void AnnounceForegroundWindow() = 0;
  // The "Active control" command.
  virtual void AnnounceFocusedObject() = 0;
  // The check-state word of the focused button.
  virtual std::u16string CheckStateText() = 0;
  // The "Navigate" commands: the previous or next object of the window.
  virtual void NavigateObject(bool forward) = 0;
  // The "Window info" command: window reading mode on (the item list of the focused window,
  // stepped through in the info band) or off.
  virtual void ToggleWindowReadingMode() = 0;
};

// Nothing is tracked or said.
class NullFocusAnnouncer final : public FocusAnnouncer {
 public:
  void OnAccessibleEvent(std::uint32_t, platform::Hwnd, std::int32_t, std::int32_t) override {}
  void FocusTick() override {}
  void AnnounceForegroundWindow() override {}
  void AnnounceFocusedObject() override {}
  std::u16string CheckStateText() override { return {}; }
  void NavigateObject(bool) override {}
  void ToggleWindowReadingMode() override {}
};

// What focus tracking works with besides the ports.
struct FocusTrackingParts {
  // The active object's children and location.
  EventHookLibrary& events;
  // The current object of object navigation, and properties of objects that give no role.
  access::ObjectWalker& objects;
  // Told when an editable text gets the focus.
  CaretReaders& caret;
  // "Active control" in window reading mode.
  access::ItemList& itemList;
  // Plays the percentage of a progress bar whose value changes.
  ProgressTone& progressTone;
  // Attaches to the browser of the foreground window when a web page gets the focus; empty: no
  // attaching.
  std::function<void(platform::Hwnd foreground)> hookBrowser;
  // What window reading mode works with: the info band, the keyboard for the click that gives
  // the band the keyboard, and whether the "Show info band" menu item is checked (the band then
  // stays when the mode ends). Without the band or the keyboard the mode does not start.
  aids::InfoBand* infoBand;
  platform::Keyboard* keyboard;
  std::function<bool()> infoMenuChecked;
  // Called whenever an event has raised FocusChanged, right after it was recorded; empty: the
  // owner only runs the tick on its timer.
  std::function<void()> focusChanged = {};
  // The highlight frame, put round the focused object after each announcement (outside window
  // reading mode, where the band's list keys move it); null: no frame.
  aids::FrameFollower* frame = nullptr;
};

class FocusTracking : public FocusAnnouncer {
 public:
  // Announcements given up in a row, at most, for a focus recorded while they were read.
  static constexpr int kMaxSuperseded = 3;

  FocusTracking(core::ProgramState& state, platform::WindowSystem& windows,
                platform::Accessibility& access, const strings::StringTable& strings,
                core::SpeechOutput& output, FocusTrackingParts parts)
      : state_(state),
        windows_(windows),
        access_(access),
        strings_(strings),
        output_(output),
        parts_(std::move(parts)),
        progress_(windows, access, parts_.progressTone) {}

  void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                         std::int32_t idChild) override;
  void FocusTick() override;
  void AnnounceForegroundWindow() override;
  void AnnounceFocusedObject() override;
  std::u16string CheckStateText() override;
  void NavigateObject(bool forward) override;
  void ToggleWindowReadingMode() override;

 private:
  core::ProgramState& state_;
  platform::WindowSystem& windows_;
  platform::Accessibility& access_;
  const strings::StringTable& strings_;
  core::SpeechOutput& output_;
  // Buffers of the object library's texts: for an object without a role, and for navigation.
  static constexpr std::size_t kLibraryBuffer = 1024;
  static constexpr std::size_t kNavigationBuffer = 255;

  // A tick reads the focused object from its program, and the system hands out events while the
  // thread waits for the answers: when a newer focus has been recorded by the time the sentence's
  // parts are read (before the role rules), the sentence is given up before its cue and speech, and
  // the next tick announces the newer focus, with the window title when this one had it. So one
  // action whose events arrive a few milliseconds apart (a dialog focused, then its first control)
  // gives one announcement of its last focus, title included, as when both events fall into one
  // tick. At most kMaxSuperseded announcements in a row are given up, so a program that keeps
  // raising events is still heard. True when the announcement being built has to give way to a
  // newer focus (see above); puts the window title back for it.
  bool Superseded(bool windowChanged);

  // The rest of a tick, once the focused object is in hand: the record, the sentence, the cue.
  void Announce(const platform::AccessibleChild& focused, bool windowChanged);
  void ApplyRoleRules(std::u16string& said);
  // The frame round the object just announced (its place read only when the frame is on).
  void FrameFocused(const platform::AccessibleChild& focused);
  // The frame round the object navigation has moved to (hidden when it has no usable place).
  void FrameNavigated(bool placed, const access::ObjectLocation& where);

  FocusTrackingParts parts_;
  ProgressValueWatcher progress_;
  int superseded_ = 0;         // announcements given up in a row for a newer focus
  bool bandWasShown_ = false;  // the info band was on by the user's choice when the mode began
};

}  // namespace quellon::reader
