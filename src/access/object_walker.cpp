#include "access/object_walker.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "access/ansi_string_store.h"

namespace quellon::access {

using platform::AccessibleChild;
using platform::AccessiblePtr;
using platform::CHILDID_SELF;

namespace {

bool Same(const AccessibleChild& a, const AccessibleChild& b) {
  return a.object == b.object && a.childId == b.childId;
}

std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

ObjectLocation LocationRecord(const platform::Rect& r) {
  return {r.left, r.top, Clamp32(std::int64_t{r.right} - r.left),
          Clamp32(std::int64_t{r.bottom} - r.top)};
}

std::int32_t ObjectWalker::SaveObject(const AccessiblePtr& object, std::int32_t child) {
  if (!object) return 0;
  current_ = {object, child};
  return 1;
}

std::int32_t ObjectWalker::GetObjectProp(std::int32_t& role, std::uint32_t& state,
                                         std::u16string& name, std::size_t nameCapacity,
                                         std::u16string& value, std::size_t valueCapacity) {
  role = 0;
  state = 0;
  name.clear();
  value.clear();
  if (!current_) return 0;
  AccessibleChild target = current_;
  std::optional<std::int32_t> r = target.object->Role(target.childId);
  if ((!r || *r == 0) && target.childId > 0) {
    // Some servers answer only through the child's own object.
    const std::vector<AccessibleChild> kids = target.object->Children(target.childId - 1, 1);
    if (!kids.empty() && kids.front().object && kids.front().childId == CHILDID_SELF &&
        kids.front().object != target.object) {
      target = kids.front();
      r = target.object->Role(CHILDID_SELF);
    }
  }
  role = r.value_or(0);
  state = target.object->State(target.childId).value_or(0);
  name =
      AnsiBufferText(target.object->Name(target.childId).value_or(std::u16string{}), nameCapacity);
  value = AnsiBufferText(target.object->Value(target.childId).value_or(std::u16string{}),
                         valueCapacity);
  return 1;
}

std::int32_t ObjectWalker::GetObjectLoc(ObjectLocation& record) {
  record = {};
  if (!current_) return 0;
  const std::optional<platform::Rect> r = current_.object->Location(current_.childId);
  if (!r) return 0;
  record = LocationRecord(*r);
  return 1;
}

// ---- Navigation in tree order ----

bool ObjectWalker::Usable(const AccessibleChild& c) {
  if (!c) return false;
  const std::optional<std::uint32_t> s = c.object->State(c.childId);
  return s && (*s & platform::STATE_SYSTEM_INVISIBLE) == 0;
}

bool ObjectWalker::IsBoundary(const AccessibleChild& c) {
  if (!c || c.childId != CHILDID_SELF) return false;
  if (c.object->Role(CHILDID_SELF).value_or(0) != platform::ROLE_SYSTEM_WINDOW) return false;
  const platform::Hwnd w = access_.WindowFromObject(c.object);
  return w != 0 && windows_.GetParent(w) == 0;
}

AccessibleChild ObjectWalker::FirstChild(const AccessibleChild& c) {
  if (!c || c.childId != CHILDID_SELF) return {};  // a simple element has no children
  if (c.object->ChildCount().value_or(0) <= 0) return {};
  const std::vector<AccessibleChild> kids = c.object->Children(0, 1);
  if (kids.empty() || !kids.front() || Same(kids.front(), c)) return {};
  return kids.front();
}

AccessibleChild ObjectWalker::LastChild(const AccessibleChild& c) {
  if (!c || c.childId != CHILDID_SELF) return {};
  const std::int32_t n = c.object->ChildCount().value_or(0);
  if (n <= 0) return {};
  const std::vector<AccessibleChild> kids = c.object->Children(n - 1, 1);
  if (kids.empty() || !kids.front() || Same(kids.front(), c)) return {};
  return kids.front();
}

AccessibleChild ObjectWalker::Up(const AccessibleChild& c) {
  if (!c) return {};
  if (c.childId != CHILDID_SELF) return {c.object, CHILDID_SELF};
  AccessiblePtr parent = c.object->Parent();
  if (!parent || parent == c.object) return {};
  return {parent, CHILDID_SELF};
}

AccessibleChild ObjectWalker::NextInTree(AccessibleChild node, bool enterChildren,
                                         std::size_t& steps) {
  bool enter = enterChildren;
  while (steps < kMaxNavigationSteps) {
    ++steps;
    AccessibleChild next;
    if (enter) next = FirstChild(node);
    if (!next) {
      // The next sibling, climbing out of finished containers.
      AccessibleChild at = node;
      for (;;) {
        if (++steps > kMaxNavigationSteps || IsBoundary(at)) return {};
        AccessibleChild sibling = at.object->Navigate(platform::NAVDIR_NEXT, at.childId);
        if (sibling && !Same(sibling, at)) {
          next = sibling;
          break;
        }
        at = Up(at);
        if (!at) return {};
      }
    }
    if (Usable(next)) return next;
    node = next;  // invisible or gone: skipped together with what lies inside it
    enter = false;
  }
  return {};
}

AccessibleChild ObjectWalker::PreviousInTree(AccessibleChild node, std::size_t& steps) {
  while (steps < kMaxNavigationSteps) {
    ++steps;
    if (IsBoundary(node)) return {};
    AccessibleChild prev = node.object->Navigate(platform::NAVDIR_PREVIOUS, node.childId);
    if (prev && !Same(prev, node)) {
      if (!Usable(prev)) {
        node = prev;
        continue;
      }
      // The last usable object inside the previous sibling, as deep as it goes.
      AccessibleChild deep = prev;
      for (std::size_t depth = 0; depth < kMaxDepth && steps < kMaxNavigationSteps; ++depth) {
        ++steps;
        AccessibleChild last = LastChild(deep);
        while (last && !Usable(last) && ++steps < kMaxNavigationSteps) {
          AccessibleChild before = last.object->Navigate(platform::NAVDIR_PREVIOUS, last.childId);
          last = before && !Same(before, last) ? before : AccessibleChild{};
        }
        if (!Usable(last)) break;
        deep = last;
      }
      return deep;
    }
    AccessibleChild up = Up(node);
    if (!up) return {};
    if (Usable(up)) return up;
    node = up;
  }
  return {};
}

std::int32_t ObjectWalker::CurrentObjectNavigateTo(std::int32_t direction) {
  if (!current_) return 0;
  std::size_t steps = 0;
  AccessibleChild to;
  if (direction == platform::NAVDIR_NEXT) {
    to = NextInTree(current_, true, steps);
  } else if (direction == platform::NAVDIR_PREVIOUS) {
    to = PreviousInTree(current_, steps);
  } else {
    to = current_.object->Navigate(direction, current_.childId);
  }
  if (!to) return 0;
  current_ = to;
  return 1;
}

// ---- The walk ----

std::int32_t ObjectWalker::FillInList(platform::Hwnd hwnd, std::int32_t /*reserved*/,
                                      const WalkCallback& callback) {
  if (!callback) return 0;
  // The client object holds the window's contents (child windows included); the frame around it
  // (title bar, menu bar, scroll bars) is nothing to list.
  AccessiblePtr root = access_.ObjectFromWindow(hwnd, platform::OBJID_CLIENT);
  if (!root) root = access_.ObjectFromWindow(hwnd, platform::OBJID_WINDOW);
  if (!root) return 0;

  std::int32_t reported = 0;
  auto report = [&](const AccessiblePtr& object, std::int32_t childId) {
    ++reported;
    return callback(object, childId) != 0;
  };

  // One frame per open level: the object, its child count and the batch of children being gone
  // through. The frames are exactly the ancestors of the entry looked at.
  struct Frame {
    AccessiblePtr object;
    std::int32_t count = 0;
    std::int32_t next = 0;  // index of the first child not fetched yet
    std::vector<AccessibleChild> batch;
    std::size_t pos = 0;
  };
  std::vector<Frame> stack;
  auto open = [&](const AccessiblePtr& object) {
    const std::int32_t n = object->ChildCount().value_or(0);
    if (n > 0) stack.push_back({object, n, 0, {}, 0});
  };

  if (!report(root, CHILDID_SELF)) return reported;
  open(root);
  std::size_t entries = 0;
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.pos == f.batch.size()) {
      if (f.next >= f.count) {
        stack.pop_back();
        continue;
      }
      const std::int32_t want = std::min(kChildBatch, f.count - f.next);
      f.batch = f.object->Children(f.next, want);
      f.pos = 0;
      if (f.batch.size() > static_cast<std::size_t>(want)) {
        f.batch.resize(static_cast<std::size_t>(want));
      }
      if (f.batch.empty()) {  // the rest cannot be read
        stack.pop_back();
        continue;
      }
      f.next += static_cast<std::int32_t>(f.batch.size());
    }
    const AccessibleChild entry = f.batch[f.pos++];  // a copy: `open` may move the frames
    if (++entries > kMaxWalkEntries) break;
    if (!entry) continue;
    if (entry.childId != CHILDID_SELF) {
      if (!report(entry.object, entry.childId)) break;
      continue;
    }
    const bool cycle = std::any_of(stack.begin(), stack.end(),
                                   [&](const Frame& a) { return a.object == entry.object; });
    if (cycle) continue;
    if (!report(entry.object, CHILDID_SELF)) break;
    if (stack.size() < kMaxDepth) open(entry.object);
  }
  return reported;
}

}  // namespace quellon::access
