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
}

std::int32_t EventHookLibrary::InstallEventHook(Hwnd hwnd, std::int32_t /*reserved1*/,
                                                std::int32_t /*reserved2*/,
                                                AccessibleEventCallback callback) {
  Stop();
  if (hwnd == 0 || !callback) return 0;
  callback_ = std::make_shared<const AccessibleEventCallback>(std::move(callback));
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

void EventHookLibrary::OnEvent(const platform::WinEvent& e) {
  if (std::find(kEvents.begin(), kEvents.end(), e.event) == kEvents.end()) return;
  std::shared_ptr<const AccessibleEventCallback> callback = callback_;
  if (!callback) return;
  if ((e.event == platform::EVENT_OBJECT_FOCUS || e.event == platform::EVENT_OBJECT_SELECTION) &&
      windows_.IsWindowVisible(e.hwnd)) {
    active_ = {e.hwnd, e.idObject, e.idChild, true};
  }
  (*callback)(e.event, e.hwnd, e.idObject, e.idChild);
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
