#include "reader/fallback_keyboard_hook.h"

namespace quellon::reader {

using platform::VK_CONTROL;
using platform::VK_MENU;
using platform::VK_SHIFT;

namespace {

constexpr std::array<std::uint32_t, 3> kModifiers = {VK_SHIFT, VK_CONTROL, VK_MENU};

bool IsModifier(std::uint32_t vk) {
  return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
}

// Keys that are looked at: not the mouse buttons, not the one-sided modifier codes (reported
// through the general ones), not the codes 0 and 255 that name no key.
bool Polled(std::uint32_t vk) {
  switch (vk) {
    case 0x00:
    case 0x01:  // VK_LBUTTON
    case 0x02:  // VK_RBUTTON
    case 0x04:  // VK_MBUTTON
    case 0x05:  // VK_XBUTTON1
    case 0x06:  // VK_XBUTTON2
    case 0xFF:
      return false;
    default:
      return vk < platform::VK_LSHIFT || vk > platform::VK_RMENU;
  }
}

}  // namespace

FallbackKeyboardHook::~FallbackKeyboardHook() {
  Stop();
}

void FallbackKeyboardHook::Stop() {
  if (timer_ != 0) loop_.KillTimer(timer_);
  timer_ = 0;
  hwnd_ = 0;
}

std::array<bool, 256> FallbackKeyboardHook::Snapshot() {
  std::array<bool, 256> now{};
  for (std::uint32_t vk = 0; vk < now.size(); ++vk) {
    if (Polled(vk)) now[vk] = (keyboard_.GetAsyncKeyState(vk) & 0x8000) != 0;
  }
  return now;
}

std::int32_t FallbackKeyboardHook::InstallKeyboardHook(platform::Hwnd hwnd, std::int32_t install) {
  Stop();
  if (install == 0 || hwnd == 0) return 0;
  down_ = Snapshot();
  timer_ = loop_.SetTimer(kPollMs, [this] { Poll(); });
  if (timer_ == 0) return 0;
  hwnd_ = hwnd;
  return 1;
}

bool FallbackKeyboardHook::Post(std::uint32_t message, std::uint32_t vk, bool ctrl, bool shift) {
  return loop_.PostMessage(hwnd_, message, vk,
                           static_cast<platform::LParam>(ModifierCode(ctrl, shift)));
}

void FallbackKeyboardHook::Poll() {
  if (timer_ == 0) return;
  const std::array<bool, 256> now = Snapshot();
  bool ctrl = down_[VK_CONTROL];
  bool shift = down_[VK_SHIFT];
  bool ok = true;
  for (std::uint32_t m : kModifiers) {
    if (now[m] && !down_[m]) {
      if (m == VK_CONTROL) ctrl = true;
      if (m == VK_SHIFT) shift = true;
      ok = ok && Post(platform::MSG_KEY_PRESSED, m, ctrl, shift);
    }
  }
  for (const bool pressed : {true, false}) {
    for (std::uint32_t vk = 0; vk < now.size(); ++vk) {
      if (IsModifier(vk) || now[vk] == down_[vk] || now[vk] != pressed) continue;
      ok = ok &&
           Post(pressed ? platform::MSG_KEY_PRESSED : platform::MSG_KEY_RELEASED, vk, ctrl, shift);
    }
  }
  for (std::uint32_t m : kModifiers) {
    if (!now[m] && down_[m]) {
      if (m == VK_CONTROL) ctrl = false;
      if (m == VK_SHIFT) shift = false;
      ok = ok && Post(platform::MSG_KEY_RELEASED, m, ctrl, shift);
    }
  }
  down_ = now;
  if (!ok) Stop();  // the window has gone
}

}  // namespace quellon::reader
