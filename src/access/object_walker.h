// The accessible-object library the focus tracking, object navigation and the item list use: a
// "current object" with its properties, location and navigation in tree order, and the walk
// over every accessible object of a window.
//
// Accessible objects belong to other programs and may be hostile or gone: every read can fail,
// and a tree can be cyclic or enormous. Failed reads give 0 or the empty text; walks and
// navigation are bounded by the limits below, so no tree can hang the caller or exhaust memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/accessibility.h"
#include "platform/window_system.h"

namespace quellon::access {

// accLocation's record: screen left and top, then width and height, in pixels.
struct ObjectLocation {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const ObjectLocation&, const ObjectLocation&) = default;
};

// A Rect from the accessibility port as accLocation's record. Width and height that do not fit
// 32 bits (a hostile object's corners) are clamped, never wrapped.
ObjectLocation LocationRecord(const platform::Rect& r);

// The walk's callback: called once per accessible object with the object and its child id
// (CHILDID_SELF for a full object, the element's id for a simple element inside `object`).
// Returning 0 stops the walk; any other value lets it go on.
using WalkCallback =
    std::function<std::int32_t(const platform::AccessiblePtr& object, std::int32_t childId)>;

class ObjectWalker {
 public:
  // Deepest nesting followed, counted from the window's own object. Children below this depth
  // are still reported but not opened.
  static constexpr std::size_t kMaxDepth = 256;
  // Most child entries one walk looks at (reported, or skipped as empty or cyclic); the walk ends
  // there. Far above the few thousand objects of a large web page.
  static constexpr std::size_t kMaxWalkEntries = 50000;
  // Children are fetched this many at a time (AccessibleChildren), so an object claiming millions
  // of children costs no more memory than this per open level.
  static constexpr std::int32_t kChildBatch = 128;
  // Most objects one navigation step may look at (skipping invisible ones, climbing, descending)
  // before it gives up and leaves the current object where it was.
  static constexpr std::size_t kMaxNavigationSteps = 4096;

  ObjectWalker(platform::Accessibility& access, platform::WindowSystem& windows)
      : access_(access), windows_(windows) {}

  // Makes (object, child) the current object. 1 on success; 0 (and the current object unchanged)
  // when object is null. The object is not read here: an object that answers nothing can still be
  // saved, and its reads then give 0 and empty texts.
  std::int32_t SaveObject(const platform::AccessiblePtr& object, std::int32_t child);

  // Role, state, name and value of the current object. The texts are what ANSI buffers of
  // nameCapacity / valueCapacity characters would hold (see AnsiBufferText): at most capacity - 1
  // characters, cut at a NUL. A read that fails leaves its output 0 or empty. When the object
  // gives no role for a child id, the child is tried as an object of its own (accChild). Returns
  // 1, or 0 with every output 0 or empty when there is no current object.
  std::int32_t GetObjectProp(std::int32_t& role, std::uint32_t& state, std::u16string& name,
                             std::size_t nameCapacity, std::u16string& value,
                             std::size_t valueCapacity);

  // Moves the current object. NAVDIR_NEXT (5) and NAVDIR_PREVIOUS (6) go through the accessible
  // tree of the current top-level window in document order (depth first: an object, then its
  // children, then its next sibling), skipping objects that are invisible or do not answer
  // (with what lies inside them); neither leaves the top-level window's own object. Any other
  // direction is a plain accNavigate from the current object. Returns 1 when the current object
  // moved, 0 when there was nowhere to go (the current object stays).
  std::int32_t CurrentObjectNavigateTo(std::int32_t direction);

  // The current object's location (accLocation). 1 on success; 0 with the record all zeros when
  // there is no current object or it gives no location.
  std::int32_t GetObjectLoc(ObjectLocation& record);

  // Walks the accessible objects of window `hwnd`: its client object (OBJID_CLIENT, or the window
  // object when the window gives no client) and everything below it, depth first in child order,
  // each reported once to `callback` before its children. An entry that is one of its own ancestors
  // (a cycle) is skipped; an object whose children cannot be read is reported without them. The
  // walk stops when the callback returns 0, after kMaxWalkEntries entries, or when the tree ends.
  // `reserved` is not used (0). Returns the number of objects reported.
  std::int32_t FillInList(platform::Hwnd hwnd, std::int32_t reserved, const WalkCallback& callback);

  platform::AccessibleChild CurrentObject() const { return current_; }

 private:
  bool Usable(const platform::AccessibleChild& c);      // answers and is not invisible
  bool IsBoundary(const platform::AccessibleChild& c);  // the top-level window's own object
  platform::AccessibleChild FirstChild(const platform::AccessibleChild& c);
  platform::AccessibleChild LastChild(const platform::AccessibleChild& c);
  platform::AccessibleChild Up(const platform::AccessibleChild& c);
  platform::AccessibleChild NextInTree(platform::AccessibleChild c, bool enterChildren,
                                       std::size_t& steps);
  platform::AccessibleChild PreviousInTree(platform::AccessibleChild c, std::size_t& steps);

  platform::Accessibility& access_;
  platform::WindowSystem& windows_;
  platform::AccessibleChild current_;
};

}  // namespace quellon::access
