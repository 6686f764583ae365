// The main window (frmMain's form) as the shell sees it: a picture, a status label and the menu
// bar. Captions of the menu items arrive by control name (strings::CaptionTarget).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/event_loop.h"
#include "strings/string_table.h"

namespace quellon::shell {

struct ProgramVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t revision = 0;
};

class MainForm : public strings::CaptionTarget {
 public:
  std::u16string_view FormName() const override { return u"frmMain"; }
  virtual platform::Hwnd Handle() const = 0;
  // 1 minimises the window.
  virtual void SetWindowState(std::int32_t state) = 0;
  virtual void SetStatusCaption(std::u16string_view caption) = 0;
  virtual bool MenuChecked(std::u16string_view item) const = 0;
  virtual void SetMenuChecked(std::u16string_view item, bool checked) = 0;
  // Puts `proc` in as the window procedure; returns the one it replaced (empty on failure).
  virtual platform::WindowProc ReplaceWindowProc(platform::WindowProc proc) = 0;
  // Ends the program once the main window has unloaded (destroys the window, ends the loop).
  virtual void Close() = 0;
  virtual ProgramVersion Version() const = 0;
};

}  // namespace quellon::shell
