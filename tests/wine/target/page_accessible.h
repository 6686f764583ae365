// The test target's page window: a top-level window drawn by hand that exposes a small web-page
// like tree through its own IAccessible (answered on WM_GETOBJECT): two links, a long static
// text of three sentences, a checked check box and a nested pane holding a link and a text.
// Each default action of a link is appended, as the link's name and a newline (UTF-8), to the
// file given to CreatePage, so tests can see what a screen reader activated; the name of each
// object whose place is asked for (accLocation) is appended in the same way to a second file.
#pragma once

#include <windows.h>

#include <string>

namespace target {

constexpr wchar_t kPageClass[] = L"QuellonTargetPage";

void RegisterPage(HINSTANCE instance);

// Creates, shows and focuses the page window "Stránka"; `actionsFile` receives the actions,
// `locatedFile` the objects whose place was asked for.
HWND CreatePage(HINSTANCE instance, const std::wstring& actionsFile,
                const std::wstring& locatedFile);

// A page window "Velká stránka" of `count` accessible objects (links, static texts and check
// boxes in turn, simple elements of one client object, laid out in a grid), for measuring walks
// of many objects; no place asked for is recorded. Shown without taking the focus.
HWND CreateBigPage(HINSTANCE instance, int count);

// The page's items in reading order, one "name\tleft,top,right,bottom" line each (screen
// coordinates), for tests that check where a pointer went.
std::string PageLayout(HWND page);

}  // namespace target
