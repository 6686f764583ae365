#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_windows.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <system_error>
#include <utility>

namespace quellon::platform {
namespace {

// Sent to a hook's delivery window when keys wait in its queue; the window is of its own class,
// so the number is private to it.
constexpr UINT kDeliverMessage = WM_APP + 0x3F;
constexpr wchar_t kDeliveryClass[] = L"QuellonKeyDelivery";
// Room for this many keys before the queue allocates: far more than a busy main thread lets
// pile up between two deliveries.
constexpr std::size_t kQueueReserve = 512;

constexpr std::array<std::uint32_t, 3> kLockKeys = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};

int LockIndex(std::uint32_t vk) {
  for (std::size_t i = 0; i < kLockKeys.size(); ++i) {
    if (kLockKeys[i] == vk) return static_cast<int>(i);
  }
  return -1;
}

// The hook of the hook thread this runs on: a low-level hook procedure receives no context.
thread_local LowLevelKeyHook* threadHook = nullptr;

LRESULT CALLBACK HookThunk(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && threadHook != nullptr && lParam != 0) {
    const auto* raw = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    KeyEvent key;
    key.vkCode = raw->vkCode;
    key.scanCode = raw->scanCode;
    key.flags = raw->flags;
    key.time = raw->time;
    key.extraInfo = raw->dwExtraInfo;
    if (threadHook->OnKey(key)) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DeliveryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDeliverMessage) {
    auto* hook = reinterpret_cast<LowLevelKeyHook*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (hook != nullptr) {
      // Alive to the end of the delivery, even when a delivered key unhooks it.
      const std::shared_ptr<LowLevelKeyHook> keep = hook->shared_from_this();
      keep->DeliverQueued();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterDeliveryClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DeliveryProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kDeliveryClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// One hook

std::shared_ptr<LowLevelKeyHook> LowLevelKeyHook::Create(KeyGateProc gate,
                                                         KeyDeliveryProc deliver) {
  return std::shared_ptr<LowLevelKeyHook>(new LowLevelKeyHook(std::move(gate), std::move(deliver)));
}

LowLevelKeyHook::LowLevelKeyHook(KeyGateProc gate, KeyDeliveryProc deliver)
    : gate_(std::move(gate)), deliver_(std::move(deliver)) {
  queue_.reserve(kQueueReserve);
  delivering_.reserve(kQueueReserve);
}

LowLevelKeyHook::~LowLevelKeyHook() {
  Stop();
}

bool LowLevelKeyHook::OpenDelivery() {
  if (window_.load() != nullptr) return true;
  if (!RegisterDeliveryClass()) return false;
  HWND hwnd = CreateWindowExW(0, kDeliveryClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) return false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  window_.store(hwnd);
  return true;
}

bool LowLevelKeyHook::Start() {
  if (!OpenDelivery()) return false;
  try {
    thread_ = std::thread(&LowLevelKeyHook::Run, this, shared_from_this());
  } catch (const std::system_error&) {
    Stop();
    return false;
  }
  std::unique_lock<std::mutex> lock(startMutex_);
  const bool answered = started_.wait_for(lock, std::chrono::milliseconds(kStartWaitMs),
                                          [this] { return startState_ != StartState::kStarting; });
  if (!answered) {
    // The thread is stuck before its message loop: it unhooks and ends by itself when it gets
    // there, holding its own reference.
    startState_ = StartState::kAbandoned;
    lock.unlock();
    thread_.detach();
    Stop();
    return false;
  }
  const bool running = startState_ == StartState::kRunning;
  lock.unlock();
  if (!running) Stop();  // the thread has ended: Stop only joins it
  return running;
}

void LowLevelKeyHook::Stop() {
  {
    std::lock_guard<std::mutex> lock(deliveredMutex_);
    stopped_.store(true);
  }
  deliveredChanged_.notify_all();  // a key waiting for its delivery goes on now
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();  // the last reference went on the hook thread itself, which is ending
    } else {
      // The thread's queue holds nothing but this; retry briefly should it be refused.
      for (int i = 0; i < 100 && threadId_ != 0 && !PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
           ++i) {
        Sleep(10);
      }
      thread_.join();
    }
  }
  if (HWND hwnd = static_cast<HWND>(window_.exchange(nullptr))) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

void LowLevelKeyHook::Run(std::shared_ptr<LowLevelKeyHook> self) {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // this thread's message queue
  // The whole desktop's keyboard waits for this thread: it goes before ordinary work.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  SeedLocks();
  threadHook = this;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookThunk, GetModuleHandleW(nullptr), 0);
  {
    std::lock_guard<std::mutex> lock(startMutex_);
    if (startState_ == StartState::kAbandoned) {
      if (hook != nullptr) UnhookWindowsHookEx(hook);
      threadHook = nullptr;
      return;
    }
    threadId_ = GetCurrentThreadId();
    startState_ = hook != nullptr ? StartState::kRunning : StartState::kFailed;
  }
  started_.notify_all();
  if (hook != nullptr) {
    // The hook procedure runs inside GetMessage; the only message is WM_QUIT from Stop.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
  }
  threadHook = nullptr;
  self.reset();
}

void LowLevelKeyHook::SeedLocks() {
  // The lock states as the focused program has them: this thread's own input state knows only
  // what it has been told. Attached for the reading alone.
  const DWORD self = GetCurrentThreadId();
  const HWND foreground = GetForegroundWindow();
  const DWORD other = foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool attached = other != 0 && other != self && ::AttachThreadInput(self, other, TRUE);
  for (std::size_t i = 0; i < kLockKeys.size(); ++i) {
    locks_[i] = (::GetKeyState(static_cast<int>(kLockKeys[i])) & 0x0001) != 0;
  }
  // Modifiers already held when the hook starts; from here on the hook's own keys tell.
  for (int vk : {VK_LCONTROL, VK_RCONTROL, VK_LSHIFT, VK_RSHIFT}) {
    down_[static_cast<std::size_t>(vk)] = (::GetAsyncKeyState(vk) & 0x8000) != 0;
  }
  if (attached) ::AttachThreadInput(self, other, FALSE);
}

bool LowLevelKeyHook::LockOn(std::uint32_t vk) const {
  const int i = LockIndex(vk);
  return i >= 0 && locks_[static_cast<std::size_t>(i)];
}

void LowLevelKeyHook::TrackKey(const KeyEvent& key, bool swallowed) {
  const std::size_t vk = key.vkCode & 0xFF;
  const bool up = (key.flags & LLKHF_UP) != 0;
  const int lock = LockIndex(key.vkCode);
  // A new press toggles the lock; an auto-repeat does not, nor a press no program gets.
  if (lock >= 0 && !up && !down_[vk] && !swallowed) {
    locks_[static_cast<std::size_t>(lock)] = !locks_[static_cast<std::size_t>(lock)];
  }
  down_[vk] = !up;
}

void LowLevelKeyHook::Post() {
  if (posted_.exchange(true)) return;  // one message is on its way and takes this key too
  HWND hwnd = static_cast<HWND>(window_.load());
  if (hwnd == nullptr || !PostMessageW(hwnd, kDeliverMessage, 0, 0)) posted_.store(false);
}

bool LowLevelKeyHook::OnKey(const KeyEvent& key) {
  KeyMoment moment;
  moment.key = key;
  // Ctrl and Shift as the keys seen so far left them. The system's asynchronous state is not
  // used here: under Wine it can already show a modifier released whose release is still on its
  // way to this hook (a chord typed quickly loses its modifiers at the key's release).
  moment.ctrl = down_[VK_LCONTROL] || down_[VK_RCONTROL] || down_[VK_CONTROL];
  moment.shift = down_[VK_LSHIFT] || down_[VK_RSHIFT] || down_[VK_SHIFT];
  moment.lockToggled = LockOn(key.vkCode);
  KeyVerdict verdict = KeyVerdict::kPass;
  try {
    verdict = gate_(moment);
  } catch (...) {
    // Nothing may unwind into the system's hook call: a gate that fails lets the key pass.
  }
  const bool swallowed = verdict == KeyVerdict::kSwallow;
  TrackKey(key, swallowed);
  std::uint64_t sequence = 0;
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    sequence = ++queuedSequence_;
    queue_.push_back({moment, verdict, sequence});
  }
  Post();
  if (verdict == KeyVerdict::kPassAfterHandled) {
    std::unique_lock<std::mutex> lock(deliveredMutex_);
    deliveredChanged_.wait_for(lock, std::chrono::milliseconds(kHandledWaitMs),
                               [&] { return delivered_ >= sequence || stopped_.load(); });
  }
  return swallowed;
}

