#include "page_accessible.h"

#include <oleacc.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

namespace target {
namespace {

// One object of the page: containers are objects of their own, leaves are simple elements
// addressed by their 1-based child id in their container.
struct Node {
  long role = ROLE_SYSTEM_CLIENT;
  long state = 0;
  std::wstring name, value;
  RECT rect{};  // client coordinates
  Node* parent = nullptr;
  std::vector<std::unique_ptr<Node>> children;

  Node* Add(long r, long s, std::wstring n, std::wstring v, RECT rc) {
    auto child = std::make_unique<Node>();
    child->role = r;
    child->state = s;
    child->name = std::move(n);
    child->value = std::move(v);
    child->rect = rc;
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
  }
};

struct Page {
  Node root;
  std::wstring actionsFile;
  std::wstring locatedFile;
  const Node* focused = nullptr;
};

Page* PageOf(HWND hwnd) {
  return reinterpret_cast<Page*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

constexpr long kLink = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;

void BuildTree(Page& page) {
  Node& root = page.root;
  root.role = ROLE_SYSTEM_CLIENT;
  root.name = L"Stránka";
  // Links as a web page gives their text: text objects in the linked state.
  root.Add(ROLE_SYSTEM_TEXT, kLink, L"Domů", L"http://example.invalid/domu", {10, 10, 110, 30});
  root.Add(ROLE_SYSTEM_TEXT, kLink, L"Zprávy", L"http://example.invalid/zpravy",
           {120, 10, 220, 30});
  root.Add(ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY,
           L"Vítejte na zkušební stránce. Tato stránka má několik vět. Třetí věta je poslední.",
           L"", {10, 40, 580, 80});
  root.Add(ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED,
           L"Zapamatovat si mě", L"", {10, 90, 200, 110});
  Node* pane = root.Add(ROLE_SYSTEM_PANE, 0, L"Patička", L"", {10, 120, 580, 200});
  pane->Add(ROLE_SYSTEM_TEXT, kLink, L"Kontakt", L"http://example.invalid/kontakt",
            {20, 130, 120, 150});
  pane->Add(ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, L"Konec stránky.", L"",
            {20, 160, 300, 180});
}

BSTR Bstr(const std::wstring& s) {
  return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}

void SetI4(VARIANT* v, long value) {
  VariantInit(v);
  v->vt = VT_I4;
  v->lVal = value;
}

void AppendUtf8Line(const std::wstring& file, const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  std::ofstream(file.c_str(), std::ios::app | std::ios::binary) << out << "\n";
}

class NodeAccessible final : public IAccessible {
 public:
  NodeAccessible(HWND hwnd, const Node* node) : hwnd_(hwnd), node_(node) {}

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

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!Alive()) return E_FAIL;
    if (node_->parent) {
      *parent = new (std::nothrow) NodeAccessible(hwnd_, node_->parent);
      return *parent ? S_OK : E_OUTOFMEMORY;
    }
    return AccessibleObjectFromWindow(hwnd_, OBJID_WINDOW, IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = Alive() ? static_cast<long>(node_->children.size()) : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    const Node* n = At(v);
    if (!n || n == node_) return E_INVALIDARG;
    if (n->children.empty()) return S_FALSE;  // a simple element
    *child = new (std::nothrow) NodeAccessible(hwnd_, n);
    return *child ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT v, BSTR* name) override {
    const Node* n = At(v);
    if (!name || !n) return E_INVALIDARG;
    *name = Bstr(n->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* value) override {
    const Node* n = At(v);
    if (!value || !n) return E_INVALIDARG;
    *value = nullptr;
    if (n->value.empty()) return S_FALSE;
    *value = Bstr(n->value);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* d) override {
    if (d) *d = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* role) override {
    const Node* n = At(v);
    if (!role || !n) return E_INVALIDARG;
    SetI4(role, n->role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* state) override {
    const Node* n = At(v);
    if (!state || !n) return E_INVALIDARG;
    long s = n->state;
    if (n == PageOf(hwnd_)->focused && GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
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
    if (!focus) return E_POINTER;
    VariantInit(focus);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* sel) override {
    if (!sel) return E_POINTER;
    VariantInit(sel);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* action) override {
    const Node* n = At(v);
    if (!action || !n) return E_INVALIDARG;
    *action = Bstr((n->state & STATE_SYSTEM_LINKED) ? L"Přejít" : L"");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT v) override {
    const Node* n = At(v);
    if (!n) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) {
      SetFocus(hwnd_);
      PageOf(hwnd_)->focused = n;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT v) override {
    const Node* n = At(v);
    if (!x || !y || !w || !h || !n) return E_INVALIDARG;
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    *x = origin.x + n->rect.left;
    *y = origin.y + n->rect.top;
    *w = n->rect.right - n->rect.left;
    *h = n->rect.bottom - n->rect.top;
    if (!PageOf(hwnd_)->locatedFile.empty()) AppendUtf8Line(PageOf(hwnd_)->locatedFile, n->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
    const Node* n = At(start);
    if (!end || !n) return E_INVALIDARG;
    VariantInit(end);
    const long count = static_cast<long>(node_->children.size());
    const long id = n == node_ ? 0 : start.lVal;
    long to = 0;
    switch (dir) {
      case NAVDIR_FIRSTCHILD:
        to = id == 0 && count > 0 ? 1 : 0;
        break;
      case NAVDIR_LASTCHILD:
        to = id == 0 ? count : 0;
        break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
        to = id > 0 && id < count ? id + 1 : 0;
        break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
        to = id > 1 ? id - 1 : 0;
        break;
      default:
        return E_INVALIDARG;
    }
    if (to == 0) return S_FALSE;
    const Node* target = node_->children[static_cast<size_t>(to - 1)].get();
    if (target->children.empty()) {
      SetI4(end, to);
    } else {
      end->vt = VT_DISPATCH;
      end->pdispVal = new (std::nothrow) NodeAccessible(hwnd_, target);
      if (!end->pdispVal) return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override {
    const Node* n = At(v);
    if (!n) return E_INVALIDARG;
    if (!(n->state & STATE_SYSTEM_LINKED)) return DISP_E_MEMBERNOTFOUND;
    AppendUtf8Line(PageOf(hwnd_)->actionsFile, n->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool Alive() const { return IsWindow(hwnd_) && PageOf(hwnd_) != nullptr; }
  // The node a child id names: 0 this object, 1..n its children.
  const Node* At(const VARIANT& v) const {
    if (!Alive() || v.vt != VT_I4) return nullptr;
    if (v.lVal == CHILDID_SELF) return node_;
    if (v.lVal < 1 || v.lVal > static_cast<long>(node_->children.size())) return nullptr;
    return node_->children[static_cast<size_t>(v.lVal - 1)].get();
  }
  HWND hwnd_;
  const Node* node_;
  LONG refs_ = 1;
};

void Paint(HWND hwnd, const Node& node, HDC dc) {
  if (node.parent) {
    RECT r = node.rect;
    if (!node.children.empty()) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
    std::wstring text = node.name;
    if (node.role == ROLE_SYSTEM_CHECKBUTTON) text = L"[x] " + text;
    SetTextColor(
        dc, GetSysColor((node.state & STATE_SYSTEM_LINKED) ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT));
    if (node.children.empty()) {
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_WORDBREAK);
    }
  }
  for (const auto& child : node.children) Paint(hwnd, *child, dc);
}

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_NCDESTROY:
      delete PageOf(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT && PageOf(hwnd)) {
        auto* acc = new (std::nothrow) NodeAccessible(hwnd, &PageOf(hwnd)->root);
        if (!acc) return 0;
        const LRESULT r = LresultFromObject(__uuidof(IAccessible), wp, acc);
        acc->Release();
        return r;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      SetBkMode(dc, TRANSPARENT);
      if (Page* page = PageOf(hwnd)) Paint(hwnd, page->root, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Layout(HWND page, const Node& node, std::string& out) {
  POINT origin{0, 0};
  ClientToScreen(page, &origin);
  if (node.parent) {
    const std::wstring& n = node.name;
    const int len = WideCharToMultiByte(CP_UTF8, 0, n.data(), static_cast<int>(n.size()), nullptr,
                                        0, nullptr, nullptr);
    std::string name(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, n.data(), static_cast<int>(n.size()), name.data(), len, nullptr,
                        nullptr);
    char buf[96];
    std::snprintf(buf, sizeof buf, "\t%ld,%ld,%ld,%ld\n", origin.x + node.rect.left,
                  origin.y + node.rect.top, origin.x + node.rect.right,
                  origin.y + node.rect.bottom);
    out += name + buf;
  }
  for (const auto& child : node.children) Layout(page, *child, out);
}

}  // namespace

void RegisterPage(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PageProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kPageClass;
  RegisterClassW(&wc);
}

HWND CreatePage(HINSTANCE instance, const std::wstring& actionsFile,
                const std::wstring& locatedFile) {
  auto* page = new (std::nothrow) Page;
  if (!page) return nullptr;
  page->actionsFile = actionsFile;
  page->locatedFile = locatedFile;
  BuildTree(*page);
  HWND hwnd = CreateWindowExW(0, kPageClass, L"Stránka", WS_OVERLAPPEDWINDOW, 100, 120, 620, 280,
                              nullptr, nullptr, instance, page);
  if (!hwnd) {
    delete page;
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, OBJID_WINDOW, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF);
  return hwnd;
}

HWND CreateBigPage(HINSTANCE instance, int count) {
  auto* page = new (std::nothrow) Page;
  if (!page) return nullptr;
  Node& root = page->root;
  root.name = L"Velká stránka";
  constexpr int kColumns = 10;
  for (int i = 0; i < count; ++i) {
    const RECT place{10 + (i % kColumns) * 60, 10 + (i / kColumns) * 12,
                     10 + (i % kColumns) * 60 + 56, 10 + (i / kColumns) * 12 + 10};
    const std::wstring name = L"Položka " + std::to_wstring(i + 1);
    switch (i % 3) {
      case 0:
        root.Add(ROLE_SYSTEM_TEXT, kLink, name, L"http://example.invalid/" + std::to_wstring(i),
                 place);
        break;
      case 1:
        root.Add(ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, name, L"", place);
        break;
      default:
        root.Add(ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE, name, L"", place);
        break;
    }
  }
  HWND hwnd = CreateWindowExW(0, kPageClass, L"Velká stránka", WS_OVERLAPPEDWINDOW, 60, 60, 640,
                              640, nullptr, nullptr, instance, page);
  if (!hwnd) {
    delete page;
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  return hwnd;
}

std::string PageLayout(HWND page) {
  std::string out;
  if (Page* p = IsWindow(page) ? PageOf(page) : nullptr) Layout(page, p->root, out);
  return out;
}

}  // namespace target
