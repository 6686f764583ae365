// The accessibility port: MSAA objects (IAccessible with child ids), the ways to obtain them
// (from an event, a window, a screen point), role and state texts, and the WinEvent hook.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace quellon::platform {

class AccessibleObject;
using AccessiblePtr = std::shared_ptr<AccessibleObject>;

// An element of the accessibility tree: an object and a child id (CHILDID_SELF for the object
// itself, a positive id for a simple element that lives inside `object`).
struct AccessibleChild {
  AccessiblePtr object;
  std::int32_t childId = CHILDID_SELF;
  explicit operator bool() const { return object != nullptr; }
};

// One IAccessible. Every read names the child it is about; a read that fails (the object has
// gone, or does not support the member) gives nullopt, an action gives false. Objects are
// reference counted (shared_ptr), like COM objects.
class AccessibleObject {
 public:
  virtual ~AccessibleObject() = default;

  virtual std::optional<std::u16string> Name(std::int32_t child) = 0;
  virtual std::optional<std::u16string> Value(std::int32_t child) = 0;
  virtual std::optional<std::u16string> Description(std::int32_t child) = 0;
  virtual std::optional<std::u16string> KeyboardShortcut(std::int32_t child) = 0;
  virtual std::optional<std::u16string> DefaultAction(std::int32_t child) = 0;
  virtual std::optional<std::int32_t> Role(std::int32_t child) = 0;
  virtual std::optional<std::uint32_t> State(std::int32_t child) = 0;
  // accLocation: screen left, top, width, height in pixels.
  virtual std::optional<Rect> Location(std::int32_t child) = 0;  // right/bottom = left+w/top+h
  virtual std::optional<std::int32_t> ChildCount() = 0;
  virtual AccessiblePtr Parent() = 0;  // nullptr when there is none
  // AccessibleChildren(start, count): each element is either a full object (childId 0) or a
  // child id of this object (object = this). Fewer than `count` may come back.
  virtual std::vector<AccessibleChild> Children(std::int32_t start, std::int32_t count) = 0;
  // accNavigate from `child` (NAVDIR_...); an empty result when there is nowhere to go.
  virtual AccessibleChild Navigate(std::int32_t direction, std::int32_t child) = 0;
  // accHitTest at a screen point; empty when the point is outside.
  virtual AccessibleChild HitTest(std::int32_t x, std::int32_t y) = 0;
  virtual bool DoDefaultAction(std::int32_t child) = 0;
  virtual bool Select(std::int32_t flags, std::int32_t child) = 0;  // SELFLAG_...
};

// The arguments of a WinEvent callback (the event thread and time are not used).
struct WinEvent {
  std::uint32_t event = 0;
  Hwnd hwnd = 0;
  std::int32_t idObject = 0;
  std::int32_t idChild = 0;
  friend bool operator==(const WinEvent&, const WinEvent&) = default;
};
using WinEventProc = std::function<void(const WinEvent&)>;
using WinEventHook = std::uintptr_t;  // 0 is no hook

class Accessibility {
 public:
  virtual ~Accessibility() = default;

  virtual AccessibleChild ObjectFromEvent(Hwnd w, std::int32_t idObject, std::int32_t idChild) = 0;
  // AccessibleObjectFromWindow(w, idObject); the child id is CHILDID_SELF.
  virtual AccessiblePtr ObjectFromWindow(Hwnd w, std::int32_t idObject) = 0;
  virtual AccessibleChild ObjectFromPoint(std::int32_t x, std::int32_t y) = 0;
  virtual Hwnd WindowFromObject(const AccessiblePtr& object) = 0;  // 0 when unknown
  // GetRoleText / GetStateText (one state bit): the platform's localised words; empty when the
  // number has no text.
  virtual std::u16string RoleText(std::int32_t role) = 0;
  virtual std::u16string StateText(std::uint32_t stateBit) = 0;

  // An out-of-context WinEvent hook for events eventMin..eventMax of the whole desktop. The
  // callback runs on the thread that set the hook, between its messages. 0 on failure.
  virtual WinEventHook SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                                       WinEventProc proc) = 0;
  virtual bool UnhookWinEvent(WinEventHook hook) = 0;
};

}  // namespace quellon::platform