void LowLevelKeyHook::DeliverQueued() {
  // A delivery that takes messages (a modal loop, a cross-process call) can bring the next
  // message here again: the running delivery takes the new keys in their turn.
  if (inDelivery_) return;
  inDelivery_ = true;
  while (!stopped_.load()) {
    posted_.store(false);  // keys queued from now on post a message of their own
    {
      std::lock_guard<std::mutex> lock(queueMutex_);
      delivering_.swap(queue_);
    }
    if (delivering_.empty()) break;
    for (const Queued& q : delivering_) {
      if (stopped_.load()) break;
      if (!deliver_) continue;
      try {
        deliver_(q.moment, q.verdict);
      } catch (...) {
        // One key's failure is its own: the keys after it are delivered all the same.
      }
    }
    const std::uint64_t last = delivering_.back().sequence;
    delivering_.clear();
    {
      std::lock_guard<std::mutex> lock(deliveredMutex_);
      delivered_ = last;
    }
    deliveredChanged_.notify_all();
  }
  inDelivery_ = false;
}

// ---------------------------------------------------------------------------------------------
// The keyboard

Win32Keyboard::Win32Keyboard() = default;

Win32Keyboard::~Win32Keyboard() {
  while (!hooks_.empty()) Unhook(hooks_.back().id);
}

