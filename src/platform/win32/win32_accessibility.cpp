#include "platform/win32/win32_windows.h"

#include "platform/win32/win32_accessibility.h"

#include <oleacc.h>
#include <rpc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace quellon::platform {
namespace {

using win32::FromHwnd;
using win32::FromWide;
using win32::ToHwnd;

// MinGW's IID_IAccessible is not the interface's real id; the one in the interface declaration
// is.
const IID& AccessibleIid() {
  return __uuidof(IAccessible);
}

// How many children one AccessibleChildren call may ask for: a bound on the memory a caller's
// count (or a lying object) can make us allocate.
constexpr LONG kMaxChildrenPerCall = 4096;

// Nested full objects that ObjectFromPoint follows down at most.
constexpr int kMaxHitDepth = 16;

VARIANT ChildVariant(std::int32_t child) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = child;
  return v;
}

std::optional<std::u16string> TakeText(HRESULT hr, BSTR text) {
  std::optional<std::u16string> result;
  if (hr == S_OK) result = FromWide(text, text != nullptr ? SysStringLen(text) : 0);
  if (text != nullptr) SysFreeString(text);
  return result;
}

IAccessible* QueryAccessible(IDispatch* dispatch) {
  if (dispatch == nullptr) return nullptr;
  IAccessible* acc = nullptr;
  if (FAILED(dispatch->QueryInterface(AccessibleIid(), reinterpret_cast<void**>(&acc)))) {
    acc = nullptr;
  }
  return acc;
}

// The outgoing call under way on the main thread: the window of the object it goes to (0 when
// unknown), and when it started (GetTickCount64; 0 when no call is under way), which the
// watchdog thread reads.
std::atomic<HWND> g_callWindow{nullptr};
std::atomic<ULONGLONG> g_callStarted{0};

