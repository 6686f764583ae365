// Accessible objects of the target's own for its standard controls. Under Wine the system's object
// for a standard control reports only a client; a control given a role object here answers
// WM_GETOBJECT with the role, state, name, value and child count a real control of that kind
// reports on Windows (a checked check box, a menu item with a submenu, a tree item, a list-view
// item, a push button of a message box, a progress bar's value), everything else coming from the
// system's object.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace target {

struct RoleObject {
  long role = ROLE_SYSTEM_CLIENT;
  long state = 0;
  long children = 0;
  std::wstring name;  // empty: the window's text at the time of the question
  std::wstring value;
  // With `placed`, accLocation answers these four numbers as they are (screen x, y, width,
  // height); otherwise the window's own place.
  bool placed = false;
  long x = 0, y = 0, width = 0, height = 0;
};

// From now on `hwnd` (a window of this thread) answers with `object`.
void SetRoleObject(HWND hwnd, RoleObject object);
// The value of `hwnd`'s role object; a window without one gets one with the role `role`.
void SetRoleValue(HWND hwnd, long role, std::wstring value);

// While installed, every button a message box of this thread creates reports itself as a push
// button named by its caption, as on Windows.
void BeginPushButtonMessageBoxes();
void EndPushButtonMessageBoxes();
// The child windows of the last message box that became active: one line per child in
// enumeration order, "CLASS<TAB>visible<TAB>icon<TAB>text" (visible and icon 0 or 1, icon meaning
// the control answers STM_GETICON), UTF-8; "none" when no box is open.
std::string MessageBoxReport();

}  // namespace target
