#include "reader/event_hook_library.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "access/object_walker.h"

namespace quellon::reader {

using platform::Hwnd;

EventHookLibrary::~EventHookLibrary() {
  Stop();
}

void EventHookLibrary::Stop() {
  for (platform::WinEventHook h : hooks_) access_.UnhookWinEvent(h);
  hooks_.clear();
  callback_.reset();
  active_ = {};
  DropHeld();
  foreground_ = 0;
}

std::int32_t EventHookLibrary::InstallEventHook(Hwnd hwnd, std::int32_t /*reserved1*/,
                                                std::int32_t /*reserved2*/,
                                                AccessibleEventCallback callback) {
  Stop();
  if (hwnd == 0 || !callback) return 0;
  callback_ = std::make_shared<const AccessibleEventCallback>(std::move(callback));
  // The window already active counts as announced: only a later change is named.
  platform::GuiThreadInfo info;
  if (windows_.GetGUIThreadInfo(0, info)) foreground_ = info.active;
  bool all = true;
  // One hook per event (or run of neighbouring events): hooking whole ranges would marshal every
  // event in between (location and name changes of the whole desktop) only to be thrown away here.
  for (std::size_t i = 0; i < kEvents.size();) {
    const std::uint32_t first = kEvents[i++];
    std::uint32_t last = first;
    while (i < kEvents.size() && kEvents[i] == last + 1) last = kEvents[i++];
    const platform::WinEventHook h =
        access_.SetWinEventHook(first, last, [this](const platform::WinEvent& e) { OnEvent(e); });
    if (h != 0) {
      hooks_.push_back(h);
    } else {
      all = false;
    }
  }
  return all ? 1 : 0;
}

// Two mends, both only with an event loop:
// - A program may focus a control before it shows the window (Wine's Notepad does, and raises
//   nothing after it). Such a focus or selection event is held and delivered once the window is
//   visible and, when it belongs to another program's thread than the active window, has become
//   the active window (looked at every kHoldPollMs; after kHoldLimitMs a visible window's event
//   goes on as it is, a hidden one's is given up), so the callback still only ever sees visible
//   windows. A newer focus or selection event replaces a held one.
// - A new active window that no foreground event named (Wine raises none) is named with an
//   EVENT_SYSTEM_FOREGROUND of its own just before the focus event that came with it, so its
//   title is spoken (once it is visible: a window not shown yet is named with a later event).
//   When the system names no active window at that moment, the focused window's top-level
//   window is the new one.
void EventHookLibrary::OnEvent(const platform::WinEvent& e) {
  if (std::find(kEvents.begin(), kEvents.end(), e.event) == kEvents.end()) return;
  if (!callback_) return;
  const bool focusEvent =
      e.event == platform::EVENT_OBJECT_FOCUS || e.event == platform::EVENT_OBJECT_SELECTION;
  if (focusEvent && loop_ != nullptr) {
    DropHeld();
    if (!windows_.IsWindowVisible(e.hwnd)) {
      Hold(e);
      return;
    }
  }
  Deliver(e);
}

void EventHookLibrary::Deliver(const platform::WinEvent& e) {
  std::shared_ptr<const AccessibleEventCallback> callback = callback_;
  if (!callback) return;
  const bool focusEvent =
      e.event == platform::EVENT_OBJECT_FOCUS || e.event == platform::EVENT_OBJECT_SELECTION;
  if (e.event == platform::EVENT_SYSTEM_FOREGROUND) foreground_ = e.hwnd;
  if (focusEvent && windows_.IsWindowVisible(e.hwnd)) {
    active_ = {e.hwnd, e.idObject, e.idChild, true};
    if (loop_ != nullptr) {
      const Hwnd active = ActiveWindowFor(e.hwnd);
      if (active != 0 && active != foreground_ && windows_.IsWindowVisible(active)) {
        foreground_ = active;
        (*callback)(platform::EVENT_SYSTEM_FOREGROUND, active, platform::OBJID_WINDOW,
                    platform::CHILDID_SELF);
        if (callback_ != callback) return;  // the callback removed or replaced the hook
      }
    }
  }
  (*callback)(e.event, e.hwnd, e.idObject, e.idChild);
}

Hwnd EventHookLibrary::ActiveWindowFor(Hwnd focused) {
  platform::GuiThreadInfo info;
  if (windows_.GetGUIThreadInfo(0, info) && info.active != 0) return info.active;
  // No active window at this moment (Wine, while a dialog becomes the foreground window, already
  // sends the focus event of its first control): the focused window's top-level window.
  return TopLevelOf(focused);
}

Hwnd EventHookLibrary::TopLevelOf(Hwnd w) {
  for (int depth = 0; depth < kMaxWindowDepth && w != 0; ++depth) {
    const Hwnd parent = windows_.GetParent(w);
    if (parent == 0) return w;
    w = parent;
  }
  return 0;
}

bool EventHookLibrary::AwaitsActivation(Hwnd focused) {
  platform::GuiThreadInfo info;
  if (!windows_.GetGUIThreadInfo(0, info) || info.active == 0) return false;
  const Hwnd top = TopLevelOf(focused);
  if (top == 0 || top == info.active) return false;
  // A pop-up of the active window's own program (a drop-down list, a menu) is never activated.
  return windows_.GetWindowThreadProcessId(top) != windows_.GetWindowThreadProcessId(info.active);
}

void EventHookLibrary::Hold(const platform::WinEvent& e) {
  held_ = e;
  heldFor_ = 0;
  holdTimer_ = loop_->SetTimer(kHoldPollMs, [this] { PollHeld(); });
  if (holdTimer_ == 0) held_.reset();  // no timer: the event goes the way of any hidden one
}

void EventHookLibrary::DropHeld() {
  if (holdTimer_ != 0 && loop_ != nullptr) loop_->KillTimer(holdTimer_);
  holdTimer_ = 0;
  held_.reset();
}

void EventHookLibrary::PollHeld() {
  if (!held_) return DropHeld();
  heldFor_ += kHoldPollMs;
  const bool over = heldFor_ >= kHoldLimitMs;
  if (!windows_.IsWindow(held_->hwnd)) return DropHeld();
  // Shown is not enough: Wine shows a new window a moment before it makes it the active one,
  // and until then the system still names the window that was active before (read as the new
  // window's title, that would be the wrong one). Past the limit a shown window's event goes on.
  if (windows_.IsWindowVisible(held_->hwnd) && (over || !AwaitsActivation(held_->hwnd))) {
    const platform::WinEvent e = *held_;
    DropHeld();
    Deliver(e);
    return;
  }
  if (over) DropHeld();
}

platform::AccessibleChild EventHookLibrary::ActiveObject() {
  if (!active_.known) return {};
  return access_.ObjectFromEvent(active_.hwnd, active_.idObject, active_.idChild);
}

std::int32_t EventHookLibrary::GetActiveObjectChildren() {
  const platform::AccessibleChild a = ActiveObject();
  if (!a || a.childId != platform::CHILDID_SELF) return 0;
  return std::max(0, a.object->ChildCount().value_or(0));
}

bool EventHookLibrary::GetActiveObjectLocation(std::int32_t& left, std::int32_t& top,
                                               std::int32_t& width, std::int32_t& height) {
  left = top = width = height = 0;
  const platform::AccessibleChild a = ActiveObject();
  if (!a) return false;
  const std::optional<platform::Rect> r = a.object->Location(a.childId);
  if (!r) return false;
  const access::ObjectLocation l = access::LocationRecord(*r);
  left = l.left;
  top = l.top;
  width = l.width;
  height = l.height;
  return true;
}

}  // namespace quellon::reader
