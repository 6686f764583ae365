// The item list of the foreground window: its accessible objects collected in reading order, and
// window reading mode, in which the focus moves through that list instead of the window.
#pragma once

#include <cstdint>
#include <string>

namespace quellon::access {

class ItemList {
 public:
  virtual ~ItemList() = default;
  // Startup: the list object exists from here on (empty).
  virtual void CreateItemList() = 0;
  // Shutdown: the list and the objects it holds are released.
  virtual void ReleaseItemList() = 0;
  // The "Window info" command: window reading mode on or off.
  virtual void ToggleWindowReadingMode() = 0;
  // The description of item `index` (what "Active control" says in window reading mode).
  virtual std::u16string GetDetails(std::int32_t index) = 0;
  // What the info band's list keys use (indexes 1-based): the number of items, an item's stored
  // role, the text to show and speak for it, pointing at it, activating it.
  virtual std::int32_t Count() = 0;
  virtual std::int32_t GetItemRole(std::int32_t index) = 0;
  virtual std::u16string GetItem(std::int32_t index) = 0;
  virtual void Target(std::int32_t index) = 0;
  virtual void DoAction(std::int32_t index) = 0;
};

// No list: window reading mode does not start.
class NullItemList final : public ItemList {
 public:
  void CreateItemList() override {}
  void ReleaseItemList() override {}
  void ToggleWindowReadingMode() override {}
  std::u16string GetDetails(std::int32_t) override { return {}; }
  std::int32_t Count() override { return 0; }
  std::int32_t GetItemRole(std::int32_t) override { return 0; }
  std::u16string GetItem(std::int32_t) override { return {}; }
  void Target(std::int32_t) override {}
  void DoAction(std::int32_t) override {}
};

}  // namespace quellon::access