// Marks one outgoing call for the call filter and the watchdog, from its start to its end.
class CallScope {
 public:
  explicit CallScope(HWND window)
      : previousWindow_(g_callWindow.load()), previousStart_(g_callStarted.load()) {
    g_callWindow.store(window);
    g_callStarted.store(GetTickCount64());
  }
  ~CallScope() {
    g_callWindow.store(previousWindow_);
    g_callStarted.store(previousStart_);
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  HWND previousWindow_;
  ULONGLONG previousStart_;
};

class Win32AccessibleObject final : public AccessibleObject,
                                    public std::enable_shared_from_this<Win32AccessibleObject> {
 public:
  // Takes over one reference of `acc`. `window` is the window the object came from (0 unknown):
  // calls are refused while it hangs. `ownWindow`: the object is that window's own object (from
  // WM_GETOBJECT or the standard one), not one found inside or above it.
  Win32AccessibleObject(IAccessible* acc, HWND window, bool ownWindow)
      : acc_(acc), window_(window), ownWindow_(ownWindow) {}
  ~Win32AccessibleObject() override {
    // Releasing a proxy is a call into the object's program too.
    const CallScope call(window_);
    if (acc_ != nullptr) acc_->Release();
  }
  Win32AccessibleObject(const Win32AccessibleObject&) = delete;
  Win32AccessibleObject& operator=(const Win32AccessibleObject&) = delete;

  IAccessible* Raw() const { return acc_; }
  HWND Window() const { return window_; }
  bool OwnWindow() const { return ownWindow_; }

  std::optional<std::u16string> Name(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    BSTR text = nullptr;
    const HRESULT hr = acc_->get_accName(ChildVariant(child), &text);
    return TakeText(hr, text);
  }
  std::optional<std::u16string> Value(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    BSTR text = nullptr;
    const HRESULT hr = acc_->get_accValue(ChildVariant(child), &text);
    return TakeText(hr, text);
  }
  std::optional<std::u16string> Description(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    BSTR text = nullptr;
    const HRESULT hr = acc_->get_accDescription(ChildVariant(child), &text);
    return TakeText(hr, text);
  }
  std::optional<std::u16string> KeyboardShortcut(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    BSTR text = nullptr;
    const HRESULT hr = acc_->get_accKeyboardShortcut(ChildVariant(child), &text);
    return TakeText(hr, text);
  }
  std::optional<std::u16string> DefaultAction(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    BSTR text = nullptr;
    const HRESULT hr = acc_->get_accDefaultAction(ChildVariant(child), &text);
    return TakeText(hr, text);
  }
  std::optional<std::int32_t> Role(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = acc_->get_accRole(ChildVariant(child), &out);
    std::optional<std::int32_t> result;
    if (hr == S_OK && out.vt == VT_I4) result = out.lVal;  // a role given as text is no number
    VariantClear(&out);
    return result;
  }
  std::optional<std::uint32_t> State(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = acc_->get_accState(ChildVariant(child), &out);
    std::optional<std::uint32_t> result;
    if (hr == S_OK && out.vt == VT_I4) result = static_cast<std::uint32_t>(out.lVal);
    VariantClear(&out);
    return result;
  }
  std::optional<Rect> Location(std::int32_t child) override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    LONG x = 0, y = 0, w = 0, h = 0;
    if (acc_->accLocation(&x, &y, &w, &h, ChildVariant(child)) != S_OK) return std::nullopt;
    // Another program's numbers: an edge past 32 bits stops at the end of the range instead of
    // wrapping round to the other side.
    const auto edge = [](LONG from, LONG size) {
      return static_cast<std::int32_t>(
          std::clamp<std::int64_t>(std::int64_t{from} + size, INT32_MIN, INT32_MAX));
    };
    return Rect{x, y, edge(x, w), edge(y, h)};
  }
  std::optional<std::int32_t> ChildCount() override {
    if (!Usable()) return std::nullopt;
    const CallScope call(window_);
    LONG count = 0;
    if (acc_->get_accChildCount(&count) != S_OK || count < 0) return std::nullopt;
    return count;
  }
  AccessiblePtr Parent() override {
    if (!Usable()) return nullptr;
    const CallScope call(window_);
    IDispatch* dispatch = nullptr;
    if (acc_->get_accParent(&dispatch) != S_OK || dispatch == nullptr) return nullptr;
    IAccessible* parent = QueryAccessible(dispatch);
    dispatch->Release();
    return Wrap(parent);
  }
  std::vector<AccessibleChild> Children(std::int32_t start, std::int32_t count) override {
    std::vector<AccessibleChild> result;
    if (!Usable() || start < 0 || count <= 0) return result;
    const CallScope call(window_);
    const LONG asked = std::min<LONG>(count, kMaxChildrenPerCall);
    std::vector<VARIANT> slots(static_cast<std::size_t>(asked));
    for (VARIANT& v : slots) VariantInit(&v);
    LONG obtained = 0;
    if (SUCCEEDED(AccessibleChildren(acc_, start, asked, slots.data(), &obtained))) {
      obtained = std::clamp<LONG>(obtained, 0, asked);
      for (LONG i = 0; i < obtained; ++i) {
        if (AccessibleChild child = FromVariant(slots[static_cast<std::size_t>(i)])) {
          result.push_back(std::move(child));
        }
      }
    }
    for (VARIANT& v : slots) VariantClear(&v);
    return result;
  }
  AccessibleChild Navigate(std::int32_t direction, std::int32_t child) override {
    if (!Usable()) return {};
    const CallScope call(window_);
    VARIANT out;
    VariantInit(&out);
    AccessibleChild result;
    if (acc_->accNavigate(direction, ChildVariant(child), &out) == S_OK) {
      result = FromVariant(out);
    }
    VariantClear(&out);
    return result;
  }
  AccessibleChild HitTest(std::int32_t x, std::int32_t y) override {
    if (!Usable()) return {};
    const CallScope call(window_);
    VARIANT out;
    VariantInit(&out);
    AccessibleChild result;
    if (acc_->accHitTest(x, y, &out) == S_OK) result = FromVariant(out);
    VariantClear(&out);
    return result;
  }
  bool DoDefaultAction(std::int32_t child) override {
    if (!Usable()) return false;
    const CallScope call(window_);
    return acc_->accDoDefaultAction(ChildVariant(child)) == S_OK;
  }
  bool Select(std::int32_t flags, std::int32_t child) override {
    if (!Usable()) return false;
    const CallScope call(window_);
    return acc_->accSelect(flags, ChildVariant(child)) == S_OK;
  }

