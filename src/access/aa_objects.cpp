#include "access/aa_objects.h"

#include <stdexcept>

namespace quellon::access {

AaObjectPtr AaObjects::Add(AaObjectPtr member, const std::u16string& sKey) {
  if (!member) return nullptr;
  if (!sKey.empty()) {
    if (byKey_.contains(sKey)) throw std::invalid_argument("duplicate key in AaObjects");
    byKey_.emplace(sKey, member);
  }
  items_.push_back(member);
  keys_.push_back(sKey);
  return member;
}

AaObjectPtr AaObjects::Item(std::int64_t index) const {
  if (index < 1 || index > static_cast<std::int64_t>(items_.size())) return nullptr;
  return items_[static_cast<std::size_t>(index - 1)];
}

AaObjectPtr AaObjects::Item(const std::u16string& key) const {
  auto it = byKey_.find(key);
  return it == byKey_.end() ? nullptr : it->second;
}

void AaObjects::Remove(std::int64_t index) {
  if (index < 1 || index > static_cast<std::int64_t>(items_.size())) {
    throw std::out_of_range("no such index in AaObjects");
  }
  EraseAt(static_cast<std::size_t>(index - 1));
}

void AaObjects::Remove(const std::u16string& key) {
  if (!key.empty()) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      if (keys_[i] == key) {
        EraseAt(i);
        return;
      }
    }
  }
  throw std::out_of_range("no such key in AaObjects");
}

void AaObjects::EraseAt(std::size_t pos) {
  if (!keys_[pos].empty()) byKey_.erase(keys_[pos]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(pos));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void AaObjects::Clear() {
  // Swapped out rather than cleared in place, so the memory of a large list goes as well.
  std::vector<AaObjectPtr>().swap(items_);
  std::vector<std::u16string>().swap(keys_);
  byKey_ = {};
}

}  // namespace quellon::access
