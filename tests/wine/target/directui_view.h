// A DirectUI view of the test target: a window of class "DirectUIHWND" that draws its text
// itself and exposes it only through its accessible object, whose value is the view's three
// lines ("Soubor", "Úpravy zobrazit", "Konec", separated by carriage returns) and whose place is
// where they are drawn: from client point (20, 20), 16 pixels a line. The view shows a caret,
// placed by the test (the keys themselves do not move it).
#pragma once

#include <windows.h>

namespace target {

void RegisterDirectUIView(HINSTANCE instance);
// Opens the frame (or brings it back) and focuses the view; returns the view window.
HWND ShowDirectUIView(HINSTANCE instance);
// Puts the caret `offset` pixels right of the text's left edge on line `line` (from 0).
void SetDirectUICaret(int offset, int line);

}  // namespace target
