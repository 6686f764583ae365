// The keyboard of the simulated desktop: key events through the low-level hooks, key state,
// delivery to the focused control, layouts and synthetic input.
#include "platform/sim/sim_keyboard.h"

#include <algorithm>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_layout.h"
#include "text/text.h"

namespace quellon::platform {
namespace {

// The hook sees the left or right key, not the generic one.
std::uint32_t Sided(std::uint32_t vk) {
  switch (vk) {
    case VK_SHIFT:
      return VK_LSHIFT;
    case VK_CONTROL:
      return VK_LCONTROL;
    case VK_MENU:
      return VK_LMENU;
    default:
      return vk;
  }
}

std::uint32_t Generic(std::uint32_t vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return 0;
  }
}

bool Down(const KeyboardState& s, std::uint32_t vk) {
  return (s[vk & 0xFF] & 0x80) != 0;
}

}  // namespace

std::uint32_t SimDesktop::ScanCode(std::uint32_t vk) const {
  return simlayout::ScanOf(layout_, vk);
}

bool SimDesktop::KeyDown(std::uint32_t vk) {
  return KeyEventInput(Sided(vk), false, false);
}
bool SimDesktop::KeyUp(std::uint32_t vk) {
  return KeyEventInput(Sided(vk), true, false);
}

void SimDesktop::Tap(std::uint32_t vk, std::initializer_list<std::uint32_t> modifiers) {
  for (std::uint32_t m : modifiers) KeyDown(m);
  KeyDown(vk);
  KeyUp(vk);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) KeyUp(*it);
}

void SimDesktop::Type(std::u16string_view typed) {
  for (char16_t c : typed) {
    if (c == u'\n') {
      Tap(VK_RETURN);
      continue;
    }
    const auto code = text::CharToCp1250(c);
    if (!code) continue;
    const auto stroke = simlayout::StrokeFor(layout_, *code);
    if (!stroke) continue;
    if (stroke->deadVk != 0) {
      if (stroke->deadShift)
        Tap(stroke->deadVk, {VK_LSHIFT});
      else
        Tap(stroke->deadVk);
    }
    if (stroke->shift)
      Tap(stroke->vk, {VK_LSHIFT});
    else
      Tap(stroke->vk);
  }
}

bool SimDesktop::KeyEventInput(std::uint32_t vk, bool up, bool injected) {
  KeyEvent e;
  e.vkCode = vk;
  e.scanCode = ScanCode(vk);
  e.flags = (up ? LLKHF_UP : 0) | (simlayout::IsExtended(vk) ? LLKHF_EXTENDED : 0) |
            (injected ? LLKHF_INJECTED : 0) | (Down(keyState_, VK_MENU) ? LLKHF_ALTDOWN : 0);
  e.time = static_cast<std::uint32_t>(loop_.Now() / 1000);
  KeyMoment moment;
  moment.key = e;
  moment.ctrl = Down(keyState_, VK_CONTROL);
  moment.shift = Down(keyState_, VK_SHIFT);
  moment.lockToggled = (keyState_[vk & 0xFF] & 0x01) != 0;
  // The most recently installed hook decides first; a swallowed key goes no further. The
  // deliveries run when the loop next takes its messages, as on the installing thread.
  const auto hooks = keyboardHooks_;
  bool swallowed = false;
  bool waitForDelivery = false;
  for (auto it = hooks.rbegin(); it != hooks.rend() && !swallowed; ++it) {
    if (!keyboardHooks_.contains(it->first)) continue;
    const KeyVerdict verdict = it->second.gate(moment);
    pendingKeys_.push_back({it->first, moment, verdict});
    swallowed = verdict == KeyVerdict::kSwallow;
    waitForDelivery = waitForDelivery || verdict == KeyVerdict::kPassAfterHandled;
  }
  if (waitForDelivery) {
    DeliverHookKeys();  // the installing thread is free here: it answers before the key goes on
  } else if (!pendingKeys_.empty() && !deliveryPosted_) {
    deliveryPosted_ = loop_.PostMessage(deliveryWindow_, kDeliverMessage, 0, 0);
  }
  if (swallowed) return true;
  // The key state changes only after the hooks have seen the key.
  const std::uint8_t index = static_cast<std::uint8_t>(vk);
  if (up) {
    keyState_[index] &= 0x7F;
  } else {
    if (!(keyState_[index] & 0x80)) keyState_[index] ^= 0x01;  // toggled on each new press
    keyState_[index] |= 0x80;
  }
  if (const std::uint32_t g = Generic(vk)) {
    const bool any = Down(keyState_, g == VK_SHIFT     ? VK_LSHIFT
                                     : g == VK_CONTROL ? VK_LCONTROL
                                                       : VK_LMENU) ||
                     Down(keyState_, g == VK_SHIFT     ? VK_RSHIFT
                                     : g == VK_CONTROL ? VK_RCONTROL
                                                       : VK_RMENU);
    keyState_[g] = static_cast<std::uint8_t>((keyState_[g] & 0x01) | (any ? 0x80 : 0));
  }
  DeliverToFocus(vk, up);
  return false;
}

