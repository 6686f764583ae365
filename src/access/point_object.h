// Location and value of the accessible object at a screen point, for views that draw their own
// text: the point queries behind reading the caret of such a view. The value comes back as an
// ANSI string by address, through the string store (see ansi_string_store.h).
#pragma once

#include <cstdint>

#include "access/ansi_string_store.h"
#include "platform/accessibility.h"

namespace quellon::access {

// The value query's record: its first field is the address of the value string.
struct PointValueRecord {
  AnsiStringStore::Address address = 0;
};

class PointObjectLibrary {
 public:
  PointObjectLibrary(platform::Accessibility& access, AnsiStringStore& strings)
      : access_(access), strings_(strings) {}

  // zibGetObjectLocationByPOINT: fills rect with the screen rectangle (left, top, right, bottom)
  // of the accessible object at (x, y). True on success; false, with rect all zeros, when there is
  // no object at the point or it gives no location.
  bool zibGetObjectLocationByPOINT(std::int32_t x, std::int32_t y, platform::Rect& rect);

  // zibGetObjectValueByPOINT: puts the value of the accessible object at (x, y) (accValue; an
  // object without a value gives the empty string) into an ANSI string and its address into
  // record.address. A record primed with an address from dwGetAddressForObject gets the value
  // written into that string; otherwise a new string is made. False, with the record and the
  // primed string unchanged, when there is no object at the point or its value cannot be read.
  bool zibGetObjectValueByPOINT(std::int32_t x, std::int32_t y, PointValueRecord& record);

 private:
  platform::Accessibility& access_;
  AnsiStringStore& strings_;
};

}  // namespace quellon::access
