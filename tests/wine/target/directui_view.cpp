#include "directui_view.h"

#include "view_accessible.h"

namespace target {
namespace {

constexpr int kTextLeft = 20;
constexpr int kTextTop = 20;
constexpr int kRow = 16;

HWND g_frame = nullptr;
HWND g_view = nullptr;
POINT g_caret{kTextLeft, kTextTop};

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT) {
        IAccessible* inner = nullptr;
        if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&inner))) ||
            !inner) {
          break;
        }
        auto* view = new ViewAccessible(hwnd, inner);
        view->SetValue(L"Soubor\rÚpravy zobrazit\rKonec");
        view->SetPlace({kTextLeft, kTextTop, kTextLeft + 300, kTextTop + 3 * kRow});
        const LRESULT r = LresultFromObject(__uuidof(IAccessible), wp, view);
        view->Release();
        return r;
      }
      break;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, kRow);
      SetCaretPos(g_caret.x, g_caret.y);
      ShowCaret(hwnd);
      NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETFOCUS && g_view) {
    SetFocus(g_view);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterDirectUIView(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = L"QuellonTargetViewFrame";
  RegisterClassW(&wc);
  wc.lpfnWndProc = ViewProc;
  wc.lpszClassName = L"DirectUIHWND";
  RegisterClassW(&wc);
}

HWND ShowDirectUIView(HINSTANCE instance) {
  if (!g_frame || !IsWindow(g_frame)) {
    g_frame = CreateWindowExW(0, L"QuellonTargetViewFrame", L"Zkušební složka",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 120, 420, 160, nullptr,
                              nullptr, instance, nullptr);
    g_view = CreateWindowExW(0, L"DirectUIHWND", L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 120,
                             g_frame, nullptr, instance, nullptr);
  }
  SetForegroundWindow(g_frame);
  SetFocus(g_view);
  return g_view;
}

void SetDirectUICaret(int offset, int line) {
  g_caret = {kTextLeft + offset, kTextTop + line * kRow};
  if (GetFocus() == g_view) SetCaretPos(g_caret.x, g_caret.y);
}

}  // namespace target
