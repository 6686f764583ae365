// Readers of accessible objects and of the focus that the focus tick and the commands share:
// role and state words, the object under a screen point, the header of a list view, and the two
// corrections of the focus record from the foreground thread's GUI information.
#pragma once

#include <cstdint>
#include <string>

#include "core/focus_record.h"
#include "platform/accessibility.h"
#include "platform/window_system.h"

namespace quellon::reader {

// The buffer the role and state words are read into: 255 spaces, left as they are when the
// system gives no word.
inline constexpr std::size_t kWordBufferLength = 255;

// The localised name of an MSAA role (255 spaces when the system has none).
std::u16string RoleText(platform::Accessibility& access, std::int32_t role);
// The localised name of a state bit (255 spaces when the system has none).
std::u16string StateText(platform::Accessibility& access, std::uint32_t state);

// The description of the accessible object under the screen point: its name alone when
// `nameOnly`; otherwise name, value (left out when it repeats the name, and for links) and the
// role word in brackets (none for texts; the link word for linked objects; the check state
// after it for checked check and radio buttons). Empty when no object is there.
std::u16string ObjectAtPoint(platform::Accessibility& access, platform::Point point, bool nameOnly);

// Name, a space and value of the object two pixels inside the top-left corner of the focused
// window (a list view's column header); empty when there is no object.
std::u16string ListViewHeaderText(platform::Accessibility& access, platform::WindowSystem& windows,
                                  platform::Hwnd focusHwnd);

// FocusHwnd becomes the focus window of the foreground thread, FocusClassName its class.
void FixFocus(platform::WindowSystem& windows, core::FocusRecord& focus);
// FocusHwnd becomes the caret window of the foreground thread.
void TakeCaretWindow(platform::WindowSystem& windows, core::FocusRecord& focus);

}  // namespace quellon::reader
