// Accessible objects for tests that misbehave on purpose (lying child counts, cycles, endless
// trees, reads that fail), and an accessibility port that hands them out for chosen windows and
// leaves everything else to the simulated desktop. Header only; used by the tests.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/accessibility.h"

namespace quellon::access::testing {

using platform::AccessibleChild;
using platform::AccessiblePtr;

// Reads of CHILDID_SELF give the fields below (nullopt: the read fails); reads of any other
// child id fail unless `elementRole` is set.
class TestObject : public platform::AccessibleObject,
                   public std::enable_shared_from_this<TestObject> {
 public:
  std::optional<std::u16string> name = u"";
  std::optional<std::u16string> value = u"";
  std::optional<std::int32_t> role = platform::ROLE_SYSTEM_CLIENT;
  std::optional<std::int32_t> elementRole;
  std::optional<std::uint32_t> state = 0u;
  std::optional<platform::Rect> location = platform::Rect{0, 0, 10, 10};
  std::optional<std::int32_t> childCount = 0;
  std::function<std::vector<AccessibleChild>(std::int32_t start, std::int32_t count)> children;
  std::function<AccessibleChild(std::int32_t direction, std::int32_t child)> navigate;
  std::function<AccessiblePtr()> parent;
  std::int64_t calls = 0;  // every call of any member
  std::int32_t largestChildRequest = 0;

  static std::shared_ptr<TestObject> Make(std::u16string n = u"") {
    auto o = std::make_shared<TestObject>();
    o->name = std::move(n);
    return o;
  }

  std::optional<std::u16string> Name(std::int32_t child) override { return Self(child, name); }
  std::optional<std::u16string> Value(std::int32_t child) override { return Self(child, value); }
  std::optional<std::u16string> Description(std::int32_t) override { return std::nullopt; }
  std::optional<std::u16string> KeyboardShortcut(std::int32_t) override { return std::nullopt; }
  std::optional<std::u16string> DefaultAction(std::int32_t) override { return std::nullopt; }
  std::optional<std::int32_t> Role(std::int32_t child) override {
    ++calls;
    return child == platform::CHILDID_SELF ? role : elementRole;
  }
  std::optional<std::uint32_t> State(std::int32_t child) override { return Self(child, state); }
  std::optional<platform::Rect> Location(std::int32_t child) override {
    return Self(child, location);
  }
  std::optional<std::int32_t> ChildCount() override {
    ++calls;
    return childCount;
  }
  AccessiblePtr Parent() override {
    ++calls;
    return parent ? parent() : nullptr;
  }
  std::vector<AccessibleChild> Children(std::int32_t start, std::int32_t count) override {
    ++calls;
    largestChildRequest = std::max(largestChildRequest, count);
    return children ? children(start, count) : std::vector<AccessibleChild>{};
  }
  AccessibleChild Navigate(std::int32_t direction, std::int32_t child) override {
    ++calls;
    return navigate ? navigate(direction, child) : AccessibleChild{};
  }
  AccessibleChild HitTest(std::int32_t, std::int32_t) override { return {}; }
  bool DoDefaultAction(std::int32_t) override { return false; }
  bool Select(std::int32_t, std::int32_t) override { return false; }

 private:
  template <typename T>
  std::optional<T> Self(std::int32_t child, const std::optional<T>& v) {
    ++calls;
    return child == platform::CHILDID_SELF ? v : std::nullopt;
  }
};

// Windows listed in `clients` give that object for OBJID_CLIENT (and nothing for OBJID_WINDOW);
// everything else is asked of `inner`.
class OverrideAccess : public platform::Accessibility {
 public:
  explicit OverrideAccess(platform::Accessibility& inner) : inner_(inner) {}
  std::map<platform::Hwnd, AccessiblePtr> clients;
  // SetWinEventHook fails for ranges starting at these events.
  std::vector<std::uint32_t> refuseHooksFrom;

  AccessibleChild ObjectFromEvent(platform::Hwnd w, std::int32_t idObject,
                                  std::int32_t idChild) override {
    if (auto it = clients.find(w); it != clients.end()) return {it->second, idChild};
    return inner_.ObjectFromEvent(w, idObject, idChild);
  }
  AccessiblePtr ObjectFromWindow(platform::Hwnd w, std::int32_t idObject) override {
    if (auto it = clients.find(w); it != clients.end()) {
      return idObject == platform::OBJID_CLIENT ? it->second : nullptr;
    }
    return inner_.ObjectFromWindow(w, idObject);
  }
  AccessibleChild ObjectFromPoint(std::int32_t x, std::int32_t y) override {
    return inner_.ObjectFromPoint(x, y);
  }
  platform::Hwnd WindowFromObject(const AccessiblePtr& object) override {
    return inner_.WindowFromObject(object);
  }
  std::u16string RoleText(std::int32_t role) override { return inner_.RoleText(role); }
  std::u16string StateText(std::uint32_t bit) override { return inner_.StateText(bit); }
  platform::WinEventHook SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                                         platform::WinEventProc proc) override {
    for (std::uint32_t e : refuseHooksFrom) {
      if (e == eventMin) return 0;
    }
    return inner_.SetWinEventHook(eventMin, eventMax, std::move(proc));
  }
  bool UnhookWinEvent(platform::WinEventHook hook) override { return inner_.UnhookWinEvent(hook); }

 private:
  platform::Accessibility& inner_;
};

}  // namespace quellon::access::testing
