// A web page of the test target: a frame holding a window of class "Internet Explorer_Server"
// that answers WM_HTML_GETOBJECT with a document of its own. The document is a plain IDispatch
// that knows its members only by name (selection, createRange, expand, move, moveToPoint,
// setEndPoint, text, elementFromPoint, tagName, getBoundingClientRect, clientLeft, clientWidth),
// as a script sees a page. Its text is laid out in 8 x 16 pixel cells from the window's client
// origin: the first line a paragraph, the second a text area 12 cells wide. The page shows a
// caret and moves it on the arrow keys (a word with Ctrl).
#pragma once

#include <windows.h>

namespace target {

void RegisterWebPage(HINSTANCE instance);
// Opens the frame (or brings it back) and focuses the page; returns the page window.
HWND ShowWebPage(HINSTANCE instance);

}  // namespace target
