// Accessible objects of the simulated desktop: a tree of objects, each with its own properties
// and any number of simple elements (child ids 1..n) that have no object of their own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/accessibility.h"

namespace quellon::platform {

struct SimAccProps {
  std::u16string name;
  std::u16string value;
  std::u16string description;
  std::u16string keyboardShortcut;
  std::u16string defaultAction;
  std::int32_t role = ROLE_SYSTEM_CLIENT;
  std::uint32_t state = 0;
  Rect location;  // screen; right = left + width, bottom = top + height
};

class SimAccessible : public AccessibleObject, public std::enable_shared_from_this<SimAccessible> {
 public:
  static std::shared_ptr<SimAccessible> Make(std::int32_t role, std::u16string name,
                                             std::u16string value = {}, std::uint32_t state = 0,
                                             Rect location = {});

  SimAccProps props;
  Hwnd window = 0;  // the window the object belongs to (WindowFromAccessibleObject)
  // Runs before every read, so an object can mirror a live control.
  std::function<void(SimAccessible&)> refresh;
  // Runs for accDoDefaultAction (child id given); the actions are also counted.
  std::function<void(std::int32_t child)> onDefaultAction;
  std::int32_t defaultActions = 0;
  std::vector<std::pair<std::int32_t, std::int32_t>> selections;  // (flags, child)

  // Appends a child object; returns it.
  std::shared_ptr<SimAccessible> Add(std::shared_ptr<SimAccessible> child);
  // Appends a simple element; returns its child id.
  std::int32_t AddElement(SimAccProps element);
  SimAccProps* Element(std::int32_t childId);  // nullptr when there is no such element
  void ClearChildren();
  // The object goes away: every read fails from now on, as with a closed window.
  void Destroy() { alive_ = false; }
  bool Alive() const { return alive_; }

  std::optional<std::u16string> Name(std::int32_t child) override;
  std::optional<std::u16string> Value(std::int32_t child) override;
  std::optional<std::u16string> Description(std::int32_t child) override;
  std::optional<std::u16string> KeyboardShortcut(std::int32_t child) override;
  std::optional<std::u16string> DefaultAction(std::int32_t child) override;
  std::optional<std::int32_t> Role(std::int32_t child) override;
  std::optional<std::uint32_t> State(std::int32_t child) override;
  std::optional<Rect> Location(std::int32_t child) override;
  std::optional<std::int32_t> ChildCount() override;
  AccessiblePtr Parent() override;
  std::vector<AccessibleChild> Children(std::int32_t start, std::int32_t count) override;
  AccessibleChild Navigate(std::int32_t direction, std::int32_t child) override;
  AccessibleChild HitTest(std::int32_t x, std::int32_t y) override;
  bool DoDefaultAction(std::int32_t child) override;
  bool Select(std::int32_t flags, std::int32_t child) override;

  // All entries in order: (object, CHILDID_SELF) for child objects, (this, id) for elements.
  std::vector<AccessibleChild> Entries();

 private:
  const SimAccProps* Props(std::int32_t child);  // nullptr: dead object or no such child
  struct Entry {
    std::shared_ptr<SimAccessible> object;
    std::int32_t elementId = 0;
  };
  std::vector<Entry> entries_;
  std::vector<SimAccProps> elements_;
  std::weak_ptr<SimAccessible> parent_;
  bool alive_ = true;
};

}  // namespace quellon::platform
