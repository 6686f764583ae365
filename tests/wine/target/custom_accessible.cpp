#include "custom_accessible.h"

#include <new>

namespace target {
namespace {

constexpr int kItemHeight = 20;

CustomList* ListOf(HWND hwnd) {
  return reinterpret_cast<CustomList*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

BSTR Bstr(const std::wstring& s) {
  return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

bool ChildIndex(const VARIANT& v, const CustomList& list, long* child) {
  if (v.vt != VT_I4) return false;
  if (v.lVal < 0 || v.lVal > static_cast<long>(list.items.size())) return false;
  *child = v.lVal;
  return true;
}

void SetI4(VARIANT* v, long value) {
  VariantInit(v);
  v->vt = VT_I4;
  v->lVal = value;
}

// Child 0 is the list itself, children 1..n its items.
class ListAccessible final : public IAccessible {
 public:
  explicit ListAccessible(HWND hwnd) : hwnd_(hwnd) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG r = InterlockedDecrement(&refs_);
    if (r == 0) delete this;
    return r;
  }

  // IDispatch: not offered; clients use the vtable.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    if (n) *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    return AccessibleObjectFromWindow(GetParent(hwnd_), OBJID_CLIENT, IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = List() ? static_cast<long>(List()->items.size()) : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    return S_FALSE;  // items are simple elements, addressed by child id
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT v, BSTR* name) override {
    long child = 0;
    if (!name || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    if (void (*hang)() = List()->hangInName) {
      List()->hangInName = nullptr;
      hang();
    }
    *name = Bstr(child == 0 ? L"Ovoce" : List()->items[child - 1]);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* value) override {
    long child = 0;
    if (!value || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    if (child != 0) {
      *value = nullptr;
      return S_FALSE;
    }
    *value = Bstr(List()->items[List()->current]);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* d) override {
    long child = 0;
    if (!d || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    *d = Bstr(child == 0 ? L"Seznam ovoce" : L"Položka ovoce");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* role) override {
    long child = 0;
    if (!role || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    SetI4(role, child == 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* state) override {
    long child = 0;
    if (!state || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    long s = STATE_SYSTEM_FOCUSABLE;
    if (child == 0) {
      if (GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
    } else {
      s |= STATE_SYSTEM_SELECTABLE;
      if (child - 1 == List()->current) {
        s |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
      }
      if (List()->checked[child - 1]) s |= STATE_SYSTEM_CHECKED;
    }
    SetI4(state, s);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    if (help) *help = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* k) override {
    if (k) *k = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus || !List()) return E_POINTER;
    if (GetFocus() != hwnd_) {
      VariantInit(focus);
      return S_FALSE;
    }
    SetI4(focus, List()->current + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* sel) override {
    if (!sel || !List()) return E_POINTER;
    SetI4(sel, List()->current + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* action) override {
    long child = 0;
    if (!action || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    *action = Bstr(child == 0 ? L"" : L"Zaškrtnout");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT v) override {
    long child = 0;
    if (!List() || !ChildIndex(v, *List(), &child) || child == 0) return E_INVALIDARG;
    if (flags & (SELFLAG_TAKEFOCUS)) SetFocus(hwnd_);
    if (flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) SetCurrentItem(hwnd_, child - 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT v) override {
    long child = 0;
    if (!x || !y || !w || !h || !List() || !ChildIndex(v, *List(), &child)) return E_INVALIDARG;
    RECT rc;
    GetClientRect(hwnd_, &rc);
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    *x = origin.x;
    *w = rc.right;
    if (child == 0) {
      *y = origin.y;
      *h = rc.bottom;
    } else {
      *y = origin.y + (child - 1) * kItemHeight;
      *h = kItemHeight;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
    long child = 0;
    if (!end || !List() || !ChildIndex(start, *List(), &child)) return E_INVALIDARG;
    VariantInit(end);
    const long n = static_cast<long>(List()->items.size());
    long to = 0;
    switch (dir) {
      case NAVDIR_FIRSTCHILD:
        to = child == 0 ? 1 : 0;
        break;
      case NAVDIR_LASTCHILD:
        to = child == 0 ? n : 0;
        break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
        to = child > 0 && child < n ? child + 1 : 0;
        break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
        to = child > 1 ? child - 1 : 0;
        break;
      default:
        return E_INVALIDARG;
    }
    if (to == 0) return S_FALSE;
    SetI4(end, to);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit || !List()) return E_POINTER;
    POINT p{x, y};
    ScreenToClient(hwnd_, &p);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    VariantInit(hit);
    if (!PtInRect(&rc, p)) return S_FALSE;
    const long item = p.y / kItemHeight;
    SetI4(hit, item < static_cast<long>(List()->items.size()) ? item + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override {
    long child = 0;
    if (!List() || !ChildIndex(v, *List(), &child) || child == 0) return E_INVALIDARG;
    List()->checked[child - 1] = !List()->checked[child - 1];
    ++List()->defaultActions;
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, child);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  CustomList* List() const { return IsWindow(hwnd_) ? ListOf(hwnd_) : nullptr; }
  HWND hwnd_;
  LONG refs_ = 1;
};

LRESULT CALLBACK CustomProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new CustomList));
      break;
    case WM_NCDESTROY:
      delete ListOf(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT) {
        auto* acc = new (std::nothrow) ListAccessible(hwnd);
        if (!acc) return 0;
        const LRESULT r = LresultFromObject(__uuidof(IAccessible), wp, acc);
        acc->Release();
        return r;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);
      if (msg == WM_SETFOCUS && ListOf(hwnd)) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, ListOf(hwnd)->current + 1);
      }
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      SetCurrentItem(hwnd, HIWORD(lp) / kItemHeight);
      return 0;
    case WM_KEYDOWN:
      if (auto* list = ListOf(hwnd)) {
        if (wp == VK_DOWN) SetCurrentItem(hwnd, list->current + 1);
        if (wp == VK_UP) SetCurrentItem(hwnd, list->current - 1);
        if (wp == VK_SPACE) {
          VARIANT v;
          SetI4(&v, list->current + 1);
          ListAccessible(hwnd).accDoDefaultAction(v);
        }
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (auto* list = ListOf(hwnd)) {
        for (size_t i = 0; i < list->items.size(); ++i) {
          RECT r{0, static_cast<LONG>(i) * kItemHeight, 400,
                 static_cast<LONG>(i + 1) * kItemHeight};
          const bool cur = static_cast<int>(i) == list->current;
          FillRect(dc, &r, GetSysColorBrush(cur ? COLOR_HIGHLIGHT : COLOR_WINDOW));
          SetBkMode(dc, TRANSPARENT);
          std::wstring text = (list->checked[i] ? L"[x] " : L"[ ] ") + list->items[i];
          TextOutW(dc, 4, r.top + 2, text.c_str(), static_cast<int>(text.size()));
        }
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterCustomList(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CustomProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kCustomClass;
  RegisterClassW(&wc);
}

void SetCurrentItem(HWND hwnd, int index) {
  CustomList* list = ListOf(hwnd);
  if (!list || index < 0 || index >= static_cast<int>(list->items.size())) return;
  list->current = index;
  InvalidateRect(hwnd, nullptr, TRUE);
  // Wine raises none of these for a custom control: the control raises them itself.
  NotifyWinEvent(EVENT_OBJECT_SELECTION, hwnd, OBJID_CLIENT, index + 1);
  if (GetFocus() == hwnd) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, index + 1);
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace target
