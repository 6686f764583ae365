// The system's own object for a window's client with some properties of the target's own. The
// hand-drawn views (the web page, the DirectUI view) report the role of a pane, as a browser's page
// and a shell view do (so screen readers treat them as text to read), and optionally a value and a
// place of their own (the text a view draws and where it draws it). Standard controls of the
// target put on the role, state, name, value and child count a real control of that kind reports
// on Windows, where Wine's own object would report only a client.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>

namespace target {

class ViewAccessible : public IAccessible {
 public:
  // Takes the reference to `inner`, the system's object for the window's client.
  ViewAccessible(HWND hwnd, IAccessible* inner, long role = ROLE_SYSTEM_PANE)
      : hwnd_(hwnd), inner_(inner), role_(role) {}
  // Properties of its own; each one not given comes from the system's object.
  void SetState(long state) {
    state_ = state;
    hasState_ = true;
  }
  void SetName(std::wstring name) {
    name_ = std::move(name);
    hasName_ = true;
  }
  void SetChildCount(long count) {
    children_ = count;
    hasChildren_ = true;
  }
  // A value of its own, and a place of its own (client coordinates of the window).
  void SetValue(std::wstring value) { value_ = std::move(value); }
  void SetPlace(RECT place) {
    place_ = place;
    hasPlace_ = true;
  }
  // accLocation's four numbers exactly as given (screen coordinates, any values a program might
  // report).
  void SetScreenPlace(LONG x, LONG y, LONG w, LONG h) {
    screen_[0] = x;
    screen_[1] = y;
    screen_[2] = w;
    screen_[3] = h;
    hasScreenPlace_ = true;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    if (left == 0) {
      inner_->Release();
      delete this;
    }
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    return inner_->GetTypeInfoCount(n);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return inner_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                          DISPID* d) override {
    return inner_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                   EXCEPINFO* e, UINT* a) override {
    return inner_->Invoke(d, r, l, f, p, v, e, a);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
    return inner_->get_accParent(p);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override {
    if (!hasChildren_) return inner_->get_accChildCount(n);
    *n = children_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
    return inner_->get_accChild(c, p);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR* s) override {
    if (!hasName_ || !Self(c)) return inner_->get_accName(c, s);
    *s = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* s) override {
    if (value_.empty() || !Self(c)) return inner_->get_accValue(c, s);
    *s = SysAllocStringLen(value_.data(), static_cast<UINT>(value_.size()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* s) override {
    return inner_->get_accDescription(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* role) override {
    if (!Self(c)) return inner_->get_accRole(c, role);
    role->vt = VT_I4;
    role->lVal = role_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override {
    if (!hasState_ || !Self(c)) return inner_->get_accState(c, s);
    s->vt = VT_I4;
    s->lVal = state_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* s) override {
    return inner_->get_accHelp(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
    return inner_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* s) override {
    return inner_->get_accKeyboardShortcut(c, s);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override {
    return inner_->get_accSelection(c);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* s) override {
    return inner_->get_accDefaultAction(c, s);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override {
    return inner_->accSelect(f, c);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
    if (hasScreenPlace_ && Self(c)) {
      *x = screen_[0];
      *y = screen_[1];
      *w = screen_[2];
      *h = screen_[3];
      return S_OK;
    }
    if (!hasPlace_ || !Self(c)) {
      return inner_->accLocation(x, y, w, h, c);
    }
    POINT origin{place_.left, place_.top};
    ClientToScreen(hwnd_, &origin);
    *x = origin.x;
    *y = origin.y;
    *w = place_.right - place_.left;
    *h = place_.bottom - place_.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override {
    return inner_->accNavigate(d, s, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override {
    return inner_->accHitTest(x, y, c);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override {
    return inner_->accDoDefaultAction(c);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR s) override {
    return inner_->put_accName(c, s);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR s) override {
    return inner_->put_accValue(c, s);
  }

 private:
  virtual ~ViewAccessible() = default;
  static bool Self(const VARIANT& c) { return c.vt == VT_I4 && c.lVal == CHILDID_SELF; }
  long refs_ = 1;
  HWND hwnd_;
  IAccessible* inner_;
  long role_;
  std::wstring value_;
  long state_ = 0;
  bool hasState_ = false;
  std::wstring name_;
  bool hasName_ = false;
  long children_ = 0;
  bool hasChildren_ = false;
  RECT place_{};
  bool hasPlace_ = false;
  LONG screen_[4] = {};
  bool hasScreenPlace_ = false;
};

}  // namespace target
