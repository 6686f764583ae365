// Focus tracking as far as the application shell needs it: the focus record that the accessibility
// event callback fills, the announcement of the active window at startup, and a first, limited
// focus tick that speaks a focus move (window title when the window changed, dialog text for a
// push button, the object's name and value, the role's sound cue, the waiting greeting in front).
//
// Not built here yet: the role rules (menus, links, list views, tree items, text controls, check
// boxes), the fallback object library for objects without a role, web-page attachment, the
// progress tone of value changes, window reading mode and object navigation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/accessibility.h"
#include "platform/window_system.h"
#include "strings/string_table.h"

namespace quellon::shell {

class SpeechOutput;

// The program-wide focus record.
struct FocusRecord {
  platform::Hwnd FocusHwnd = 0;
  std::u16string FocusClassName;  // upper case
  std::int32_t FocusObjectId = 0;
  std::int32_t FocusChildId = 0;
  std::int32_t FocusRole = 0;
  std::uint32_t FocusState = 0;
  std::u16string FocusName;
  std::u16string FocusValue;
  platform::Hwnd ForegroundHwnd = 0;
  std::u16string ActiveWindowText;
  bool FocusChanged = false;
  bool WindowChanged = false;
  bool NavigationRestart = false;
};

// What the main window asks of focus tracking.
class FocusAnnouncer {
 public:
  virtual ~FocusAnnouncer() = default;
  // Text spoken in front of the next focus announcement (emptied once spoken).
  virtual void SetGreeting(std::u16string greeting) = 0;
  virtual const std::u16string& Greeting() const = 0;
  // The accessibility event callback: records the focus and raises the flags.
  virtual void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                                 std::int32_t idChild) = 0;
  // The 50 ms focus tick.
  virtual void FocusTick() = 0;
  // Startup: the title of the active window and the text of its dialog, spoken at once.
  virtual void AnnounceForegroundWindow() = 0;
  // The "Active control" command.
  virtual void AnnounceFocusedObject() = 0;
  // The check-state word of the focused button.
  virtual std::u16string CheckStateText() = 0;
};

// Class name of a window ("" for no window), upper-cased on request.
std::u16string WindowClassName(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper);
// A window's title ("" for an icon control), upper-cased on request.
std::u16string WindowText(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper);
// Texts of the child windows of a dialog: each visible one (pictures left out) after CR LF. Only a
// dialog made of static texts, buttons and pictures gives text, and only when it has a button;
// any other visible control, or more than 51 child windows, give the empty text. `allTexts` (the
// whole-window reading) takes every kind of control and needs no button.
std::u16string DialogText(platform::WindowSystem& windows, platform::Hwnd hwnd,
                          bool allTexts = false);

class BasicFocusAnnouncer : public FocusAnnouncer {
 public:
  BasicFocusAnnouncer(platform::WindowSystem& windows, platform::Accessibility& access,
                      const strings::StringTable& strings, SpeechOutput& output)
      : windows_(windows), access_(access), strings_(strings), output_(output) {}

  void SetGreeting(std::u16string greeting) override { greeting_ = std::move(greeting); }
  const std::u16string& Greeting() const override { return greeting_; }
  void OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd, std::int32_t idObject,
                         std::int32_t idChild) override;
  void FocusTick() override;
  void AnnounceForegroundWindow() override;
  void AnnounceFocusedObject() override;
  std::u16string CheckStateText() override;

  FocusRecord& Record() { return record_; }

 private:
  platform::WindowSystem& windows_;
  platform::Accessibility& access_;
  const strings::StringTable& strings_;
  SpeechOutput& output_;
  FocusRecord record_;
  std::u16string greeting_;
};

}  // namespace quellon::shell
