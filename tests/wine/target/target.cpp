// quellon-target: the program the Wine end-to-end tests drive. It shows the standard controls a
// screen reader meets (buttons, check and radio buttons, edit, rich edit, list box, combo box,
// list view, tree view, progress bar, menus, message box) and one custom control with its own
// IAccessible, and raises with NotifyWinEvent the events Wine does not raise by itself.
//
// Usage: quellon-target.exe DIR
// On start it writes DIR\ready (one "name=hwnd" line per control, hex). It then polls
// DIR\commands.txt every 20 ms and runs each new complete line; after line N it appends
// "done N" to DIR\done.txt. Commands:
//   focus NAME | settext NAME TEXT | select NAME START END | progress PERCENT | custom INDEX
//   menu | foreground | msgbox TEXT | hang | hangcall | quit | page | band | cursor | warp X Y
//   webpage | directui | duicaret OFFSET LINE | notify NAME | object NAME ROLE STATE CHILDREN
//   [TEXT] window TITLE | hidden TITLE | back | pushmsgbox TEXT | msgboxreport | moves COUNT MS
//   roletext ROLE | hostile NAME | rect NAME | focusinfo | bigpage COUNT | farplace NAME X Y W H
// "page" opens (or brings back to the front) and focuses the page window (page_accessible.h),
// writes its items' screen places to DIR\page.txt, and appends each link's default action to
// DIR\actions.txt and the name of each object whose place is asked for to DIR\located.txt. "band"
// writes DIR\band.txt: "shown" and the text of the screen reader's visible info band (read with
// WM_GETTEXT from its edit), or "none" when no band is shown. "cursor" writes the pointer's
// place as the system has it ("X Y") to DIR\cursor.txt; "warp X Y" moves it there.
// "webpage" opens (or brings back) and focuses the web page (web_page.h) and writes its page
// window's handle (hex) to DIR\webpage.txt. "directui" does the same for the DirectUI view
// (directui_view.h, DIR\directui.txt); "duicaret OFFSET LINE" puts the view's caret and then
// writes DIR\duicaret.txt.
// "rect NAME" writes the screen rectangle of the control's client area (where its accessible
// object is), "left top right bottom", to DIR\rect.txt. "focusinfo" writes DIR\focusinfo.txt:
// "foreground=main|page|other" (which of the target's windows GetForegroundWindow gives) and
// "focus=NAME" (the control GetFocus gives in the target, "page", or "none"). "bigpage COUNT"
// opens a page window of COUNT accessible objects (CreateBigPage) without taking the focus and
// writes its handle (hex) to DIR\bigpage.txt; "bigpage 0" only closes the one open.
// "hang" stops answering messages (as a hung program does) after setting the named event
// "QuellonTargetHung" and writing DIR\hung, until the test sets "QuellonTargetRelease" or writes
// DIR\release (at most 30 s). "hangcall" makes the next accName call of the custom control hang
// the same way, inside the call.
// "object" gives a control the accessible object a real control of that kind has on Windows
// (role_objects.h; ROLE and STATE in decimal, TEXT its name, else the window's text); "notify"
// raises EVENT_OBJECT_FOCUS for a control's client; "progress" puts "PERCENT %" in the progress
// bar's value. "window TITLE" opens (or brings back) a second top-level window with a check box
// "Uložit" and focuses it (no foreground event: Wine raises none); "hidden TITLE" makes a window
// with a check box "Potvrdit", focuses the box while the window is hidden and shows the window
// 300 ms later, as programs that focus before they show do; "back" makes the main window the
// active one again with the check box focused. "pushmsgbox" is "msgbox" with buttons that report
// themselves as push buttons; "msgboxreport" writes its child windows to DIR\msgbox.txt.
// "farplace NAME X Y W H" gives a control a push button object "Daleko" whose accLocation
// answers exactly X, Y, W, H (however absurd) and raises its focus event.
// "hostile NAME" gives a control an object with a negative role, every state bit, a negative
// child count and a name and a value of a million characters each, and raises its focus event.
// "roletext ROLE" writes the system's text for the role (GetRoleTextA) to DIR\roletext.txt.
// "moves COUNT MS" moves the focus COUNT times, every MS ms, to the control "bench" named
// "Položka N" (N from 1), writing "N TICKS" (QueryPerformanceCounter, just before NotifyWinEvent)
// per move to DIR\moves.txt after a first line "frequency F".
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <richedit.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "custom_accessible.h"
#include "directui_view.h"
#include "page_accessible.h"
#include "role_objects.h"
#include "utf8.h"
#include "web_page.h"

