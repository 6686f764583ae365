// Readers of other programs' windows through window messages: class names, titles and the texts
// of a dialog's child windows.
#pragma once

#include <string>
#include <string_view>

#include "platform/window_system.h"

namespace quellon::reader {

// Class tests are substring tests on the upper-cased class name.
inline bool ClassContains(std::u16string_view upperClass, std::u16string_view part) {
  return upperClass.find(part) != std::u16string_view::npos;
}

// Class name of a window ("" for no window), upper-cased on request.
std::u16string WindowClassName(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper);
// A window's title ("" for an icon control), upper-cased on request.
std::u16string WindowText(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper);
// Texts of the child windows of a dialog: each visible one (pictures left out) after CR LF. Only a
// dialog made of static texts, buttons and pictures gives text, and only when it has a button;
// any other visible control, or more than 51 child windows, give the empty text. `allTexts` (the
// whole-window reading) takes every kind of control and needs no button.
std::u16string DialogText(platform::WindowSystem& windows, platform::Hwnd hwnd,
                          bool allTexts = false);
// Texts of every child window of `hwnd` (the whole-window reading): DialogText with allTexts.
inline std::u16string ChildWindowsText(platform::WindowSystem& windows, platform::Hwnd hwnd) {
  return DialogText(windows, hwnd, true);
}

}  // namespace quellon::reader
