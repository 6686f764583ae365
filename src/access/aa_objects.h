// The records of the item list: where an item lives in the accessibility tree and what was
// captured when it was listed, and the ordered, 1-based collection of them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/accessibility.h"

namespace quellon::access {

// A plain property bag; nothing is checked.
struct AaObject {
  std::u16string value;     // stored by a refresh; empty otherwise
  std::uint32_t State = 0;  // state bits when listed or refreshed
  std::u16string name;      // stored for a piece of a long text or by a refresh; else read live
  std::int32_t Role = 0;    // the role as the list classified it
  platform::AccessiblePtr pAcc;
  std::optional<std::int32_t> VarT;  // child id within pAcc (CHILDID_SELF for the object itself)
};

using AaObjectPtr = std::shared_ptr<AaObject>;

// Records are shared: one taken out of the collection stays usable after it was removed or the
// collection was cleared. Keys, when given, are compared exactly.
class AaObjects {
 public:
  using const_iterator = std::vector<AaObjectPtr>::const_iterator;

  // Appends `member` (a null member adds nothing and gives null) and returns it. A non-empty
  // key also addresses the member; a key already present throws std::invalid_argument and adds
  // nothing.
  AaObjectPtr Add(AaObjectPtr member, const std::u16string& sKey = {});
  // The record at 1-based `index`, or with `key`; null when there is none.
  AaObjectPtr Item(std::int64_t index) const;
  AaObjectPtr Item(const std::u16string& key) const;
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // Removes one record; later ones move down by one. An index or key that is not present throws
  // std::out_of_range.
  void Remove(std::int64_t index);
  void Remove(const std::u16string& key);
  // An empty collection from here on.
  void Clear();
  // The records in order (NewEnum).
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  void EraseAt(std::size_t pos);

  std::vector<AaObjectPtr> items_;
  std::vector<std::u16string> keys_;  // beside items_; empty for a record without a key
  std::unordered_map<std::u16string, AaObjectPtr> byKey_;
};

}  // namespace quellon::access
