#include "platform/win32/win32_windows.h"

#include <exdisp.h>
#include <mshtml.h>
#include <oleacc.h>

#include <algorithm>

#include "platform/win32/win32_html_document.h"

namespace quellon::platform {
namespace {

// The ShellWindows class (its id is fixed by the system).
constexpr CLSID kShellWindowsClass = {
    0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};

// Upper bound on the browser windows listed (a defence against a list that never ends).
constexpr LONG kMaxBrowserWindows = 256;

// An owned COM reference.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  ~Ref() {
    if (p_ != nullptr) p_->Release();
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

template <typename T, typename From>
Ref<T> Query(From* from) {
  Ref<T> result;
  if (from != nullptr &&
      FAILED(from->QueryInterface(__uuidof(T), reinterpret_cast<void**>(result.out())))) {
    return Ref<T>();
  }
  return result;
}

// A BSTR made from a UTF-16 text, freed at the end of the scope.
class Bstr {
 public:
  explicit Bstr(const std::u16string& s)
      : b_(SysAllocStringLen(win32::Wide(s), static_cast<UINT>(s.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

std::u16string Take(BSTR b) {
  std::u16string s = win32::FromWide(b, b != nullptr ? SysStringLen(b) : 0);
  SysFreeString(b);
  return s;
}

class Win32HtmlElement final : public HtmlElement {
 public:
  explicit Win32HtmlElement(Ref<IHTMLElement> element) : element_(std::move(element)) {}
  std::u16string TagName() override {
    BSTR tag = nullptr;
    if (FAILED(element_->get_tagName(&tag))) return {};
    std::u16string s = Take(tag);
    for (char16_t& c : s) {
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return s;
  }
  Rect BoundingClientRect() override {
    Rect r;
    Ref<IHTMLElement2> e2 = Query<IHTMLElement2>(element_.get());
    Ref<IHTMLRect> rect;
    if (e2 && SUCCEEDED(e2->getBoundingClientRect(rect.out())) && rect) {
      LONG v = 0;
      if (SUCCEEDED(rect->get_left(&v))) r.left = v;
      if (SUCCEEDED(rect->get_top(&v))) r.top = v;
      if (SUCCEEDED(rect->get_right(&v))) r.right = v;
      if (SUCCEEDED(rect->get_bottom(&v))) r.bottom = v;
    }
    return r;
  }
  std::int32_t ClientLeft() override {
    LONG v = 0;
    Ref<IHTMLElement2> e2 = Query<IHTMLElement2>(element_.get());
    return e2 && SUCCEEDED(e2->get_clientLeft(&v)) ? v : 0;
  }
  std::int32_t ClientWidth() override {
    LONG v = 0;
    Ref<IHTMLElement2> e2 = Query<IHTMLElement2>(element_.get());
    return e2 && SUCCEEDED(e2->get_clientWidth(&v)) ? v : 0;
  }

 private:
  Ref<IHTMLElement> element_;
};

class Win32HtmlTextRange final : public HtmlTextRange {
 public:
  explicit Win32HtmlTextRange(Ref<IHTMLTxtRange> range) : range_(std::move(range)) {}
  IHTMLTxtRange* Raw() const { return range_.get(); }

  std::u16string Text() override {
    BSTR text = nullptr;
    return SUCCEEDED(range_->get_text(&text)) ? Take(text) : std::u16string();
  }
  bool Expand(const std::u16string& unit) override {
    VARIANT_BOOL ok = VARIANT_FALSE;
    return SUCCEEDED(range_->expand(Bstr(unit).get(), &ok)) && ok != VARIANT_FALSE;
  }
  std::int32_t Move(const std::u16string& unit, std::int32_t count) override {
    LONG moved = 0;
    return SUCCEEDED(range_->move(Bstr(unit).get(), count, &moved)) ? moved : 0;
  }
  bool MoveToPoint(std::int32_t x, std::int32_t y) override {
    return SUCCEEDED(range_->moveToPoint(x, y));
  }
  bool SetEndPoint(const std::u16string& how, const HtmlTextRange& source) override {
    const auto* other = dynamic_cast<const Win32HtmlTextRange*>(&source);
    if (other == nullptr) return false;
    return SUCCEEDED(range_->setEndPoint(Bstr(how).get(), other->Raw()));
  }

 private:
  Ref<IHTMLTxtRange> range_;
};

class Win32HtmlDocument final : public HtmlDocument {
 public:
  explicit Win32HtmlDocument(Ref<IHTMLDocument2> document) : document_(std::move(document)) {}
  std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) override {
    Ref<IHTMLElement> element;
    if (FAILED(document_->elementFromPoint(x, y, element.out())) || !element) return nullptr;
    return std::make_unique<Win32HtmlElement>(std::move(element));
  }
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override {
    Ref<IHTMLSelectionObject> selection;
    Ref<IDispatch> dispatch;
    if (FAILED(document_->get_selection(selection.out())) || !selection ||
        FAILED(selection->createRange(dispatch.out())) || !dispatch) {
      return nullptr;
    }
    Ref<IHTMLTxtRange> range = Query<IHTMLTxtRange>(dispatch.get());
    if (!range) return nullptr;
    return std::make_unique<Win32HtmlTextRange>(std::move(range));
  }

 private:
  Ref<IHTMLDocument2> document_;
};

class Win32BrowserWindow final : public BrowserWindow {
 public:
  explicit Win32BrowserWindow(Ref<IWebBrowser2> browser) : browser_(std::move(browser)) {}
  Hwnd WindowHandle() override {
    SHANDLE_PTR hwnd = 0;
    return SUCCEEDED(browser_->get_HWND(&hwnd)) ? static_cast<Hwnd>(hwnd) : 0;
  }
  void SetVisible(bool visible) override {
    browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE);
  }

 private:
  Ref<IWebBrowser2> browser_;
};

}  // namespace

std::shared_ptr<HtmlDocument> Win32HtmlPlatform::GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) {
  HWND hwnd = win32::ToHwnd(w);
  if (!::IsWindow(hwnd) || win32::IsHung(hwnd)) return nullptr;
  const UINT message = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
  DWORD_PTR answer = 0;
  if (message == 0 || !win32::SendBounded(hwnd, message, 0, 0, answer, timeoutMs) || answer == 0) {
    return nullptr;
  }
  Ref<IHTMLDocument2> document;
  if (FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), __uuidof(IHTMLDocument2), 0,
                               reinterpret_cast<void**>(document.out()))) ||
      !document) {
    return nullptr;
  }
  return std::make_shared<Win32HtmlDocument>(std::move(document));
}

std::vector<std::shared_ptr<BrowserWindow>> Win32HtmlPlatform::ShellWindows() {
  std::vector<std::shared_ptr<BrowserWindow>> result;
  Ref<IShellWindows> windows;
  if (FAILED(CoCreateInstance(kShellWindowsClass, nullptr, CLSCTX_ALL, __uuidof(IShellWindows),
                              reinterpret_cast<void**>(windows.out()))) ||
      !windows) {
    return result;
  }
  LONG count = 0;
  if (FAILED(windows->get_Count(&count))) return result;
  count = std::min(count, kMaxBrowserWindows);
  for (LONG i = 0; i < count; ++i) {
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    Ref<IDispatch> item;
    if (FAILED(windows->Item(index, item.out())) || !item) continue;
    if (Ref<IWebBrowser2> browser = Query<IWebBrowser2>(item.get())) {
      result.push_back(std::make_shared<Win32BrowserWindow>(std::move(browser)));
    }
  }
  return result;
}

}  // namespace quellon::platform