namespace {

using target::Narrow;
using target::Widen;

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kMsgBoxCommand = WM_APP + 1;
constexpr UINT_PTR kMoveTimer = 2;
constexpr UINT_PTR kShowTimer = 3;
constexpr int kMenuFileExit = 100;
constexpr int kMenuHelpAbout = 101;

std::wstring g_dir;
std::map<std::string, HWND> g_controls;
HWND g_main = nullptr;
HWND g_page = nullptr;
std::streamoff g_commandOffset = 0;
int g_commandsDone = 0;
std::wstring g_pendingMessage;
bool g_pushButtons = false;
std::map<std::wstring, HWND> g_windows;  // the further top-level windows, by title
HWND g_focusOnActivate = nullptr;        // set by "back": where the activation puts the focus
int g_movesLeft = 0;
int g_movesDone = 0;

HWND Make(const char* name, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
          int w, int h, int id) {
  HWND hwnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h,
                              g_main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  g_controls[name] = hwnd;
  return hwnd;
}

void CreateControls() {
  int id = 1000;
  Make("label", L"STATIC", L"Jméno:", 0, 10, 10, 80, 20, id++);
  Make("edit", L"EDIT", L"Dobrý den\r\nDruhý řádek", ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER, 100,
       10, 300, 60, id++);
  LoadLibraryW(L"riched20.dll");
  Make("rich", RICHEDIT_CLASSW, L"Bohatý text\r\nDalší řádek", ES_MULTILINE | WS_BORDER, 100, 80,
       300, 60, id++);
  Make("button", L"BUTTON", L"OK", BS_PUSHBUTTON, 10, 150, 80, 25, id++);
  Make("check", L"BUTTON", L"Zapnout zvuk", BS_AUTOCHECKBOX, 100, 150, 150, 25, id++);
  Make("radio1", L"BUTTON", L"Malé", BS_AUTORADIOBUTTON | WS_GROUP, 260, 150, 80, 25, id++);
  Make("radio2", L"BUTTON", L"Velké", BS_AUTORADIOBUTTON, 340, 150, 80, 25, id++);
  HWND list =
      Make("list", L"LISTBOX", L"", LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 185, 120, 80, id++);
  for (const wchar_t* s : {L"První", L"Druhá", L"Třetí"}) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  HWND combo =
      Make("combo", L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 140, 185, 120, 120, id++);
  for (const wchar_t* s : {L"Praha", L"Brno", L"Ostrava"}) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  HWND lv = Make("listview", WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, 270, 185, 200, 80, id++);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = 150;
  col.pszText = const_cast<wchar_t*>(L"Soubor");
  SendMessageW(lv, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
  int row = 0;
  for (const wchar_t* s : {L"dopis.txt", L"obrázek.png"}) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row++;
    item.pszText = const_cast<wchar_t*>(s);
    SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  HWND tree = Make("tree", WC_TREEVIEWW, L"", TVS_HASLINES | TVS_HASBUTTONS | WS_BORDER, 10, 275,
                   200, 80, id++);
  TVINSERTSTRUCTW ins{};
  ins.hParent = TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = const_cast<wchar_t*>(L"Dokumenty");
  auto root = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  ins.hParent = root;
  ins.item.pszText = const_cast<wchar_t*>(L"Dopisy");
  SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
  HWND progress = Make("progress", PROGRESS_CLASSW, L"", 0, 220, 275, 200, 20, id++);
  SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  Make("custom", target::kCustomClass, L"Ovoce", WS_BORDER, 220, 305, 200, 62, id++);
  // Blank places for objects of other kinds (a menu item, the benchmark's moving focus).
  Make("menuitem", L"STATIC", L"", 0, 430, 275, 40, 20, id++);
  Make("bench", L"STATIC", L"", 0, 430, 305, 40, 20, id++);
}

void CreateMenus(HWND hwnd) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kMenuFileExit, L"&Konec");
  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, kMenuHelpAbout, L"&O programu");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Soubor");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Nápověda");
  SetMenu(hwnd, bar);
}