KeyboardHook Win32Keyboard::SetLowLevelHook(KeyGateProc gate, KeyDeliveryProc deliver) {
  if (!gate || refuseHooks_) return 0;
  auto hook = LowLevelKeyHook::Create(std::move(gate), std::move(deliver));
  if (!hook->Start()) return 0;
  const KeyboardHook id = nextId_++;
  hooks_.push_back({id, std::move(hook)});
  return id;
}

bool Win32Keyboard::Unhook(KeyboardHook hook) {
  auto it = std::find_if(hooks_.begin(), hooks_.end(),
                         [hook](const Installed& entry) { return entry.id == hook; });
  if (it == hooks_.end()) return false;
  const std::shared_ptr<LowLevelKeyHook> stopping = std::move(it->hook);
  hooks_.erase(it);
  stopping->Stop();
  return true;
}

std::uint32_t Win32Keyboard::SendInput(const std::vector<Input>& inputs) {
  if (inputs.empty()) return 0;
  std::vector<INPUT> records(inputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const Input& in = inputs[i];
    INPUT& out = records[i];
    if (in.kind == Input::Kind::kKeyboard) {
      out.type = INPUT_KEYBOARD;
      out.ki.wVk = in.vk;
      out.ki.wScan = in.scan;
      out.ki.dwFlags = in.flags;
    } else {
      out.type = INPUT_MOUSE;
      out.mi.dx = in.dx;
      out.mi.dy = in.dy;
      out.mi.dwFlags = in.flags;
    }
  }
  return ::SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
}

std::int16_t Win32Keyboard::GetAsyncKeyState(std::uint32_t vk) {
  return ::GetAsyncKeyState(static_cast<int>(vk));
}

std::int16_t Win32Keyboard::GetKeyState(std::uint32_t vk) {
  return ::GetKeyState(static_cast<int>(vk));
}

bool Win32Keyboard::GetKeyboardState(KeyboardState& state) {
  return ::GetKeyboardState(state.data()) != FALSE;
}

std::uint32_t Win32Keyboard::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
  return MapVirtualKeyA(code, mapType);  // ANSI by the port's contract
}

std::int32_t Win32Keyboard::ToAsciiEx(std::uint32_t vk, std::uint32_t scan,
                                      const KeyboardState& state, std::uint16_t& ch,
                                      std::uint32_t flags, KeyboardLayout layout) {
  WORD out[2] = {0, 0};
  const int n = ::ToAsciiEx(vk, scan, state.data(), out, flags, reinterpret_cast<HKL>(layout));
  // The system writes the characters as ANSI bytes into the buffer: with two of them the first
  // WORD holds both, low byte first, as the port wants.
  ch = out[0];
  return n;
}

KeyboardLayout Win32Keyboard::GetKeyboardLayout(ThreadId thread) {
  return reinterpret_cast<KeyboardLayout>(::GetKeyboardLayout(thread));
}

bool Win32Keyboard::AttachThreadInput(ThreadId attach, ThreadId attachTo, bool attachIt) {
  return ::AttachThreadInput(attach, attachTo, attachIt ? TRUE : FALSE) != FALSE;
}

bool Win32Keyboard::GetMouseParams(MouseParams& params) {
  int values[3] = {0, 0, 0};
  if (!SystemParametersInfoW(SPI_GETMOUSE, 0, values, 0)) return false;
  params = {values[0], values[1], values[2]};
  return true;
}

bool Win32Keyboard::SetMouseParams(const MouseParams& params) {
  int values[3] = {params.threshold1, params.threshold2, params.acceleration};
  return SystemParametersInfoW(SPI_SETMOUSE, 0, values, 0) != FALSE;
}

}  // namespace quellon::platform
