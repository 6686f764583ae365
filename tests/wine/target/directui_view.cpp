#include "directui_view.h"

#include "framed_view.h"
#include "view_accessible.h"

namespace target {
namespace {

constexpr int kTextLeft = 20;
constexpr int kTextTop = 20;
constexpr int kRow = 16;

FramedView g_window{L"QuellonTargetViewFrame", L"DirectUIHWND"};
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

}  // namespace

void RegisterDirectUIView(HINSTANCE instance) {
  g_window.Register(instance, ViewProc);
}

HWND ShowDirectUIView(HINSTANCE instance) {
  return g_window.Show(instance, L"Zkušební složka", {120, 120, 540, 280}, {400, 120});
}

void SetDirectUICaret(int offset, int line) {
  g_caret = {kTextLeft + offset, kTextTop + line * kRow};
  if (GetFocus() == g_window.view) SetCaretPos(g_caret.x, g_caret.y);
}

}  // namespace target