std::wstring PathIn(const wchar_t* name) {
  return g_dir + L"\\" + name;
}

// Writes `text` to DIR\name under another name first, so a reader never sees half a file.
void WriteWhole(const wchar_t* name, const std::string& text) {
  const std::wstring tmp = PathIn(name) + L".tmp";
  std::ofstream(tmp.c_str(), std::ios::binary) << text;
  MoveFileExW(tmp.c_str(), PathIn(name).c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The screen reader's info band as another program sees it.
std::string BandReport() {
  HWND band = FindWindowW(L"QuellonInfoBand", nullptr);
  if (!band || !IsWindowVisible(band)) return "none\n";
  HWND edit = GetWindow(band, GW_CHILD);
  wchar_t buf[4096] = {};
  DWORD_PTR got = 0;
  if (edit) {
    SendMessageTimeoutW(edit, WM_GETTEXT, sizeof buf / sizeof buf[0], reinterpret_cast<LPARAM>(buf),
                        SMTO_ABORTIFHUNG, 5000, &got);
  }
  return "shown " + Narrow(buf) + "\n";
}

void WriteReady() {
  std::ostringstream out;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_main)));
  out << "main=" << buf << "\n";
  for (const auto& [name, hwnd] : g_controls) {
    std::snprintf(buf, sizeof buf, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    out << name << "=" << buf << "\n";
  }
  // Written under another name and renamed, so a reader never sees half a file.
  const std::wstring tmp = PathIn(L"ready.tmp");
  std::ofstream(tmp.c_str(), std::ios::binary) << out.str();
  MoveFileExW(tmp.c_str(), PathIn(L"ready").c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Hangs the target's thread (no message is answered meanwhile) until the test releases it with
// the named event "QuellonTargetRelease" or the file DIR\release, at most 30 s. Signals the start
// with the event "QuellonTargetHung" and the file DIR\hung; removes both files at the end.
void Hang() {
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QuellonTargetRelease");
  HANDLE hung = CreateEventW(nullptr, TRUE, FALSE, L"QuellonTargetHung");
  WriteWhole(L"hung", "hung\n");
  if (hung) SetEvent(hung);
  const std::wstring file = PathIn(L"release");
  for (int waited = 0; waited < 30000; waited += 20) {
    if (release && WaitForSingleObject(release, 20) == WAIT_OBJECT_0) break;
    if (!release) Sleep(20);
    if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) break;
  }
  if (release) ResetEvent(release);
  DeleteFileW(file.c_str());
  DeleteFileW(PathIn(L"hung").c_str());
  if (hung) {
    ResetEvent(hung);
    CloseHandle(hung);
  }
  if (release) CloseHandle(release);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kShowTimer) {
    KillTimer(hwnd, kShowTimer);
    ShowWindow(hwnd, SW_SHOW);
    return 0;
  }
  if (msg == WM_CLOSE) {
    ShowWindow(hwnd, SW_HIDE);
    return 0;
  }
  if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) {
    // As a dialog does: the focus goes straight to the box (one focus event, not one for the
    // window first).
    SetFocus(GetWindow(hwnd, GW_CHILD));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// A further top-level window titled `title` with one check box `box`, made once; its box has the
// object of a check box. Returns the box.
HWND TopLevelWindow(const std::wstring& title, const wchar_t* box) {
  HWND& window = g_windows[title];
  if (!window || !IsWindow(window)) {
    window = CreateWindowExW(0, L"QuellonTargetWindow", title.c_str(), WS_OVERLAPPEDWINDOW, 120,
                             120, 300, 150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND check =
        CreateWindowExW(0, L"BUTTON", box, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10,
                        10, 150, 25, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    target::RoleObject object;
    object.role = ROLE_SYSTEM_CHECKBUTTON;
    target::SetRoleObject(check, object);
  }
  return GetWindow(window, GW_CHILD);
}

void Move() {
  if (g_movesLeft <= 0) {
    KillTimer(g_main, kMoveTimer);
    return;
  }
  --g_movesLeft;
  ++g_movesDone;
  HWND bench = g_controls["bench"];
  target::RoleObject object;
  object.role = ROLE_SYSTEM_STATICTEXT;
  object.name = L"Položka " + std::to_wstring(g_movesDone);
  target::SetRoleObject(bench, object);
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  NotifyWinEvent(EVENT_OBJECT_FOCUS, bench, OBJID_CLIENT, CHILDID_SELF);
  std::ofstream(PathIn(L"moves.txt").c_str(), std::ios::app | std::ios::binary)
      << g_movesDone << " " << now.QuadPart << "\n";
}

HWND Control(const std::string& name) {
  auto it = g_controls.find(name);
  return it == g_controls.end() ? nullptr : it->second;
}

void RunCommand(const std::string& line) {
  std::istringstream in(line);
  std::string verb, name;
  in >> verb;
  if (verb == "focus") {
    in >> name;
    if (HWND h = Control(name)) SetFocus(h);
  } else if (verb == "settext") {
    in >> name;
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    if (HWND h = Control(name)) {
      SetWindowTextW(h, Widen(rest).c_str());
      NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, h, OBJID_CLIENT, CHILDID_SELF);
    }
  } else if (verb == "select") {
    long start = 0, end = 0;
    in >> name >> start >> end;
    if (HWND h = Control(name)) SendMessageW(h, EM_SETSEL, start, end);
  } else if (verb == "progress") {
    int percent = 0;
    in >> percent;
    HWND h = Control("progress");
    SendMessageW(h, PBM_SETPOS, percent, 0);
    target::SetRoleValue(h, ROLE_SYSTEM_PROGRESSBAR, std::to_wstring(percent) + L" %");
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, h, OBJID_CLIENT, CHILDID_SELF);
  } else if (verb == "custom") {
    int index = 0;
    in >> index;
    target::SetCurrentItem(Control("custom"), index);
  } else if (verb == "menu") {
    NotifyWinEvent(EVENT_SYSTEM_MENUSTART, g_main, OBJID_MENU, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_MENUEND, g_main, OBJID_MENU, CHILDID_SELF);
  } else if (verb == "foreground") {
    SetForegroundWindow(g_main);
    NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, g_main, OBJID_WINDOW, CHILDID_SELF);
  } else if (verb == "msgbox") {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    g_pendingMessage = Widen(rest);
    PostMessageW(g_main, kMsgBoxCommand, 0, 0);  // shown outside the timer, it runs its own loop
  } else if (verb == "pushmsgbox") {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    g_pendingMessage = Widen(rest);
    g_pushButtons = true;
    PostMessageW(g_main, kMsgBoxCommand, 0, 0);
  } else if (verb == "hostile") {
    in >> name;
    target::RoleObject object;
    object.role = -5;
    object.state = -1;
    object.children = -3;
    object.name.assign(1000000, L'x');
    object.value.assign(1000000, L'y');
    if (HWND h = Control(name)) {
      target::SetRoleObject(h, object);
      NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, CHILDID_SELF);
    }
  } else if (verb == "farplace") {
    target::RoleObject object;
    in >> name >> object.x >> object.y >> object.width >> object.height;
    object.role = ROLE_SYSTEM_PUSHBUTTON;
    object.name = L"Daleko";
    object.placed = true;
    if (HWND h = Control(name)) {
      target::SetRoleObject(h, object);
      NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, CHILDID_SELF);
    }
  } else if (verb == "roletext") {
    long role = 0;
    in >> role;
    char text[256] = {};
    GetRoleTextA(static_cast<DWORD>(role), text, sizeof text);
    WriteWhole(L"roletext.txt", std::string(text) + "\n");
  } else if (verb == "msgboxreport") {
    WriteWhole(L"msgbox.txt", target::MessageBoxReport());
  } else if (verb == "notify") {
    in >> name;
    if (HWND h = Control(name)) NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, CHILDID_SELF);
  } else if (verb == "object") {
    target::RoleObject object;
    in >> name >> object.role >> object.state >> object.children;
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    object.name = Widen(rest);
    if (HWND h = Control(name)) target::SetRoleObject(h, object);
  } else if (verb == "window" || verb == "hidden") {
    std::string rest;
    std::getline(in, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    const bool hidden = verb == "hidden";
    HWND box = TopLevelWindow(Widen(rest), hidden ? L"Potvrdit" : L"Uložit");
    HWND window = GetParent(box);
    if (hidden) {
      ShowWindow(window, SW_HIDE);
      SetFocus(box);
      SetTimer(window, kShowTimer, 300, nullptr);
    } else {
      ShowWindow(window, SW_SHOW);
      SetForegroundWindow(window);
    }
  } else if (verb == "back") {
    g_focusOnActivate = Control("check");
    SetForegroundWindow(g_main);
    g_focusOnActivate = nullptr;
  } else if (verb == "moves") {
    int every = 100;
    in >> g_movesLeft >> every;
    g_movesDone = 0;
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    std::ofstream(PathIn(L"moves.txt").c_str(), std::ios::trunc | std::ios::binary)
        << "frequency " << frequency.QuadPart << "\n";
    SetTimer(g_main, kMoveTimer, static_cast<UINT>(every), nullptr);
  } else if (verb == "hang") {
    Hang();
  } else if (verb == "hangcall") {
    auto* list =
        reinterpret_cast<target::CustomList*>(GetWindowLongPtrW(Control("custom"), GWLP_USERDATA));
    if (list != nullptr) list->hangInName = Hang;
  } else if (verb == "page") {
    if (!g_page || !IsWindow(g_page)) {
      g_page = target::CreatePage(GetModuleHandleW(nullptr), PathIn(L"actions.txt"),
                                  PathIn(L"located.txt"));
    } else {
      SetForegroundWindow(g_page);
      SetFocus(g_page);
      NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, g_page, OBJID_WINDOW, CHILDID_SELF);
    }
    WriteWhole(L"page.txt", target::PageLayout(g_page));
  } else if (verb == "webpage") {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx",
                  static_cast<unsigned long long>(
                      reinterpret_cast<UINT_PTR>(target::ShowWebPage(GetModuleHandleW(nullptr)))));
    WriteWhole(L"webpage.txt", std::string(buf) + "\n");
  } else if (verb == "directui") {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(
                      target::ShowDirectUIView(GetModuleHandleW(nullptr)))));
    WriteWhole(L"directui.txt", std::string(buf) + "\n");
  } else if (verb == "duicaret") {
    int offset = 0, row = 0;
    in >> offset >> row;
    target::SetDirectUICaret(offset, row);
    WriteWhole(L"duicaret.txt", std::to_string(offset) + " " + std::to_string(row) + "\n");
  } else if (verb == "warp") {
    int x = 0, y = 0;
    in >> x >> y;
    SetCursorPos(x, y);
  } else if (verb == "cursor") {
    POINT at{};
    GetCursorPos(&at);
    WriteWhole(L"cursor.txt", std::to_string(at.x) + " " + std::to_string(at.y) + "\n");
  } else if (verb == "rect") {
    in >> name;
    RECT r{};
    if (HWND h = Control(name)) {
      GetClientRect(h, &r);
      MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    WriteWhole(L"rect.txt", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n");
  } else if (verb == "focusinfo") {
    const HWND front = GetForegroundWindow();
    const HWND focus = GetFocus();
    std::string focused = focus == nullptr ? "none" : focus == g_page ? "page" : "other";
    for (const auto& [n, hwnd] : g_controls) {
      if (hwnd == focus) focused = n;
    }
    WriteWhole(L"focusinfo.txt", std::string("foreground=") +
                                     (front == g_main                       ? "main"
                                      : front != nullptr && front == g_page ? "page"
                                                                            : "other") +
                                     " focus=" + focused + "\n");
  } else if (verb == "bigpage") {
    int count = 0;
    in >> count;
    static HWND big = nullptr;
    if (big && IsWindow(big)) DestroyWindow(big);
    big = count > 0 ? target::CreateBigPage(GetModuleHandleW(nullptr), count) : nullptr;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(big)));
    WriteWhole(L"bigpage.txt", std::string(buf) + "\n");
  } else if (verb == "band") {
    WriteWhole(L"band.txt", BandReport());
  } else if (verb == "quit") {
    DestroyWindow(g_main);
  }
}