  AccessiblePtr Wrap(IAccessible* acc) const {
    if (acc == nullptr) return nullptr;
    return std::make_shared<Win32AccessibleObject>(acc, window_, false);
  }

 private:
  bool Usable() const { return acc_ != nullptr && (window_ == nullptr || !win32::IsHung(window_)); }

  // A VARIANT an object answered with: a child id of this object, or a full object.
  AccessibleChild FromVariant(const VARIANT& v) {
    if (v.vt == VT_I4) return {shared_from_this(), v.lVal};
    if (v.vt == VT_DISPATCH && v.pdispVal != nullptr) {
      if (IAccessible* acc = QueryAccessible(v.pdispVal)) return {Wrap(acc), CHILDID_SELF};
    }
    return {};
  }

  IAccessible* acc_;
  HWND window_;
  bool ownWindow_;
};

// Each WinEvent hook's owner, for the system callback (which gets only the hook handle).
std::map<WinEventHook, Win32Accessibility*>& HookOwners() {
  static std::map<WinEventHook, Win32Accessibility*> owners;
  return owners;
}

// Bounds every outgoing COM call of this thread (MSAA calls into other programs): while COM
// waits for a reply it asks the filter about each message that arrives (the program's own timers
// tick every 50 ms), and once the call has waited kCallLimitMs the filter cancels it; the call then
// fails with RPC_E_CALL_CANCELED, which the ports report as a failed read, and the program's
// thread is remembered as not answering, so the calls after it fail at once instead of each
// waiting again. A call the other program rejects (it is busy) is retried for the same time.
class CallTimeoutFilter final : public IMessageFilter {
 public:
  static constexpr DWORD kCallLimitMs = 1000;
  static constexpr DWORD kWatchdogPeriodMs = 250;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMessageFilter) {
      *out = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives as long as the accessibility port: no counting needed.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD) override {
    return elapsed < kCallLimitMs ? 100 : static_cast<DWORD>(-1);  // retry in 100 ms, or cancel
  }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) override {
    if (elapsed < kCallLimitMs) return PENDINGMSG_WAITDEFPROCESS;
    if (HWND window = g_callWindow.load()) win32::MarkUnanswering(window);
    return PENDINGMSG_CANCELCALL;
  }
};

// Cancels the outgoing RPC call of every thread of this process but `mainThread` and the
// calling one. Under Wine an apartment thread's cross-process COM call is sent and waited for
// by a pool thread while the apartment thread waits for that thread's signal; cancelling the
// pool thread's call (its connection is closed, the call fails) ends both waits. A thread that
// is in no call is not affected. Used only once the call filter's cancel has not ended a call,
// which is the case under Wine only.
void CancelCallsOfOtherThreads(DWORD mainThread) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  const DWORD process = GetCurrentProcessId();
  const DWORD self = GetCurrentThreadId();
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != process || entry.th32ThreadID == mainThread ||
        entry.th32ThreadID == self) {
      continue;
    }
    const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION | THREAD_SET_CONTEXT | SYNCHRONIZE,
                                     FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    RpcCancelThread(thread);
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}

CallTimeoutFilter& TimeoutFilter() {
  static CallTimeoutFilter filter;
  return filter;
}

void CALLBACK WinEventThunk(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                            DWORD, DWORD) {
  const auto id = reinterpret_cast<WinEventHook>(hook);
  auto it = HookOwners().find(id);
  if (it == HookOwners().end()) return;
  it->second->OnWinEvent(id, WinEvent{event, FromHwnd(hwnd), idObject, idChild});
}

}  // namespace

