// The main window on Windows: a top-level window with the logo picture, the status label and the
// menu bar (built here; the captions arrive from the string table), minimised at start. Its window
// procedure can be replaced by the program's own (subclassing); WM_CLOSE unloads the program.
#pragma once

#include <map>
#include <string>

#include "shell/main_window.h"
// The system headers after the ports.
#include "platform/win32/win32_windows.h"

namespace quellon::app {

class Win32MainForm : public shell::MainForm {
 public:
  // The logo picture: its size sets the window size.
  static constexpr int kPictureWidth = 320;
  static constexpr int kPictureHeight = 120;
  static constexpr int kLabelHeight = 20;

  Win32MainForm();
  ~Win32MainForm() override;
  Win32MainForm(const Win32MainForm&) = delete;
  Win32MainForm& operator=(const Win32MainForm&) = delete;

  // A test-only message: with the test switch on, the main thread is kept busy for wParam ms
  // (at most 10 s), taking no messages, as when it waits on a program that does not answer.
  static constexpr UINT kTestBusyMessage = 0x80F0;

  // Creates the window (hidden) and its menu. False when it cannot be made.
  bool Create(HINSTANCE instance);
  // Lets kTestBusyMessage work (QUELLON_TEST_BUSY=1).
  void EnableTestBusy() { testBusy_ = true; }
  void Attach(shell::frmMain* main) { main_ = main; }
  shell::frmMain* Main() const { return main_; }
  HWND Window() const { return hwnd_; }

  platform::Hwnd Handle() const override { return platform::win32::FromHwnd(hwnd_); }
  void SetCaption(std::u16string_view control, std::u16string_view caption) override;
  void SetWindowState(std::int32_t state) override;
  void SetStatusCaption(std::u16string_view caption) override;
  bool MenuChecked(std::u16string_view item) const override;
  void SetMenuChecked(std::u16string_view item, bool checked) override;
  platform::WindowProc ReplaceWindowProc(platform::WindowProc proc) override;
  void Close() override;
  shell::ProgramVersion Version() const override;

  // The window procedure as the system calls it.
  LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  bool testBusy_ = false;
  LRESULT OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void BuildMenu();
  void SnapSize();
  void Paint();

  HWND hwnd_ = nullptr;
  HWND status_ = nullptr;
  HMENU menu_ = nullptr;
  std::map<std::u16string, UINT, std::less<>> itemIds_;
  std::map<std::u16string, int, std::less<>> popupPositions_;
  std::map<UINT, std::u16string> itemNames_;
  platform::WindowProc proc_;  // the replaced procedure while one is installed
  bool replaced_ = false;
  shell::frmMain* main_ = nullptr;
  bool closing_ = false;
};

}  // namespace quellon::app
