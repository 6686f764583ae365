// The window-system port: what the screen reader asks of user32 (and a little of kernel32 and
// shell32) about the windows of other programs and of its own. Texts are UTF-16; the Windows
// implementation converts to the ANSI code page where it calls the A functions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win_types.h"

namespace quellon::platform {

// GUITHREADINFO of a thread (the fields the program reads).
struct GuiThreadInfo {
  std::uint32_t flags = 0;
  Hwnd active = 0;
  Hwnd focus = 0;
  Hwnd capture = 0;
  Hwnd menuOwner = 0;
  Hwnd moveSize = 0;
  Hwnd caret = 0;
  Rect caretRect;  // in client coordinates of `caret`
};

// OSVERSIONINFO: the fields the version test reads.
struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;  // 1 the 9x family, 2 NT
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // ---- Windows and their properties ----
  virtual bool IsWindow(Hwnd w) = 0;
  virtual bool IsWindowVisible(Hwnd w) = 0;  // the window and all its ancestors shown
  virtual bool IsIconic(Hwnd w) = 0;
  // GetClassName into a buffer of `maxCount` characters (the text is cut to maxCount - 1).
  virtual std::u16string GetClassName(Hwnd w, std::int32_t maxCount = 256) = 0;
  // GetWindowText / GetWindowTextLength. Like Windows, another program's edit control answers
  // these with its caption, not its contents: ask it with WM_GETTEXT (SendMessage).
  virtual std::u16string GetWindowText(Hwnd w) = 0;
  virtual std::int32_t GetWindowTextLength(Hwnd w) = 0;
  virtual Hwnd GetParent(Hwnd w) = 0;  // 0 for a top-level window
  // GWL_STYLE and GWL_EXSTYLE; 0 for other indexes or no window.
  virtual std::int32_t GetWindowLong(Hwnd w, std::int32_t index) = 0;
  // Returns the previous value; 0 when nothing was set.
  virtual std::int32_t SetWindowLong(Hwnd w, std::int32_t index, std::int32_t value) = 0;
  virtual bool GetWindowRect(Hwnd w, Rect& rect) = 0;  // screen coordinates
  // Calls `callback` for every descendant of `parent` in Z order, depth first (as Windows does);
  // stops when the callback returns false.
  virtual void EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& callback) = 0;
  // Returns the window's thread; fills `processId` when it is not null. 0 for no window.
  virtual ThreadId GetWindowThreadProcessId(Hwnd w, std::uint32_t* processId = nullptr) = 0;
  virtual ThreadId GetCurrentThreadId() = 0;

  // ---- Focus, activation, caret ----
  // GetGUIThreadInfo; thread 0 is the foreground thread. False when the thread has no GUI.
  virtual bool GetGUIThreadInfo(ThreadId thread, GuiThreadInfo& info) = 0;
  virtual Hwnd GetForegroundWindow() = 0;
  virtual bool SetForegroundWindow(Hwnd w) = 0;
  virtual bool ShowWindow(Hwnd w, std::int32_t command) = 0;  // previous visibility
  virtual bool SetWindowPos(Hwnd w, Hwnd insertAfter, std::int32_t x, std::int32_t y,
                            std::int32_t cx, std::int32_t cy, std::uint32_t flags) = 0;
  // Layered windows (WS_EX_LAYERED must be set first).
  virtual bool SetLayeredWindowAttributes(Hwnd w, std::uint32_t colorKey, std::uint8_t alpha,
                                          std::uint32_t flags) = 0;

  // ---- Messages to other windows ----
  // SendMessage for messages whose parameters are numbers (EM_LINEINDEX, EM_LINEFROMCHAR,
  // EM_LINELENGTH, WM_GETTEXTLENGTH, EM_GETSEL with no pointers, STM_GETICON, WM_VSCROLL...).
  // A window that does not know the message answers 0.
  virtual LResult SendMessage(Hwnd w, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  // EM_GETSEL with pointers: fills start and end (when not null) and returns the packed result
  // (low word start, high word end, each cut to 16 bits). A window that does not answer leaves
  // them unchanged and returns 0.
  virtual LResult SendGetSel(Hwnd w, std::int32_t* start, std::int32_t* end) = 0;
  // WM_GETTEXT with a buffer of `bufferSize` characters: at most bufferSize - 1 characters come
  // back (the result's length is the count the message returns).
  virtual std::u16string SendGetText(Hwnd w, std::int32_t bufferSize) = 0;
  // A message number unique in the session for `name` (0xC000 and up); the same name gives the
  // same number.
  virtual std::uint32_t RegisterWindowMessage(const std::u16string& name) = 0;
  // Lets `message` through the message filter (ChangeWindowMessageFilter, action 1 = add).
  virtual bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t action) = 0;

  // ---- Pointer, screen, sounds, dialogs, processes ----
  virtual bool GetCursorPos(Point& p) = 0;
  virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
  virtual std::int32_t GetSystemMetrics(std::int32_t index) = 0;
  virtual bool MessageBeep(std::uint32_t type) = 0;
  // A modal message box; returns the button (IDOK...).
  virtual std::int32_t MessageBox(Hwnd owner, const std::u16string& text,
                                  const std::u16string& caption, std::uint32_t type) = 0;
  // Starts a program (WinExec/CreateProcess) with a normal, focused window. False on failure.
  virtual bool StartProcess(const std::u16string& commandLine) = 0;
  virtual OsVersion GetVersion() = 0;
};

}  // namespace quellon::platform