Win32Accessibility::Win32Accessibility() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comInitialised_ = SUCCEEDED(hr);  // S_FALSE (already initialised) also needs its balance
  if (comInitialised_) {
    IMessageFilter* previous = nullptr;
    if (SUCCEEDED(CoRegisterMessageFilter(&TimeoutFilter(), &previous))) {
      filterRegistered_ = true;
      previousFilter_ = previous;
    }
  }
  // The watchdog: COM asks the call filter only when a message arrives for this thread while
  // it waits (under Wine only a posted, sent or paint message; timers do not count). A call that
  // has waited longer than its bound gets a message every quarter second, so the filter is
  // asked and cancels it, however quiet the thread's queue is. Where the filter's cancel does
  // not end the wait (Wine's COM keeps waiting for the reply of a cancelled call, which a
  // pool thread of this process waits for), the watchdog cancels that thread's call itself on
  // its next round.
  stopWatchdog_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stopWatchdog_ != nullptr) {
    const DWORD mainThread = GetCurrentThreadId();
    HANDLE stop = stopWatchdog_;
    watchdog_ = std::thread([mainThread, stop] {
      ULONGLONG askedToCancel = 0;  // the start of the call the filter was asked to cancel
      while (WaitForSingleObject(stop, CallTimeoutFilter::kWatchdogPeriodMs) == WAIT_TIMEOUT) {
        const ULONGLONG started = g_callStarted.load();
        if (started == 0 || GetTickCount64() - started < CallTimeoutFilter::kCallLimitMs) {
          askedToCancel = 0;
          continue;
        }
        if (askedToCancel == started) {
          CancelCallsOfOtherThreads(mainThread);
        } else {
          // The program is remembered as not answering here too: COM may not ask the filter
          // (Wine's does not always) before the call ends.
          askedToCancel = started;
          if (HWND window = g_callWindow.load()) win32::MarkUnanswering(window);
        }
        PostThreadMessageW(mainThread, WM_NULL, 0, 0);
      }
    });
  }
}

Win32Accessibility::~Win32Accessibility() {
  if (stopWatchdog_ != nullptr) {
    SetEvent(stopWatchdog_);
    if (watchdog_.joinable()) watchdog_.join();
    CloseHandle(stopWatchdog_);
  }
  for (const auto& [hook, proc] : hooks_) {
    ::UnhookWinEvent(reinterpret_cast<HWINEVENTHOOK>(hook));
    HookOwners().erase(hook);
  }
  if (filterRegistered_) {
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(static_cast<IMessageFilter*>(previousFilter_), &ours);
    if (previousFilter_) static_cast<IMessageFilter*>(previousFilter_)->Release();
  }
  if (comInitialised_) CoUninitialize();
}

AccessiblePtr Win32Accessibility::ObjectFromWindow(Hwnd w, std::int32_t idObject) {
  HWND hwnd = ToHwnd(w);
  if (!::IsWindow(hwnd) || win32::IsHung(hwnd)) return nullptr;
  // What AccessibleObjectFromWindow does, with a bound on the message: the window's own object
  // when it answers WM_GETOBJECT, else the system's standard object for the window.
  DWORD_PTR answer = 0;
  if (!win32::SendBounded(hwnd, WM_GETOBJECT, 0, idObject, answer)) return nullptr;
  IAccessible* acc = nullptr;
  const auto lresult = static_cast<LRESULT>(answer);
  HRESULT hr = E_FAIL;
  if (lresult > 0) {
    // Unmarshalling the answer may call into the program too.
    const CallScope call(hwnd);
    hr = ObjectFromLresult(lresult, AccessibleIid(), 0, reinterpret_cast<void**>(&acc));
  } else if (lresult == 0) {
    hr = CreateStdAccessibleObject(hwnd, idObject, AccessibleIid(), reinterpret_cast<void**>(&acc));
  }
  if (FAILED(hr) || acc == nullptr) return nullptr;
  return std::make_shared<Win32AccessibleObject>(acc, hwnd, true);
}

