#include "platform/win32/win32_windows.h"

#include <exdisp.h>
#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "platform/win32/win32_dispatch.h"
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

// Longest text taken from a page in one answer (a page may hand out a whole book).
constexpr std::size_t kMaxPageText = 65535;

using win32::DispatchObject;
using win32::Variant;

// An element of the page: tagName, getBoundingClientRect(), clientLeft, clientWidth.
class Win32HtmlElement final : public HtmlElement {
 public:
  explicit Win32HtmlElement(DispatchObject element) : element_(std::move(element)) {}
  std::u16string TagName() override {
    std::u16string s = element_.TextProperty(L"tagName", kMaxPageText).value_or(u"");
    for (char16_t& c : s) {
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return s;
  }
  Rect BoundingClientRect() override {
    Rect r;
    const DispatchObject rect = element_.CallForObject(L"getBoundingClientRect", {});
    if (!rect) return r;
    r.left = rect.IntProperty(L"left").value_or(0);
    r.top = rect.IntProperty(L"top").value_or(0);
    r.right = rect.IntProperty(L"right").value_or(0);
    r.bottom = rect.IntProperty(L"bottom").value_or(0);
    return r;
  }
  std::int32_t ClientLeft() override { return element_.IntProperty(L"clientLeft").value_or(0); }
  std::int32_t ClientWidth() override { return element_.IntProperty(L"clientWidth").value_or(0); }

 private:
  DispatchObject element_;
};

// A text range of the page: text, expand, move, moveToPoint, setEndPoint.
class Win32HtmlTextRange final : public HtmlTextRange {
 public:
  explicit Win32HtmlTextRange(DispatchObject range) : range_(std::move(range)) {}
  const DispatchObject& Object() const { return range_; }

  std::u16string Text() override {
    return range_.TextProperty(L"text", kMaxPageText).value_or(u"");
  }
  bool Expand(const std::u16string& unit) override {
    const Variant u(unit);
    Variant result;
    return range_.Call(L"expand", {&u}, &result) && result.ToBool();
  }
  std::int32_t Move(const std::u16string& unit, std::int32_t count) override {
    const Variant u(unit);
    const Variant n(count);
    Variant result;
    return range_.Call(L"move", {&u, &n}, &result) ? result.ToInt().value_or(0) : 0;
  }
  bool MoveToPoint(std::int32_t x, std::int32_t y) override {
    const Variant vx(x);
    const Variant vy(y);
    return range_.Call(L"moveToPoint", {&vx, &vy}, nullptr);
  }
  bool SetEndPoint(const std::u16string& how, const HtmlTextRange& source) override {
    const auto* other = dynamic_cast<const Win32HtmlTextRange*>(&source);
    if (other == nullptr || !other->Object()) return false;
    const Variant h(how);
    const Variant r(other->Object());
    return range_.Call(L"setEndPoint", {&h, &r}, nullptr);
  }

 private:
  DispatchObject range_;
};

// The page's document: elementFromPoint, and createRange of its selection.
class Win32HtmlDocument final : public HtmlDocument {
 public:
  explicit Win32HtmlDocument(DispatchObject document) : document_(std::move(document)) {}
  std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) override {
    const Variant vx(x);
    const Variant vy(y);
    DispatchObject element = document_.CallForObject(L"elementFromPoint", {&vx, &vy});
    if (!element) return nullptr;
    return std::make_unique<Win32HtmlElement>(std::move(element));
  }
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override {
    const DispatchObject selection = document_.ObjectProperty(L"selection");
    DispatchObject range = selection.CallForObject(L"createRange", {});
    if (!range) return nullptr;
    return std::make_unique<Win32HtmlTextRange>(std::move(range));
  }

 private:
  DispatchObject document_;
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
  IDispatch* document = nullptr;
  if (FAILED(ObjectFromLresult(static_cast<LRESULT>(answer), __uuidof(IDispatch), 0,
                               reinterpret_cast<void**>(&document))) ||
      document == nullptr) {
    return nullptr;
  }
  return std::make_shared<Win32HtmlDocument>(DispatchObject(document));
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
