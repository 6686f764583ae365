#include "platform/win32/win32_window_system.h"
#include "platform/win32/win32_windows.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace quellon::platform {
namespace win32 {

namespace {

// Threads that let a bounded message or a cross-process call run out of time. Asking them again
// would cost the whole bound each time (a focus tick asks many things), so for a second after
// each try they are refused at once; then one short ping decides whether they answer again.
constexpr ULONGLONG kRetryAfterMs = 1000;
constexpr UINT kPingMs = 100;
constexpr std::size_t kMaxRemembered = 64;
struct Unanswering {
  DWORD thread;
  ULONGLONG lastTry;
};
std::mutex g_unansweringMutex;
std::vector<Unanswering> g_unanswering;

DWORD ThreadOf(HWND w) {
  return w != nullptr ? GetWindowThreadProcessId(w, nullptr) : 0;
}

// True when the window's thread is remembered as not answering and either was tried less than
// a second ago or does not answer the ping now; a thread that answers is forgotten.
bool Refused(HWND w) {
  const DWORD thread = ThreadOf(w);
  if (thread == 0 || thread == GetCurrentThreadId()) return false;
  {
    std::lock_guard<std::mutex> lock(g_unansweringMutex);
    auto it = std::find_if(g_unanswering.begin(), g_unanswering.end(),
                           [&](const Unanswering& u) { return u.thread == thread; });
    if (it == g_unanswering.end()) return false;
    const ULONGLONG now = GetTickCount64();
    if (now - it->lastTry < kRetryAfterMs) return true;
    it->lastTry = now;
  }
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kPingMs, &ignored) ==
      0) {
    return true;
  }
  std::lock_guard<std::mutex> lock(g_unansweringMutex);
  g_unanswering.erase(std::remove_if(g_unanswering.begin(), g_unanswering.end(),
                                     [&](const Unanswering& u) { return u.thread == thread; }),
                      g_unanswering.end());
  return false;
}

}  // namespace

void MarkUnanswering(HWND w) {
  DWORD process = 0;
  const DWORD thread = w != nullptr ? GetWindowThreadProcessId(w, &process) : 0;
  if (thread == 0 || process == GetCurrentProcessId()) return;
  std::lock_guard<std::mutex> lock(g_unansweringMutex);
  const ULONGLONG now = GetTickCount64();
  for (Unanswering& u : g_unanswering) {
    if (u.thread == thread) {
      u.lastTry = now;
      return;
    }
  }
  if (g_unanswering.size() >= kMaxRemembered) g_unanswering.erase(g_unanswering.begin());
  g_unanswering.push_back({thread, now});
}

bool SendBounded(HWND w, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result,
                 UINT timeoutMs) {
  result = 0;
  if (Refused(w)) return false;
  // SMTO_NORMAL lets this thread answer messages sent to it while it waits (the low-level
  // keyboard hook and the WinEvent callbacks among them), so waiting never stalls the keyboard.
  SetLastError(0);
  const LRESULT ok = SendMessageTimeoutW(w, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                         timeoutMs, &result);
  if (ok == 0) {
    if (GetLastError() == ERROR_TIMEOUT && ::IsWindow(w)) MarkUnanswering(w);
    result = 0;
    return false;
  }
  return true;
}

bool IsHung(HWND w) {
  HWND root = GetAncestor(w, GA_ROOT);
  if (IsHungAppWindow(root != nullptr ? root : w) != FALSE) return true;
  return Refused(w);
}

}  // namespace win32

using win32::FromHwnd;
using win32::FromWide;
using win32::ToHwnd;
using win32::Wide;

bool Win32WindowSystem::IsWindow(Hwnd w) {
  return ::IsWindow(ToHwnd(w)) != FALSE;
}

bool Win32WindowSystem::IsWindowVisible(Hwnd w) {
  return ::IsWindowVisible(ToHwnd(w)) != FALSE;
}

bool Win32WindowSystem::IsIconic(Hwnd w) {
  return ::IsIconic(ToHwnd(w)) != FALSE;
}