void SimDesktop::DeliverHookKeys() {
  while (!pendingKeys_.empty()) {
    const PendingKey k = pendingKeys_.front();
    pendingKeys_.pop_front();
    auto it = keyboardHooks_.find(k.hook);
    if (it != keyboardHooks_.end() && it->second.deliver) it->second.deliver(k.moment, k.verdict);
  }
}

void SimDesktop::DeliverToFocus(std::uint32_t vk, bool up) {
  delivered_.push_back({vk, up});
  SimWindow* w = Find(focus_);
  if (!w) return;
  if (w->handler && w->handler(up ? WM_KEYUP : WM_KEYDOWN, vk, 0)) return;
  if (!up && vk == VK_TAB && !Down(keyState_, VK_CONTROL)) {
    FocusNextControl(Down(keyState_, VK_SHIFT));
    return;
  }
  if (w->kind) w->kind->Key(*this, *w, vk, up);
}

void SimDesktop::FocusNextControl(bool backwards) {
  const Hwnd top = TopLevelOf(focus_);
  std::vector<Hwnd> order;
  windows_.EnumChildWindows(top, [&](Hwnd h) {
    SimWindow* c = Find(h);
    if (IsWindowVisibleFlag(h) && !(c->style & WS_DISABLED) && c->kind && c->kind->TabStop(*c)) {
      order.push_back(h);
    }
    return true;
  });
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), focus_);
  std::size_t i = it == order.end() ? 0 : static_cast<std::size_t>(it - order.begin());
  if (it != order.end())
    i = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
  Focus(order[i]);
}

