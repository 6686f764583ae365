// The focus record: what the accessibility event callback and the focus tick know of the object
// with the keyboard focus. The event callback writes the window, object and child; the tick fills
// in the rest and clears the flags; the keyboard handler and the readers read it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"

namespace quellon::core {

struct FocusRecord {
  platform::Hwnd FocusHwnd = 0;
  std::u16string FocusClassName;  // upper case
  std::int32_t FocusObjectId = 0;
  std::int32_t FocusChildId = 0;
  std::int32_t FocusRole = 0;
  std::uint32_t FocusState = 0;
  std::u16string FocusName;
  std::u16string FocusValue;
  platform::Hwnd ForegroundHwnd = 0;
  std::u16string ActiveWindowText;
  bool FocusChanged = false;
  bool WindowChanged = false;
  bool NavigationRestart = false;
};

}  // namespace quellon::core
