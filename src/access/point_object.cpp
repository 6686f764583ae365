#include "access/point_object.h"

#include <optional>
#include <string>

namespace quellon::access {

bool PointObjectLibrary::zibGetObjectLocationByPOINT(std::int32_t x, std::int32_t y,
                                                     platform::Rect& rect) {
  rect = {};
  const platform::AccessibleChild hit = access_.ObjectFromPoint(x, y);
  if (!hit) return false;
  const std::optional<platform::Rect> r = hit.object->Location(hit.childId);
  if (!r) return false;
  rect = *r;
  return true;
}

bool PointObjectLibrary::zibGetObjectValueByPOINT(std::int32_t x, std::int32_t y,
                                                  PointValueRecord& record) {
  const platform::AccessibleChild hit = access_.ObjectFromPoint(x, y);
  if (!hit) return false;
  const std::optional<std::u16string> value = hit.object->Value(hit.childId);
  if (!value) return false;
  if (!strings_.Write(record.address, *value)) {
    record.address = strings_.dwGetAddressForObject(*value);
  }
  return true;
}

}  // namespace quellon::access
