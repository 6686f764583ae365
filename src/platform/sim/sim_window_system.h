// The window-system port of the simulated desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/window_system.h"

namespace quellon::platform {

class SimDesktop;

// A MessageBox call of the program, as recorded.
struct MessageBoxCall {
  Hwnd owner = 0;
  std::u16string text;
  std::u16string caption;
  std::uint32_t type = 0;
};

class SimWindowSystem : public WindowSystem {
 public:
  explicit SimWindowSystem(SimDesktop& d) : d_(d) {}
  bool IsWindow(Hwnd w) override;
  bool IsWindowVisible(Hwnd w) override;
  bool IsIconic(Hwnd w) override;
  std::u16string GetClassName(Hwnd w, std::int32_t maxCount) override;
  std::u16string GetWindowText(Hwnd w) override;
  std::int32_t GetWindowTextLength(Hwnd w) override;
  Hwnd GetParent(Hwnd w) override;
  std::int32_t GetWindowLong(Hwnd w, std::int32_t index) override;
  std::int32_t SetWindowLong(Hwnd w, std::int32_t index, std::int32_t value) override;
  bool GetWindowRect(Hwnd w, Rect& rect) override;
  void EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& callback) override;
  ThreadId GetWindowThreadProcessId(Hwnd w, std::uint32_t* processId) override;
  ThreadId GetCurrentThreadId() override;
  bool GetGUIThreadInfo(ThreadId thread, GuiThreadInfo& info) override;
  Hwnd GetForegroundWindow() override;
  bool SetForegroundWindow(Hwnd w) override;
  bool ShowWindow(Hwnd w, std::int32_t command) override;
  bool SetWindowPos(Hwnd w, Hwnd insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                    std::int32_t cy, std::uint32_t flags) override;
  bool SetLayeredWindowAttributes(Hwnd w, std::uint32_t colorKey, std::uint8_t alpha,
                                  std::uint32_t flags) override;
  LResult SendMessage(Hwnd w, std::uint32_t message, WParam wParam, LParam lParam) override;
  LResult SendGetSel(Hwnd w, std::int32_t* start, std::int32_t* end) override;
  std::u16string SendGetText(Hwnd w, std::int32_t bufferSize) override;
  std::uint32_t RegisterWindowMessage(const std::u16string& name) override;
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t action) override;
  bool GetCursorPos(Point& p) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool MessageBeep(std::uint32_t type) override;
  std::int32_t MessageBox(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                          std::uint32_t type) override;
  bool StartProcess(const std::u16string& commandLine) override;
  OsVersion GetVersion() override;

 private:
  SimDesktop& d_;
};

}  // namespace quellon::platform