std::u16string Win32WindowSystem::GetClassName(Hwnd w, std::int32_t maxCount) {
  if (maxCount <= 0) return {};
  // A class name has at most 256 characters: a larger request needs no larger buffer.
  std::vector<wchar_t> buffer(static_cast<std::size_t>(std::min(maxCount, 257)), L'\0');
  const int n = GetClassNameW(ToHwnd(w), buffer.data(), static_cast<int>(buffer.size()));
  return FromWide(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

// GetWindowText never sends a message to another program's window (it reads the caption the
// system keeps), so it cannot block on a hung program.
std::u16string Win32WindowSystem::GetWindowText(Hwnd w) {
  const int length = GetWindowTextLengthW(ToHwnd(w));
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(ToHwnd(w), buffer.data(), static_cast<int>(buffer.size()));
  return FromWide(buffer.data(), static_cast<std::size_t>(std::clamp(n, 0, length)));
}

std::int32_t Win32WindowSystem::GetWindowTextLength(Hwnd w) {
  return GetWindowTextLengthW(ToHwnd(w));
}

Hwnd Win32WindowSystem::GetParent(Hwnd w) {
  // GetAncestor(GA_PARENT) gives the desktop for a top-level window; the port wants 0 there,
  // and never the owner (which ::GetParent gives for owned pop-ups).
  HWND parent = GetAncestor(ToHwnd(w), GA_PARENT);
  if (parent == nullptr || parent == GetDesktopWindow()) return 0;
  return FromHwnd(parent);
}

std::int32_t Win32WindowSystem::GetWindowLong(Hwnd w, std::int32_t index) {
  if (index != GWL_STYLE && index != GWL_EXSTYLE) return 0;
  return static_cast<std::int32_t>(GetWindowLongW(ToHwnd(w), index));
}

std::int32_t Win32WindowSystem::SetWindowLong(Hwnd w, std::int32_t index, std::int32_t value) {
  if (index != GWL_STYLE && index != GWL_EXSTYLE) return 0;
  return static_cast<std::int32_t>(SetWindowLongW(ToHwnd(w), index, value));
}

bool Win32WindowSystem::GetWindowRect(Hwnd w, Rect& rect) {
  RECT r{};
  if (!::GetWindowRect(ToHwnd(w), &r)) return false;
  rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

namespace {
BOOL CALLBACK EnumChildThunk(HWND hwnd, LPARAM context) {
  const auto& callback = *reinterpret_cast<const std::function<bool(Hwnd)>*>(context);
  return callback(FromHwnd(hwnd)) ? TRUE : FALSE;
}
}  // namespace

void Win32WindowSystem::EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& callback) {
  if (!callback) return;
  ::EnumChildWindows(ToHwnd(parent), EnumChildThunk,
                     reinterpret_cast<LPARAM>(const_cast<std::function<bool(Hwnd)>*>(&callback)));
}

ThreadId Win32WindowSystem::GetWindowThreadProcessId(Hwnd w, std::uint32_t* processId) {
  DWORD process = 0;
  const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(w), &process);
  if (processId != nullptr) *processId = process;
  return thread;
}

ThreadId Win32WindowSystem::GetCurrentThreadId() {
  return ::GetCurrentThreadId();
}

bool Win32WindowSystem::GetGUIThreadInfo(ThreadId thread, GuiThreadInfo& info) {
  GUITHREADINFO g{};
  g.cbSize = sizeof g;
  if (!::GetGUIThreadInfo(thread, &g)) return false;
  info.flags = g.flags;
  info.active = FromHwnd(g.hwndActive);
  info.focus = FromHwnd(g.hwndFocus);
  info.capture = FromHwnd(g.hwndCapture);
  info.menuOwner = FromHwnd(g.hwndMenuOwner);
  info.moveSize = FromHwnd(g.hwndMoveSize);
  info.caret = FromHwnd(g.hwndCaret);
  info.caretRect = {g.rcCaret.left, g.rcCaret.top, g.rcCaret.right, g.rcCaret.bottom};
  return true;
}

Hwnd Win32WindowSystem::GetForegroundWindow() {
  return FromHwnd(::GetForegroundWindow());
}

bool Win32WindowSystem::SetForegroundWindow(Hwnd w) {
  return ::SetForegroundWindow(ToHwnd(w)) != FALSE;
}

bool Win32WindowSystem::ShowWindow(Hwnd w, std::int32_t command) {
  // For another program's window ShowWindow only posts the request (ShowWindowAsync), so a hung
  // program cannot hold the reader up.
  DWORD process = 0;
  ::GetWindowThreadProcessId(ToHwnd(w), &process);
  if (process != GetCurrentProcessId()) {
    const bool wasVisible = ::IsWindowVisible(ToHwnd(w)) != FALSE;
    ShowWindowAsync(ToHwnd(w), command);
    return wasVisible;
  }
  return ::ShowWindow(ToHwnd(w), command) != FALSE;
}

bool Win32WindowSystem::SetWindowPos(Hwnd w, Hwnd insertAfter, std::int32_t x, std::int32_t y,
                                     std::int32_t cx, std::int32_t cy, std::uint32_t flags) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(ToHwnd(w), &process);
  if (process != GetCurrentProcessId()) flags |= SWP_ASYNCWINDOWPOS;  // never wait on others
  return ::SetWindowPos(ToHwnd(w), ToHwnd(insertAfter), x, y, cx, cy, flags) != FALSE;
}

