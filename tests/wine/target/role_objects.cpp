#include "role_objects.h"

#include <oleacc.h>

#include <map>
#include <string>

#include "utf8.h"
#include "view_accessible.h"

namespace target {
namespace {

std::map<HWND, RoleObject> g_objects;
std::map<HWND, WNDPROC> g_procs;
HHOOK g_cbt = nullptr;
HWND g_box = nullptr;

std::wstring Text(HWND hwnd) {
  wchar_t buf[1024] = {};
  GetWindowTextW(hwnd, buf, 1024);
  return buf;
}

LRESULT CALLBACK RoleProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const auto proc = g_procs.find(hwnd);
  const WNDPROC original = proc == g_procs.end() ? DefWindowProcW : proc->second;
  const auto found = g_objects.find(hwnd);
  if (msg == WM_GETOBJECT && static_cast<LONG>(lp) == OBJID_CLIENT && found != g_objects.end()) {
    IAccessible* inner = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&inner))) &&
        inner != nullptr) {
      const RoleObject& o = found->second;
      auto* object = new ViewAccessible(hwnd, inner, o.role);
      object->SetState(o.state);
      object->SetName(o.name.empty() ? Text(hwnd) : o.name);
      object->SetChildCount(o.children);
      object->SetValue(o.value);
      if (o.placed) object->SetScreenPlace(o.x, o.y, o.width, o.height);
      const LRESULT result = LresultFromObject(__uuidof(IAccessible), wp, object);
      object->Release();
      return result;
    }
  }
  if (msg == WM_NCDESTROY) {
    g_objects.erase(hwnd);
    g_procs.erase(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  }
  return CallWindowProcW(original, hwnd, msg, wp, lp);
}

}  // namespace

std::string MessageBoxReport() {
  if (!g_box || !IsWindow(g_box)) return "none\n";
  std::string out;
  EnumChildWindows(
      g_box,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t cls[256] = {};
        GetClassNameW(child, cls, 256);
        const bool icon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        *reinterpret_cast<std::string*>(param) +=
            Narrow(cls) + "\t" + (IsWindowVisible(child) ? "1" : "0") + "\t" + (icon ? "1" : "0") +
            "\t" + Narrow(Text(child)) + "\n";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

namespace {

LRESULT CALLBACK MessageBoxHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    const auto hwnd = reinterpret_cast<HWND>(wp);
    wchar_t cls[256] = {};
    GetClassNameW(hwnd, cls, 256);
    if (lstrcmpiW(cls, L"Button") == 0) {
      RoleObject push;
      push.role = ROLE_SYSTEM_PUSHBUTTON;
      SetRoleObject(hwnd, push);
    }
  } else if (code == HCBT_ACTIVATE) {
    g_box = reinterpret_cast<HWND>(wp);
  }
  return CallNextHookEx(g_cbt, code, wp, lp);
}

}  // namespace

void SetRoleObject(HWND hwnd, RoleObject object) {
  if (!IsWindow(hwnd)) return;
  g_objects[hwnd] = std::move(object);
  if (g_procs.count(hwnd) == 0) {
    g_procs[hwnd] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RoleProc)));
  }
}

void SetRoleValue(HWND hwnd, long role, std::wstring value) {
  auto found = g_objects.find(hwnd);
  if (found != g_objects.end()) {
    found->second.value = std::move(value);
    return;
  }
  RoleObject object;
  object.role = role;
  object.value = std::move(value);
  SetRoleObject(hwnd, std::move(object));
}

void BeginPushButtonMessageBoxes() {
  if (!g_cbt) g_cbt = SetWindowsHookExW(WH_CBT, MessageBoxHook, nullptr, GetCurrentThreadId());
}

void EndPushButtonMessageBoxes() {
  if (g_cbt) UnhookWindowsHookEx(g_cbt);
  g_cbt = nullptr;
}

}  // namespace target
