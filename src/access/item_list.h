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
};

// No list: window reading mode does not start.
class NullItemList final : public ItemList {
 public:
  void CreateItemList() override {}
  void ReleaseItemList() override {}
  void ToggleWindowReadingMode() override {}
  std::u16string GetDetails(std::int32_t) override { return {}; }
};

}  // namespace quellon::access
