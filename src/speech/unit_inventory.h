// What unit selection needs to know about the loaded voice.
#pragma once

#include <string_view>

namespace quellon {

class UnitInventory {
 public:
  virtual ~UnitInventory() = default;
  // True when the voice holds an entry of exactly this name (a unit, or "!" + unit for its pitch
  // marks, which tells that the unit is voiced).
  virtual bool UnitExists(std::u16string_view name) const = 0;
};

}  // namespace quellon
