#include "platform/sim/sim_accessible.h"

namespace quellon::platform {

std::shared_ptr<SimAccessible> SimAccessible::Make(std::int32_t role, std::u16string name,
                                                   std::u16string value, std::uint32_t state,
                                                   Rect location) {
  auto o = std::make_shared<SimAccessible>();
  o->props.role = role;
  o->props.name = std::move(name);
  o->props.value = std::move(value);
  o->props.state = state;
  o->props.location = location;
  return o;
}

std::shared_ptr<SimAccessible> SimAccessible::Add(std::shared_ptr<SimAccessible> child) {
  child->parent_ = weak_from_this();
  if (child->window == 0) child->window = window;
  entries_.push_back({child, 0});
  return child;
}

std::int32_t SimAccessible::AddElement(SimAccProps element) {
  elements_.push_back(std::move(element));
  const auto id = static_cast<std::int32_t>(elements_.size());
  entries_.push_back({nullptr, id});
  return id;
}

SimAccProps* SimAccessible::Element(std::int32_t childId) {
  if (childId < 1 || childId > static_cast<std::int32_t>(elements_.size())) return nullptr;
  return &elements_[static_cast<std::size_t>(childId - 1)];
}

void SimAccessible::ClearChildren() {
  entries_.clear();
  elements_.clear();
}

const SimAccProps* SimAccessible::Props(std::int32_t child) {
  if (!alive_) return nullptr;
  if (refresh) refresh(*this);
  if (child == CHILDID_SELF) return &props;
  return Element(child);
}

std::optional<std::u16string> SimAccessible::Name(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->name;
}
std::optional<std::u16string> SimAccessible::Value(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->value;
}
std::optional<std::u16string> SimAccessible::Description(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->description;
}
std::optional<std::u16string> SimAccessible::KeyboardShortcut(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->keyboardShortcut;
}
std::optional<std::u16string> SimAccessible::DefaultAction(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->defaultAction;
}
std::optional<std::int32_t> SimAccessible::Role(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->role;
}
std::optional<std::uint32_t> SimAccessible::State(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->state;
}
std::optional<Rect> SimAccessible::Location(std::int32_t child) {
  const SimAccProps* p = Props(child);
  if (!p) return std::nullopt;
  return p->location;
}

std::optional<std::int32_t> SimAccessible::ChildCount() {
  if (!alive_) return std::nullopt;
  if (refresh) refresh(*this);
  return static_cast<std::int32_t>(entries_.size());
}

AccessiblePtr SimAccessible::Parent() {
  if (!alive_) return nullptr;
  return parent_.lock();
}

std::vector<AccessibleChild> SimAccessible::Entries() {
  std::vector<AccessibleChild> out;
  for (const Entry& e : entries_) {
    if (e.object) {
      out.push_back({e.object, CHILDID_SELF});
    } else {
      out.push_back({shared_from_this(), e.elementId});
    }
  }
  return out;
}

std::vector<AccessibleChild> SimAccessible::Children(std::int32_t start, std::int32_t count) {
  std::vector<AccessibleChild> out;
  if (!alive_ || start < 0 || count <= 0) return out;
  if (refresh) refresh(*this);
  const std::vector<AccessibleChild> all = Entries();
  for (std::size_t i = static_cast<std::size_t>(start);
       i < all.size() && out.size() < static_cast<std::size_t>(count); ++i) {
    out.push_back(all[i]);
  }
  return out;
}

AccessibleChild SimAccessible::Navigate(std::int32_t direction, std::int32_t child) {
  if (!alive_) return {};
  if (refresh) refresh(*this);
  if (child == CHILDID_SELF) {
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
      const std::vector<AccessibleChild> all = Entries();
      if (all.empty()) return {};
      return direction == NAVDIR_FIRSTCHILD ? all.front() : all.back();
    }
    if (direction != NAVDIR_NEXT && direction != NAVDIR_PREVIOUS) return {};
    auto parent = parent_.lock();
    if (!parent) return {};
    const std::vector<AccessibleChild> siblings = parent->Entries();
    for (std::size_t i = 0; i < siblings.size(); ++i) {
      if (siblings[i].object.get() != this || siblings[i].childId != CHILDID_SELF) continue;
      if (direction == NAVDIR_NEXT)
        return i + 1 < siblings.size() ? siblings[i + 1] : AccessibleChild{};
      return i > 0 ? siblings[i - 1] : AccessibleChild{};
    }
    return {};
  }
  // A simple element: its siblings are this object's entries.
  if (!Element(child)) return {};
  const std::vector<AccessibleChild> all = Entries();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].object.get() != this || all[i].childId != child) continue;
    if (direction == NAVDIR_NEXT) return i + 1 < all.size() ? all[i + 1] : AccessibleChild{};
    if (direction == NAVDIR_PREVIOUS) return i > 0 ? all[i - 1] : AccessibleChild{};
  }
  return {};
}

AccessibleChild SimAccessible::HitTest(std::int32_t x, std::int32_t y) {
  if (!alive_) return {};
  if (refresh) refresh(*this);
  const Point p{x, y};
  // The last entry drawn is on top: search from the end.
  const std::vector<AccessibleChild> all = Entries();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (it->childId != CHILDID_SELF) {
      if (const SimAccProps* e = Element(it->childId); e && e->location.Contains(p)) return *it;
      continue;
    }
    auto* obj = static_cast<SimAccessible*>(it->object.get());
    if (!obj->alive_) continue;
    if (obj->refresh) obj->refresh(*obj);
    if (obj->props.location.Contains(p)) {
      AccessibleChild deeper = obj->HitTest(x, y);
      return deeper ? deeper : *it;
    }
  }
  if (props.location.Contains(p)) return {shared_from_this(), CHILDID_SELF};
  return {};
}

bool SimAccessible::DoDefaultAction(std::int32_t child) {
  if (!Props(child)) return false;
  ++defaultActions;
  if (onDefaultAction) onDefaultAction(child);
  return true;
}

bool SimAccessible::Select(std::int32_t flags, std::int32_t child) {
  if (!Props(child)) return false;
  selections.emplace_back(flags, child);
  return true;
}

}  // namespace quellon::platform