void SimDesktop::ProcessQueuedInput() {
  while (!queuedInput_.empty()) {
    const Input in = queuedInput_.front();
    queuedInput_.pop_front();
    if (in.kind == Input::Kind::kKeyboard) {
      KeyEventInput(Sided(in.vk), (in.flags & KEYEVENTF_KEYUP) != 0, true);
      continue;
    }
    if (in.flags & MOUSEEVENTF_MOVE) {  // already accelerated when it was sent
      cursor_ = {std::clamp(cursor_.x + in.dx, 0, screen_.right - 1),
                 std::clamp(cursor_.y + in.dy, 0, screen_.bottom - 1)};
    }
    if (in.flags & (MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN)) {
      clicks_.push_back({cursor_, (in.flags & MOUSEEVENTF_RIGHTDOWN) != 0});
      const Hwnd h = WindowAtPoint(cursor_);
      if (h != 0 && h != focus_) Focus(h);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The keyboard port

KeyboardHook SimKeyboard::SetLowLevelHook(KeyGateProc gate, KeyDeliveryProc deliver) {
  if (!gate || d_.keyboardHooksFail_) return 0;
  const KeyboardHook id = d_.nextKeyboardHook_++;
  d_.keyboardHooks_[id] = {std::move(gate), std::move(deliver)};
  return id;
}

bool SimKeyboard::Unhook(KeyboardHook hook) {
  return d_.keyboardHooks_.erase(hook) > 0;
}

std::uint32_t SimKeyboard::SendInput(const std::vector<Input>& inputs) {
  // Inserted into the input stream; the hooks and the focused program see it when the thread
  // next takes its messages, as on Windows.
  // A relative move is accelerated with the pointer settings of the moment it is sent: beyond
  // the first threshold it doubles, beyond the second (with acceleration 2) it doubles again.
  auto accelerate = [this](std::int32_t d) {
    const std::int32_t a = d < 0 ? -d : d;
    std::int32_t factor = 1;
    if (d_.mouse_.acceleration >= 1 && a > d_.mouse_.threshold1) factor = 2;
    if (d_.mouse_.acceleration >= 2 && a > d_.mouse_.threshold2) factor = 4;
    return d * factor;
  };
  for (Input in : inputs) {
    if (in.kind == Input::Kind::kMouse && (in.flags & MOUSEEVENTF_MOVE)) {
      in.dx = accelerate(in.dx);
      in.dy = accelerate(in.dy);
    }
    d_.queuedInput_.push_back(in);
  }
  if (!inputs.empty() && !d_.deliveryPosted_) {
    d_.deliveryPosted_ =
        d_.loop_.PostMessage(d_.deliveryWindow_, SimDesktop::kDeliverMessage, 0, 0);
  }
  return static_cast<std::uint32_t>(inputs.size());
}

std::int16_t SimKeyboard::GetAsyncKeyState(std::uint32_t vk) {
  return Down(d_.keyState_, vk) ? static_cast<std::int16_t>(-32768) : std::int16_t{0};
}

std::int16_t SimKeyboard::GetKeyState(std::uint32_t vk) {
  const std::uint8_t s = d_.keyState_[vk & 0xFF];
  return static_cast<std::int16_t>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

bool SimKeyboard::GetKeyboardState(KeyboardState& state) {
  state = d_.keyState_;
  return true;
}

std::uint32_t SimKeyboard::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
  switch (mapType) {
    case MAPVK_VK_TO_VSC:
      return simlayout::ScanOf(d_.layout_, code);
    case MAPVK_VSC_TO_VK: {
      auto k = simlayout::FindByScan(d_.layout_, code);
      return k ? k->vk : 0;
    }
    case MAPVK_VK_TO_CHAR: {
      auto k = simlayout::FindByVk(d_.layout_, code);
      if (!k) return 0;
      if (code >= 'A' && code <= 'Z') return code;  // letters as capitals
      return k->deadNormal ? 0x80000000u | k->normal : k->normal;
    }
    default:
      return 0;
  }
}

std::int32_t SimKeyboard::ToAsciiEx(std::uint32_t vk, std::uint32_t, const KeyboardState& state,
                                    std::uint16_t& ch, std::uint32_t, KeyboardLayout layout) {
  const bool shift = Down(state, VK_SHIFT) || Down(state, VK_LSHIFT) || Down(state, VK_RSHIFT);
  const bool ctrl = Down(state, VK_CONTROL) || Down(state, VK_LCONTROL) || Down(state, VK_RCONTROL);
  const bool caps = (state[VK_CAPITAL] & 0x01) != 0;
  auto t = simlayout::Translate(layout, vk, shift, caps, ctrl);
  if (!t) return 0;
  if (t->dead) {
    if (pendingDead_ != 0) {  // two dead keys: both characters come out
      ch = static_cast<std::uint16_t>(pendingDead_ | (t->ch << 8));
      pendingDead_ = 0;
      return 2;
    }
    pendingDead_ = t->ch;
    ch = t->ch;
    return -1;
  }
  if (pendingDead_ != 0) {
    const std::uint16_t dead = pendingDead_;
    pendingDead_ = 0;
    if (auto combined = simlayout::Combine(static_cast<std::uint8_t>(dead), t->ch)) {
      ch = *combined;
      return 1;
    }
    ch = static_cast<std::uint16_t>(dead | (t->ch << 8));
    return 2;
  }
  ch = t->ch;
  return 1;
}

KeyboardLayout SimKeyboard::GetKeyboardLayout(ThreadId) {
  return d_.layout_;
}

bool SimKeyboard::AttachThreadInput(ThreadId attach, ThreadId attachTo, bool) {
  return attach != 0 && attachTo != 0 && attach != attachTo;
}

bool SimKeyboard::GetMouseParams(MouseParams& params) {
  params = d_.mouse_;
  return true;
}

bool SimKeyboard::SetMouseParams(const MouseParams& params) {
  d_.mouse_ = params;
  return true;
}

}  // namespace quellon::platform