bool Win32WindowSystem::SetLayeredWindowAttributes(Hwnd w, std::uint32_t colorKey,
                                                   std::uint8_t alpha, std::uint32_t flags) {
  return ::SetLayeredWindowAttributes(ToHwnd(w), colorKey, alpha, flags) != FALSE;
}

LResult Win32WindowSystem::SendMessage(Hwnd w, std::uint32_t message, WParam wParam,
                                       LParam lParam) {
  DWORD_PTR result = 0;
  win32::SendBounded(ToHwnd(w), message, wParam, lParam, result);
  return static_cast<LResult>(result);
}

LResult Win32WindowSystem::SendGetSel(Hwnd w, std::int32_t* start, std::int32_t* end) {
  // The system copies EM_GETSEL's two DWORDs across processes.
  DWORD s = 0;
  DWORD e = 0;
  DWORD_PTR result = 0;
  if (!win32::SendBounded(ToHwnd(w), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                          reinterpret_cast<LPARAM>(&e), result)) {
    return 0;
  }
  if (start != nullptr) *start = static_cast<std::int32_t>(s);
  if (end != nullptr) *end = static_cast<std::int32_t>(e);
  return static_cast<LResult>(result);
}

std::u16string Win32WindowSystem::SendGetText(Hwnd w, std::int32_t bufferSize) {
  if (bufferSize <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(bufferSize), L'\0');
  DWORD_PTR copied = 0;
  if (!win32::SendBounded(ToHwnd(w), WM_GETTEXT, buffer.size(),
                          reinterpret_cast<LPARAM>(buffer.data()), copied)) {
    return {};
  }
  // Trust the count only as far as the buffer reaches.
  const std::size_t n = std::min<std::size_t>(copied, buffer.size() - 1);
  return FromWide(buffer.data(), n);
}

std::uint32_t Win32WindowSystem::RegisterWindowMessage(const std::u16string& name) {
  return RegisterWindowMessageW(Wide(name));
}

bool Win32WindowSystem::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t action) {
  return ::ChangeWindowMessageFilter(message, action) != FALSE;
}

bool Win32WindowSystem::GetCursorPos(Point& p) {
  POINT pt{};
  if (!::GetCursorPos(&pt)) return false;
  p = {pt.x, pt.y};
  return true;
}

bool Win32WindowSystem::SetCursorPos(std::int32_t x, std::int32_t y) {
  return ::SetCursorPos(x, y) != FALSE;
}

std::int32_t Win32WindowSystem::GetSystemMetrics(std::int32_t index) {
  return ::GetSystemMetrics(index);
}

bool Win32WindowSystem::MessageBeep(std::uint32_t type) {
  return ::MessageBeep(type) != FALSE;
}

std::int32_t Win32WindowSystem::MessageBox(Hwnd owner, const std::u16string& text,
                                           const std::u16string& caption, std::uint32_t type) {
  return MessageBoxW(ToHwnd(owner), Wide(text), Wide(caption), type);
}

bool Win32WindowSystem::StartProcess(const std::u16string& commandLine) {
  if (commandLine.empty()) return false;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');  // CreateProcessW may write into its command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

OsVersion Win32WindowSystem::GetVersion() {
  // RtlGetVersion tells the truth where GetVersionEx answers as the program's manifest allows.
  OsVersion v;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    if (FARPROC proc = GetProcAddress(ntdll, "RtlGetVersion")) {
      auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc));
      if (fn(&info) == 0) {
        v.major = info.dwMajorVersion;
        v.minor = info.dwMinorVersion;
        v.build = info.dwBuildNumber;
        v.platformId = info.dwPlatformId;
        return v;
      }
    }
  }
  v.platformId = VER_PLATFORM_WIN32_NT;
  return v;
}

}  // namespace quellon::platform
