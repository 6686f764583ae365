#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_windows.h"

#include <algorithm>

namespace quellon::platform {
namespace {

// The keyboard whose hook is installed. One per process: a low-level hook proc receives no
// context, and one system hook serves every caller.
Win32Keyboard* hookOwner = nullptr;

LRESULT CALLBACK LowLevelThunk(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && hookOwner != nullptr && lParam != 0) {
    const auto* raw = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    KeyEvent key;
    key.vkCode = raw->vkCode;
    key.scanCode = raw->scanCode;
    key.flags = raw->flags;
    key.time = raw->time;
    key.extraInfo = raw->dwExtraInfo;
    if (hookOwner->Dispatch(key)) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Win32Keyboard::Win32Keyboard() = default;

Win32Keyboard::~Win32Keyboard() {
  if (systemHook_ != nullptr) UnhookWindowsHookEx(static_cast<HHOOK>(systemHook_));
  if (hookOwner == this) hookOwner = nullptr;
}

KeyboardHook Win32Keyboard::SetLowLevelHook(KeyboardHookProc proc) {
  if (!proc) return 0;
  if (hookOwner != nullptr && hookOwner != this) return 0;  // another keyboard object has it
  if (systemHook_ == nullptr) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelThunk, GetModuleHandleW(nullptr), 0);
    if (hook == nullptr) return 0;
    systemHook_ = hook;
    hookOwner = this;
  }
  const KeyboardHook id = nextId_++;
  procs_.emplace_back(id, std::move(proc));
  return id;
}

bool Win32Keyboard::Unhook(KeyboardHook hook) {
  auto it = std::find_if(procs_.begin(), procs_.end(),
                         [hook](const auto& entry) { return entry.first == hook; });
  if (it == procs_.end()) return false;
  procs_.erase(it);
  if (procs_.empty() && systemHook_ != nullptr) {
    UnhookWindowsHookEx(static_cast<HHOOK>(systemHook_));
    systemHook_ = nullptr;
    hookOwner = nullptr;
  }
  return true;
}

bool Win32Keyboard::Dispatch(const KeyEvent& key) {
  // A copy: a callback may unhook itself or add a hook while it runs.
  const auto procs = procs_;
  for (auto it = procs.rbegin(); it != procs.rend(); ++it) {
    if (it->second(key)) return true;
  }
  return false;
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
