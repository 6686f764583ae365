#include "core/bring_to_front.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "platform/window_system.h"

namespace quellon::core {
namespace {

using platform::Hwnd;
using platform::ThreadId;

// A desktop reduced to what bringing a window to the front touches; every call is logged.
class FrontDesk : public platform::WindowSystem, public platform::Keyboard {
 public:
  std::vector<std::string> log;
  Hwnd foreground = 1;
  bool iconic = false;

  // WindowSystem
  bool IsWindow(Hwnd) override { return true; }
  bool IsWindowVisible(Hwnd) override { return true; }
  bool IsIconic(Hwnd) override { return iconic; }
  std::u16string GetClassName(Hwnd, std::int32_t) override { return {}; }
  std::u16string GetWindowText(Hwnd) override { return {}; }
  std::int32_t GetWindowTextLength(Hwnd) override { return 0; }
  Hwnd GetParent(Hwnd) override { return 0; }
  std::int32_t GetWindowLong(Hwnd, std::int32_t) override { return 0; }
  std::int32_t SetWindowLong(Hwnd, std::int32_t, std::int32_t) override { return 0; }
  bool GetWindowRect(Hwnd, platform::Rect&) override { return false; }
  void EnumChildWindows(Hwnd, const std::function<bool(Hwnd)>&) override {}
  // Window n belongs to thread n / 10.
  ThreadId GetWindowThreadProcessId(Hwnd w, std::uint32_t*) override {
    return static_cast<ThreadId>(w / 10);
  }
  ThreadId GetCurrentThreadId() override { return 1; }
  bool GetGUIThreadInfo(ThreadId, platform::GuiThreadInfo&) override { return false; }
  Hwnd GetForegroundWindow() override { return foreground; }
  bool SetForegroundWindow(Hwnd w) override {
    log.push_back("foreground " + std::to_string(w));
    foreground = w;
    return true;
  }
  bool ShowWindow(Hwnd w, std::int32_t command) override {
    log.push_back("show " + std::to_string(w) + " " + std::to_string(command));
    if (command == platform::SW_RESTORE) iconic = false;
    return true;
  }
  bool SetWindowPos(Hwnd, Hwnd, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::uint32_t) override {
    return false;
  }
  bool SetLayeredWindowAttributes(Hwnd, std::uint32_t, std::uint8_t, std::uint32_t) override {
    return false;
  }
  platform::LResult SendMessage(Hwnd, std::uint32_t, platform::WParam, platform::LParam) override {
    return 0;
  }
  platform::LResult SendGetSel(Hwnd, std::int32_t*, std::int32_t*) override { return 0; }
  std::u16string SendGetText(Hwnd, std::int32_t) override { return {}; }
  std::uint32_t RegisterWindowMessage(const std::u16string&) override { return 0xC000; }
  bool ChangeWindowMessageFilter(std::uint32_t, std::uint32_t) override { return true; }
  bool GetCursorPos(platform::Point&) override { return false; }
  bool SetCursorPos(std::int32_t, std::int32_t) override { return false; }
  std::int32_t GetSystemMetrics(std::int32_t) override { return 0; }
  bool MessageBeep(std::uint32_t) override { return true; }
  std::int32_t MessageBox(Hwnd, const std::u16string&, const std::u16string&,
                          std::uint32_t) override {
    return platform::IDOK;
  }
  bool StartProcess(const std::u16string&) override { return false; }
  platform::OsVersion GetVersion() override { return {}; }

  // Keyboard
  platform::KeyboardHook SetLowLevelHook(platform::KeyGateProc,
                                         platform::KeyDeliveryProc) override {
    return 0;
  }
  bool Unhook(platform::KeyboardHook) override { return false; }
  std::uint32_t SendInput(const std::vector<platform::Input>&) override { return 0; }
  std::int16_t GetAsyncKeyState(std::uint32_t) override { return 0; }
  std::int16_t GetKeyState(std::uint32_t) override { return 0; }
  bool GetKeyboardState(platform::KeyboardState&) override { return false; }
  std::uint32_t MapVirtualKey(std::uint32_t, std::uint32_t) override { return 0; }
  std::int32_t ToAsciiEx(std::uint32_t, std::uint32_t, const platform::KeyboardState&,
                         std::uint16_t&, std::uint32_t, platform::KeyboardLayout) override {
    return 0;
  }
  platform::KeyboardLayout GetKeyboardLayout(ThreadId) override { return platform::kLayoutCzech; }
  bool AttachThreadInput(ThreadId a, ThreadId b, bool attach) override {
    log.push_back((attach ? "attach " : "detach ") + std::to_string(a) + " " + std::to_string(b));
    return true;
  }
  bool GetMouseParams(platform::MouseParams&) override { return false; }
  bool SetMouseParams(const platform::MouseParams&) override { return false; }
};

TEST(BringWindowToFront, ForegroundThreadsAndMinimisedWindows) {
  using Log = std::vector<std::string>;
  {  // Already in front and shown: nothing at all.
    FrontDesk d;
    d.foreground = 50;
    BringWindowToFront(d, d, 50);
    EXPECT_EQ(d.log, Log{});
  }
  {  // Already in front but minimised: restored.
    FrontDesk d;
    d.foreground = 50;
    d.iconic = true;
    BringWindowToFront(d, d, 50);
    EXPECT_EQ(d.log, Log{"show 50 9"});
  }
  {  // Another window of the same thread: no input attachment, then shown.
    FrontDesk d;
    d.foreground = 51;
    BringWindowToFront(d, d, 50);
    EXPECT_EQ(d.log, (Log{"foreground 50", "show 50 5"}));
  }
  {  // Another program's window in front: attach, bring forward, detach, restore.
    FrontDesk d;
    d.foreground = 71;
    d.iconic = true;
    BringWindowToFront(d, d, 50);
    EXPECT_EQ(d.log, (Log{"attach 7 5", "foreground 50", "detach 7 5", "show 50 9"}));
  }
}

}  // namespace
}  // namespace quellon::core
