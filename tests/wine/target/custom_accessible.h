// The custom control of the test target: a list of three fruit drawn by hand, which exposes
// itself to screen readers only through its own IAccessible (answered on WM_GETOBJECT), with
// roles, states, values, children, navigation, selection and default actions.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace target {

constexpr wchar_t kCustomClass[] = L"QuellonCustomList";

// Registers the window class; the control's state lives in CustomList behind GWLP_USERDATA.
void RegisterCustomList(HINSTANCE instance);

struct CustomList {
  std::vector<std::wstring> items{L"Jablko", L"Hruška", L"Švestka"};
  int current = 0;  // 0-based index of the focused and selected item
  bool checked[3] = {false, true, false};
  int defaultActions = 0;  // how often accDoDefaultAction ran (for tests)
  // Set by the "hangcall" command: the next accName call runs it (the call hangs inside the
  // target, as in a program that blocks in its accessibility code), and clears it.
  void (*hangInName)() = nullptr;
};

// Moves the current item and raises the focus and selection events a real list would.
void SetCurrentItem(HWND hwnd, int index);

}  // namespace target
