// Value types and constants shared by the platform ports. The numbers are Windows' own (window
// messages, styles, system metrics, accessibility events, object ids, MSAA roles and states,
// virtual-key codes), so the Windows implementation passes them through unchanged and the
// program's logic reads like the messages it sends.
#pragma once

#include <cstdint>

#include "platform/event_loop.h"  // Hwnd, WParam, LParam, LResult

namespace quellon::platform {

using ThreadId = std::uint32_t;         // 0 stands for "the foreground thread" where Windows does
using KeyboardLayout = std::uintptr_t;  // HKL: low word language, high word layout

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// RECT: left, top, right, bottom (right and bottom exclusive).
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// ---- Window messages ----
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_GETTEXT = 0x000D;
inline constexpr std::uint32_t WM_GETTEXTLENGTH = 0x000E;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_VSCROLL = 0x0115;
inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t WM_APP = 0x8000;
inline constexpr std::uint32_t STM_GETICON = 0x0171;
inline constexpr std::uint32_t BM_GETCHECK = 0x00F0;
inline constexpr std::uint32_t BST_UNCHECKED = 0;
inline constexpr std::uint32_t BST_CHECKED = 1;
inline constexpr std::uint32_t BST_INDETERMINATE = 2;

// ---- Private messages of Quellon's main window ----
// Posted by the fallback keyboard hook library (another process: they pass the message filter).
inline constexpr std::uint32_t MSG_KEY_RELEASED = 0x8000;
inline constexpr std::uint32_t MSG_KEY_PRESSED = 0x8001;
// wParam 1: read the line of the web page at the caret.
inline constexpr std::uint32_t MSG_READ_WEB_LINE = 0x8010;
// wParam 1, lParam 0: show the about box.
inline constexpr std::uint32_t MSG_ABOUT = 0x8011;
// Posted by the keyboard handler: a caret key in a web page or DirectUI view, Up or Down in
// navigation mode, Space on a check or radio button.
inline constexpr std::uint32_t MSG_CARET_KEY = 0x8012;
inline constexpr std::uint32_t MSG_NAVIGATE_KEY = 0x8013;
inline constexpr std::uint32_t MSG_TOGGLE_KEY = 0x8014;
// Posted by the automation class's Destroy: unload the main window (the normal shutdown) after
// the outside caller has had its answer.
inline constexpr std::uint32_t MSG_AUTOMATION_DESTROY = 0x8020;
// wParam 2, lParam 27: cancels the object walk that fills the item list.
inline constexpr std::uint32_t MSG_CANCEL_WALK = 0x8091;
// The message of a posted call (platform/posted_call.h), to its own hidden window; wParam is
// the number of the posting it belongs to.
inline constexpr std::uint32_t MSG_POSTED_CALL = 0x8092;

inline constexpr std::uint32_t EM_GETSEL = 0x00B0;
inline constexpr std::uint32_t EM_SETSEL = 0x00B1;
inline constexpr std::uint32_t EM_GETLINECOUNT = 0x00BA;
inline constexpr std::uint32_t EM_LINEINDEX = 0x00BB;
inline constexpr std::uint32_t EM_LINELENGTH = 0x00C1;
inline constexpr std::uint32_t EM_REPLACESEL = 0x00C2;
inline constexpr std::uint32_t EM_LINEFROMCHAR = 0x00C9;

inline constexpr std::uint32_t SB_PAGEUP = 2;
inline constexpr std::uint32_t SB_PAGEDOWN = 3;

// ChangeWindowMessageFilter actions.
inline constexpr std::uint32_t MSGFLT_ADD = 1;
inline constexpr std::uint32_t MSGFLT_REMOVE = 2;

// ---- Window longs and styles ----
inline constexpr std::int32_t GWL_EXSTYLE = -20;
inline constexpr std::int32_t GWL_STYLE = -16;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;
inline constexpr std::uint32_t ES_MULTILINE = 0x0004;
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr std::uint32_t BS_CHECKBOX = 0x0002;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x0004;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x0009;
inline constexpr std::uint32_t BS_TYPEMASK = 0x000F;

// ---- ShowWindow commands ----
inline constexpr std::int32_t SW_HIDE = 0;
inline constexpr std::int32_t SW_SHOWNORMAL = 1;
inline constexpr std::int32_t SW_SHOWMINIMIZED = 2;
inline constexpr std::int32_t SW_MAXIMIZE = 3;
inline constexpr std::int32_t SW_SHOW = 5;
inline constexpr std::int32_t SW_MINIMIZE = 6;
inline constexpr std::int32_t SW_RESTORE = 9;

// ---- SetWindowPos ----
inline constexpr Hwnd HWND_TOP = 0;
inline constexpr Hwnd HWND_TOPMOST = static_cast<Hwnd>(-1);
inline constexpr Hwnd HWND_NOTOPMOST = static_cast<Hwnd>(-2);
inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;
inline constexpr std::uint32_t SWP_NOZORDER = 0x0004;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x0010;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr std::uint32_t SWP_HIDEWINDOW = 0x0080;
inline constexpr std::uint32_t LWA_COLORKEY = 0x1;
inline constexpr std::uint32_t LWA_ALPHA = 0x2;

// ---- System metrics ----
inline constexpr std::int32_t SM_CXSCREEN = 0;
inline constexpr std::int32_t SM_CYSCREEN = 1;
inline constexpr std::int32_t SM_CYHSCROLL = 3;
inline constexpr std::int32_t SM_CYCAPTION = 4;
inline constexpr std::int32_t SM_CXBORDER = 5;
inline constexpr std::int32_t SM_CYBORDER = 6;
inline constexpr std::int32_t SM_CYMENU = 15;
inline constexpr std::int32_t SM_CXFRAME = 32;
inline constexpr std::int32_t SM_CYFRAME = 33;

// ---- Message boxes and beeps ----
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_OKCANCEL = 0x1;
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr std::int32_t IDOK = 1;
inline constexpr std::int32_t IDCANCEL = 2;
inline constexpr std::uint32_t BEEP_DEFAULT = 0xFFFFFFFF;  // MessageBeep(-1): the simple beep

// ---- Accessibility events (WinEvents) ----
inline constexpr std::uint32_t EVENT_SYSTEM_FOREGROUND = 0x0003;
inline constexpr std::uint32_t EVENT_SYSTEM_MENUSTART = 0x0004;
inline constexpr std::uint32_t EVENT_SYSTEM_MENUEND = 0x0005;
inline constexpr std::uint32_t EVENT_SYSTEM_MENUPOPUPSTART = 0x0006;
inline constexpr std::uint32_t EVENT_SYSTEM_MENUPOPUPEND = 0x0007;
inline constexpr std::uint32_t EVENT_SYSTEM_DIALOGSTART = 0x0010;
inline constexpr std::uint32_t EVENT_SYSTEM_DIALOGEND = 0x0011;
inline constexpr std::uint32_t EVENT_SYSTEM_SWITCHSTART = 0x0014;
inline constexpr std::uint32_t EVENT_SYSTEM_SWITCHEND = 0x0015;
inline constexpr std::uint32_t EVENT_OBJECT_CREATE = 0x8000;
inline constexpr std::uint32_t EVENT_OBJECT_DESTROY = 0x8001;
inline constexpr std::uint32_t EVENT_OBJECT_SHOW = 0x8002;
inline constexpr std::uint32_t EVENT_OBJECT_HIDE = 0x8003;
inline constexpr std::uint32_t EVENT_OBJECT_FOCUS = 0x8005;
inline constexpr std::uint32_t EVENT_OBJECT_SELECTION = 0x8006;
inline constexpr std::uint32_t EVENT_OBJECT_STATECHANGE = 0x800A;
inline constexpr std::uint32_t EVENT_OBJECT_LOCATIONCHANGE = 0x800B;
inline constexpr std::uint32_t EVENT_OBJECT_NAMECHANGE = 0x800C;
inline constexpr std::uint32_t EVENT_OBJECT_VALUECHANGE = 0x800E;
inline constexpr std::uint32_t EVENT_MIN = 0x00000001;
inline constexpr std::uint32_t EVENT_MAX = 0x7FFFFFFF;

// ---- Object and child ids ----
inline constexpr std::int32_t OBJID_WINDOW = 0;
inline constexpr std::int32_t OBJID_SYSMENU = -1;
inline constexpr std::int32_t OBJID_TITLEBAR = -2;
inline constexpr std::int32_t OBJID_MENU = -3;
inline constexpr std::int32_t OBJID_CLIENT = -4;
inline constexpr std::int32_t OBJID_CARET = -8;
inline constexpr std::int32_t CHILDID_SELF = 0;

// ---- MSAA roles ----
inline constexpr std::int32_t ROLE_SYSTEM_TITLEBAR = 1;
inline constexpr std::int32_t ROLE_SYSTEM_MENUBAR = 2;
inline constexpr std::int32_t ROLE_SYSTEM_SCROLLBAR = 3;
inline constexpr std::int32_t ROLE_SYSTEM_WINDOW = 9;
inline constexpr std::int32_t ROLE_SYSTEM_CLIENT = 10;
inline constexpr std::int32_t ROLE_SYSTEM_MENUPOPUP = 11;
inline constexpr std::int32_t ROLE_SYSTEM_MENUITEM = 12;
inline constexpr std::int32_t ROLE_SYSTEM_DIALOG = 18;
inline constexpr std::int32_t ROLE_SYSTEM_APPLICATION = 14;
inline constexpr std::int32_t ROLE_SYSTEM_DOCUMENT = 15;
inline constexpr std::int32_t ROLE_SYSTEM_PANE = 16;
inline constexpr std::int32_t ROLE_SYSTEM_SEPARATOR = 21;
inline constexpr std::int32_t ROLE_SYSTEM_STATUSBAR = 23;
inline constexpr std::int32_t ROLE_SYSTEM_TABLE = 24;
inline constexpr std::int32_t ROLE_SYSTEM_CELL = 29;
inline constexpr std::int32_t ROLE_SYSTEM_LINK = 30;
inline constexpr std::int32_t ROLE_SYSTEM_LIST = 33;
inline constexpr std::int32_t ROLE_SYSTEM_LISTITEM = 34;
inline constexpr std::int32_t ROLE_SYSTEM_OUTLINE = 35;
inline constexpr std::int32_t ROLE_SYSTEM_OUTLINEITEM = 36;
inline constexpr std::int32_t ROLE_SYSTEM_GRAPHIC = 40;
inline constexpr std::int32_t ROLE_SYSTEM_STATICTEXT = 41;
inline constexpr std::int32_t ROLE_SYSTEM_TEXT = 42;
inline constexpr std::int32_t ROLE_SYSTEM_PUSHBUTTON = 43;
inline constexpr std::int32_t ROLE_SYSTEM_CHECKBUTTON = 44;
inline constexpr std::int32_t ROLE_SYSTEM_RADIOBUTTON = 45;
inline constexpr std::int32_t ROLE_SYSTEM_COMBOBOX = 46;
inline constexpr std::int32_t ROLE_SYSTEM_PROGRESSBAR = 48;

// ---- MSAA states ----
inline constexpr std::uint32_t STATE_SYSTEM_UNAVAILABLE = 0x1;
inline constexpr std::uint32_t STATE_SYSTEM_SELECTED = 0x2;
inline constexpr std::uint32_t STATE_SYSTEM_FOCUSED = 0x4;
inline constexpr std::uint32_t STATE_SYSTEM_PRESSED = 0x8;
inline constexpr std::uint32_t STATE_SYSTEM_CHECKED = 0x10;
inline constexpr std::uint32_t STATE_SYSTEM_READONLY = 0x40;
inline constexpr std::uint32_t STATE_SYSTEM_DEFAULT = 0x100;
inline constexpr std::uint32_t STATE_SYSTEM_EXPANDED = 0x200;
inline constexpr std::uint32_t STATE_SYSTEM_COLLAPSED = 0x400;
inline constexpr std::uint32_t STATE_SYSTEM_INVISIBLE = 0x8000;
inline constexpr std::uint32_t STATE_SYSTEM_OFFSCREEN = 0x10000;
inline constexpr std::uint32_t STATE_SYSTEM_FOCUSABLE = 0x100000;
inline constexpr std::uint32_t STATE_SYSTEM_SELECTABLE = 0x200000;
inline constexpr std::uint32_t STATE_SYSTEM_LINKED = 0x400000;
inline constexpr std::uint32_t STATE_SYSTEM_HASPOPUP = 0x40000000;

// accNavigate directions and accSelect flags.
inline constexpr std::int32_t NAVDIR_UP = 1;
inline constexpr std::int32_t NAVDIR_DOWN = 2;
inline constexpr std::int32_t NAVDIR_LEFT = 3;
inline constexpr std::int32_t NAVDIR_RIGHT = 4;
inline constexpr std::int32_t NAVDIR_NEXT = 5;
inline constexpr std::int32_t NAVDIR_PREVIOUS = 6;
inline constexpr std::int32_t NAVDIR_FIRSTCHILD = 7;
inline constexpr std::int32_t NAVDIR_LASTCHILD = 8;
inline constexpr std::int32_t SELFLAG_TAKEFOCUS = 1;
inline constexpr std::int32_t SELFLAG_TAKESELECTION = 2;

// ---- Virtual keys ----
inline constexpr std::uint32_t VK_LBUTTON = 0x01;
inline constexpr std::uint32_t VK_BACK = 0x08;
inline constexpr std::uint32_t VK_TAB = 0x09;
inline constexpr std::uint32_t VK_RETURN = 0x0D;
inline constexpr std::uint32_t VK_SHIFT = 0x10;
inline constexpr std::uint32_t VK_CONTROL = 0x11;
inline constexpr std::uint32_t VK_MENU = 0x12;
inline constexpr std::uint32_t VK_CAPITAL = 0x14;
inline constexpr std::uint32_t VK_ESCAPE = 0x1B;
inline constexpr std::uint32_t VK_SPACE = 0x20;
inline constexpr std::uint32_t VK_PRIOR = 0x21;
inline constexpr std::uint32_t VK_NEXT = 0x22;
inline constexpr std::uint32_t VK_END = 0x23;
inline constexpr std::uint32_t VK_HOME = 0x24;
inline constexpr std::uint32_t VK_LEFT = 0x25;
inline constexpr std::uint32_t VK_UP = 0x26;
inline constexpr std::uint32_t VK_RIGHT = 0x27;
inline constexpr std::uint32_t VK_DOWN = 0x28;
inline constexpr std::uint32_t VK_DELETE = 0x2E;
inline constexpr std::uint32_t VK_ADD = 0x6B;
inline constexpr std::uint32_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint32_t VK_F1 = 0x70;
inline constexpr std::uint32_t VK_F2 = 0x71;
inline constexpr std::uint32_t VK_F5 = 0x74;
inline constexpr std::uint32_t VK_F7 = 0x76;
inline constexpr std::uint32_t VK_F8 = 0x77;
inline constexpr std::uint32_t VK_F9 = 0x78;
inline constexpr std::uint32_t VK_F12 = 0x7B;
inline constexpr std::uint32_t VK_NUMLOCK = 0x90;
inline constexpr std::uint32_t VK_SCROLL = 0x91;
inline constexpr std::uint32_t VK_LSHIFT = 0xA0;
inline constexpr std::uint32_t VK_RSHIFT = 0xA1;
inline constexpr std::uint32_t VK_LCONTROL = 0xA2;
inline constexpr std::uint32_t VK_RCONTROL = 0xA3;
inline constexpr std::uint32_t VK_LMENU = 0xA4;
inline constexpr std::uint32_t VK_RMENU = 0xA5;
inline constexpr std::uint32_t VK_OEM_1 = 0xBA;
inline constexpr std::uint32_t VK_OEM_PLUS = 0xBB;
inline constexpr std::uint32_t VK_OEM_COMMA = 0xBC;
inline constexpr std::uint32_t VK_OEM_MINUS = 0xBD;
inline constexpr std::uint32_t VK_OEM_PERIOD = 0xBE;
inline constexpr std::uint32_t VK_OEM_2 = 0xBF;
inline constexpr std::uint32_t VK_OEM_3 = 0xC0;
inline constexpr std::uint32_t VK_OEM_4 = 0xDB;
inline constexpr std::uint32_t VK_OEM_5 = 0xDC;
inline constexpr std::uint32_t VK_OEM_6 = 0xDD;
inline constexpr std::uint32_t VK_OEM_7 = 0xDE;

// Keyboard layouts (HKL values).
inline constexpr KeyboardLayout kLayoutUs = 0x04090409;
inline constexpr KeyboardLayout kLayoutCzech = 0x04050405;

}  // namespace quellon::platform