void PollCommands() {
  std::ifstream in(PathIn(L"commands.txt").c_str(), std::ios::binary);
  if (!in) return;
  in.seekg(g_commandOffset);
  std::string line;
  while (std::getline(in, line)) {
    if (in.eof()) break;  // an unfinished last line waits for its newline
    g_commandOffset = in.tellg();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    RunCommand(line);
    ++g_commandsDone;
    std::ofstream(PathIn(L"done.txt").c_str(), std::ios::app | std::ios::binary)
        << "done " << g_commandsDone << "\n";
    if (!IsWindow(g_main)) return;
  }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kPollTimer) PollCommands();
      if (wp == kMoveTimer) Move();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kMenuFileExit) DestroyWindow(hwnd);
      if (LOWORD(wp) == kMenuHelpAbout) {
        MessageBoxW(hwnd, L"Zkušební program", L"O programu", MB_OK | MB_ICONINFORMATION);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && g_focusOnActivate) {
        SetFocus(g_focusOnActivate);
        return 0;
      }
      return DefWindowProcW(hwnd, msg, wp, lp);
    case kMsgBoxCommand:
      if (g_pushButtons) target::BeginPushButtonMessageBoxes();
      MessageBoxW(hwnd, g_pendingMessage.c_str(), L"Zpráva", MB_OK | MB_ICONINFORMATION);
      target::EndPushButtonMessageBoxes();
      g_pushButtons = false;
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    MessageBoxW(nullptr, L"usage: quellon-target.exe DIR", L"quellon-target", MB_OK);
    return 2;
  }
  g_dir = argv[1];
  LocalFree(argv);
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  target::RegisterCustomList(instance);
  target::RegisterPage(instance);
  target::RegisterWebPage(instance);
  target::RegisterDirectUIView(instance);

  WNDCLASSW wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = L"QuellonTargetMain";
  RegisterClassW(&wc);
  WNDCLASSW other = wc;
  other.lpfnWndProc = WindowProc;
  other.lpszClassName = L"QuellonTargetWindow";
  RegisterClassW(&other);
  g_main = CreateWindowExW(0, wc.lpszClassName, L"Quellon Test Target", WS_OVERLAPPEDWINDOW, 40, 40,
                           500, 440, nullptr, nullptr, instance, nullptr);
  CreateMenus(g_main);
  CreateControls();
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);
  SetFocus(Control("edit"));
  SetTimer(g_main, kPollTimer, 20, nullptr);
  WriteReady();

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(g_main, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  CoUninitialize();
  return 0;
}