AccessibleChild Win32Accessibility::ObjectFromEvent(Hwnd w, std::int32_t idObject,
                                                    std::int32_t idChild) {
  AccessiblePtr object = ObjectFromWindow(w, idObject);
  if (!object) return {};
  if (idChild == CHILDID_SELF) return {object, CHILDID_SELF};
  // A child that is a full object of its own is returned as that object.
  auto* raw = static_cast<Win32AccessibleObject*>(object.get());
  IDispatch* dispatch = nullptr;
  const CallScope call(raw->Window());
  if (raw->Raw()->get_accChild(ChildVariant(idChild), &dispatch) == S_OK && dispatch != nullptr) {
    IAccessible* acc = QueryAccessible(dispatch);
    dispatch->Release();
    if (acc != nullptr) return {raw->Wrap(acc), CHILDID_SELF};
  }
  return {object, idChild};
}

AccessibleChild Win32Accessibility::ObjectFromPoint(std::int32_t x, std::int32_t y) {
  // The window under the point, its client object, then hit tests down through the full
  // objects it contains.
  HWND hwnd = WindowFromPoint(POINT{x, y});
  if (hwnd == nullptr) return {};
  AccessibleChild current{ObjectFromWindow(FromHwnd(hwnd), OBJID_CLIENT), CHILDID_SELF};
  for (int depth = 0; current && depth < kMaxHitDepth; ++depth) {
    AccessibleChild hit = current.object->HitTest(x, y);
    if (!hit) break;
    if (hit.object == current.object) return hit;  // a simple element, or the object itself
    current = hit;
  }
  return current;
}

Hwnd Win32Accessibility::WindowFromObject(const AccessiblePtr& object) {
  auto* raw = dynamic_cast<Win32AccessibleObject*>(object.get());
  if (raw == nullptr || raw->Raw() == nullptr) return 0;
  // A window's own object belongs to that window. (The system's WindowFromAccessibleObject would
  // climb to the parent's window for an object that does not offer IOleWindow itself.)
  if (raw->OwnWindow() && raw->Window() != nullptr) return FromHwnd(raw->Window());
  if (raw->Window() != nullptr && win32::IsHung(raw->Window())) return 0;
  HWND hwnd = nullptr;
  const CallScope call(raw->Window());
  if (FAILED(WindowFromAccessibleObject(raw->Raw(), &hwnd))) return 0;
  return FromHwnd(hwnd);
}

std::u16string Win32Accessibility::RoleText(std::int32_t role) {
  wchar_t buffer[256] = {};
  const UINT n = GetRoleTextW(static_cast<DWORD>(role), buffer, 256);
  return FromWide(buffer, std::min<UINT>(n, 255));
}

std::u16string Win32Accessibility::StateText(std::uint32_t stateBit) {
  wchar_t buffer[256] = {};
  const UINT n = GetStateTextW(stateBit, buffer, 256);
  return FromWide(buffer, std::min<UINT>(n, 255));
}

WinEventHook Win32Accessibility::SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                                                 WinEventProc proc) {
  if (!proc) return 0;
  HWINEVENTHOOK hook =
      ::SetWinEventHook(eventMin, eventMax, nullptr, WinEventThunk, 0, 0, WINEVENT_OUTOFCONTEXT);
  if (hook == nullptr) return 0;
  const auto id = reinterpret_cast<WinEventHook>(hook);
  hooks_[id] = std::move(proc);
  HookOwners()[id] = this;
  return id;
}

bool Win32Accessibility::UnhookWinEvent(WinEventHook hook) {
  if (hooks_.erase(hook) == 0) return false;
  HookOwners().erase(hook);
  return ::UnhookWinEvent(reinterpret_cast<HWINEVENTHOOK>(hook)) != FALSE;
}

void Win32Accessibility::OnWinEvent(WinEventHook hook, const WinEvent& event) {
  pending_.emplace_back(hook, event);
  if (delivering_) return;  // re-entered: the running delivery below hands it out next
  delivering_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{delivering_};  // also when a callback throws
  while (!pending_.empty()) {
    const auto [id, next] = pending_.front();
    pending_.pop_front();
    auto it = hooks_.find(id);  // a callback may have removed this hook meanwhile
    if (it == hooks_.end()) continue;
    const WinEventProc proc = it->second;
    proc(next);
  }
}

}  // namespace quellon::platform
