// A top-level frame holding one child view that fills it and gets the frame's focus, as a
// browser frame holds its page or a folder window its view (the target's web page and DirectUI
// view are built on it).
#pragma once

#include <windows.h>

namespace target {

struct FramedView {
  const wchar_t* frameClass;
  const wchar_t* viewClass;
  HWND frame = nullptr;
  HWND view = nullptr;

  // Registers the frame's class and the view's class with the view's window procedure.
  void Register(HINSTANCE instance, WNDPROC viewProc) const;
  // Creates the frame (TITLE, at FRAME on the screen) and the view (VIEW_SIZE) once, then brings
  // the frame to the front and focuses the view; returns the view.
  HWND Show(HINSTANCE instance, const wchar_t* title, RECT place, SIZE viewSize);
};

}  // namespace target
