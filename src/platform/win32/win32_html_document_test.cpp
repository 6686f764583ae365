// The Windows HTML-document port against a page of its own: a window of class
// "Internet Explorer_Server" that answers WM_HTML_GETOBJECT with LresultFromObject of a small
// script-style document (plain IDispatch objects that know their members only by name). The
// port must find the document, call its selection, text ranges and elements by name, convert
// what comes back, and give empty answers where the page has no such member.
#include "platform/win32/win32_windows.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_html_document.h"
#include "testing/script_object.h"

namespace quellon::platform {
namespace {

// The shared script object, with the answers the page's members give.
class ScriptObject : public testing::ScriptObject {
 public:
  static void Return(VARIANT* result, std::int32_t n) {
    result->vt = VT_I4;
    result->lVal = n;
  }
  static void Return(VARIANT* result, const std::u16string& s) {
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(win32::Wide(s), static_cast<UINT>(s.size()));
  }
  static void Return(VARIANT* result, IDispatch* object) {  // takes the reference
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
  }
};

// The page: one line of text in 8-pixel cells, a caret, and one element everywhere.
struct PageModel {
  std::u16string text = u"Dobrý den, světe";
  std::int32_t caret = 6;
  std::vector<std::u16string> calls;  // the members called, in order
};

std::u16string ArgText(const VARIANT& v) {
  return v.vt == VT_BSTR ? win32::FromWide(v.bstrVal, SysStringLen(v.bstrVal)) : u"?";
}

class Range;
Range* AsRange(const VARIANT& v);

class Range : public ScriptObject {
 public:
  Range(std::shared_ptr<PageModel> page, std::int32_t start, std::int32_t end)
      : page_(std::move(page)), start_(start), end_(end) {
    Add(L"text", [this](auto&, VARIANT* r) {
      Return(r, page_->text.substr(static_cast<std::size_t>(start_),
                                   static_cast<std::size_t>(end_ - start_)));
      return S_OK;
    });
    Add(L"expand", [this](const std::vector<VARIANT>& a, VARIANT* r) {
      page_->calls.push_back(u"expand " + ArgText(a.at(0)));
      const auto size = static_cast<std::int32_t>(page_->text.size());
      if (ArgText(a.at(0)) == u"word") {
        while (start_ > 0 && page_->text[static_cast<std::size_t>(start_ - 1)] != u' ') --start_;
        while (end_ < size && page_->text[static_cast<std::size_t>(end_)] != u' ') ++end_;
      } else if (end_ == start_ && end_ < size) {
        ++end_;
      }
      r->vt = VT_BOOL;
      r->boolVal = VARIANT_TRUE;
      return S_OK;
    });
    Add(L"move", [this](const std::vector<VARIANT>& a, VARIANT* r) {
      page_->calls.push_back(u"move " + ArgText(a.at(0)));
      const std::int32_t to = std::max<std::int32_t>(0, start_ + a.at(1).lVal);
      Return(r, to - start_);
      start_ = end_ = to;
      return S_OK;
    });
    Add(L"moveToPoint", [this](const std::vector<VARIANT>& a, VARIANT*) {
      if (a.size() != 2 || a[0].vt != VT_I4 || a[1].vt != VT_I4) return DISP_E_TYPEMISMATCH;
      start_ = end_ =
          std::min<std::int32_t>(static_cast<std::int32_t>(page_->text.size()), a[0].lVal / 8);
      return S_OK;
    });
    Add(L"setEndPoint", [this](const std::vector<VARIANT>& a, VARIANT*) {
      const Range* other = a.size() == 2 ? AsRange(a[1]) : nullptr;
      if (other == nullptr) return DISP_E_TYPEMISMATCH;
      const std::u16string how = ArgText(a[0]);
      const std::int32_t at = how.ends_with(u"ToStart") ? other->start_ : other->end_;
      if (how.starts_with(u"Start")) {
        start_ = at;
      } else {
        end_ = at;
      }
      return S_OK;
    });
  }

 private:
  std::shared_ptr<PageModel> page_;
  std::int32_t start_;
  std::int32_t end_;
};

Range* AsRange(const VARIANT& v) {
  if (v.vt != VT_DISPATCH) return nullptr;
  return dynamic_cast<Range*>(static_cast<ScriptObject*>(v.pdispVal));
}

ScriptObject* MakeRect() {
  auto* rect = new ScriptObject();
  // Newer pages give fractional pixels.
  rect->Add(L"left", [](auto&, VARIANT* r) {
    r->vt = VT_R4;
    r->fltVal = 16.25f;
    return S_OK;
  });
  rect->Add(L"top", [](auto&, VARIANT* r) {
    ScriptObject::Return(r, 20);
    return S_OK;
  });
  rect->Add(L"right", [](auto&, VARIANT* r) {
    ScriptObject::Return(r, 216);
    return S_OK;
  });
  rect->Add(L"bottom", [](auto&, VARIANT* r) {
    ScriptObject::Return(r, 60);
    return S_OK;
  });
  return rect;
}

ScriptObject* MakeDocument(std::shared_ptr<PageModel> page) {
  auto* doc = new ScriptObject();
  doc->Add(L"selection", [page](auto&, VARIANT* r) {
    auto* selection = new ScriptObject();
    selection->Add(L"createRange", [page](auto&, VARIANT* rr) {
      ScriptObject::Return(rr, new Range(page, page->caret, page->caret));
      return S_OK;
    });
    ScriptObject::Return(r, selection);
    return S_OK;
  });
  doc->Add(L"elementFromPoint", [page](const std::vector<VARIANT>& a, VARIANT* r) {
    page->calls.push_back(u"elementFromPoint " +
                          std::u16string(1, static_cast<char16_t>(u'0' + a.at(0).lVal % 10)));
    auto* element = new ScriptObject();
    element->Add(L"tagName", [](auto&, VARIANT* rr) {
      ScriptObject::Return(rr, std::u16string(u"textarea"));
      return S_OK;
    });
    element->Add(L"getBoundingClientRect", [](auto&, VARIANT* rr) {
      ScriptObject::Return(rr, MakeRect());
      return S_OK;
    });
    element->Add(L"clientWidth", [](auto&, VARIANT* rr) {
      ScriptObject::Return(rr, 180);
      return S_OK;
    });
    // No clientLeft: a page that lacks a member.
    ScriptObject::Return(r, element);
    return S_OK;
  });
  return doc;
}

// The page's window; it answers WM_HTML_GETOBJECT while `document` is set.
struct PageWindow {
  static inline IDispatch* document = nullptr;

  static LRESULT CALLBACK Proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RegisterWindowMessageW(L"WM_HTML_GETOBJECT")) {
      return document != nullptr ? LresultFromObject(__uuidof(IDispatch), wParam, document) : 0;
    }
    return DefWindowProcW(w, message, wParam, lParam);
  }

  PageWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Internet Explorer_Server";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"Internet Explorer_Server", L"", 0, 0, 0, 100, 100, HWND_MESSAGE,
                           nullptr, wc.hInstance, nullptr);
  }
  ~PageWindow() { DestroyWindow(hwnd); }
  HWND hwnd = nullptr;
};

struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

TEST(Win32HtmlDocumentTest, TheDocumentIsCalledByMemberName) {
  ComScope com;
  auto page = std::make_shared<PageModel>();
  PageWindow window;
  ASSERT_NE(window.hwnd, nullptr);
  IDispatch* doc = MakeDocument(page);
  PageWindow::document = doc;

  Win32HtmlPlatform html;
  std::shared_ptr<HtmlDocument> document = html.GetHtmlDocument(win32::FromHwnd(window.hwnd), 1000);
  ASSERT_NE(document, nullptr);

  // The word at the caret, then the character before it.
  std::unique_ptr<HtmlTextRange> range = document->CreateSelectionRange();
  ASSERT_NE(range, nullptr);
  EXPECT_TRUE(range->Expand(u"word"));
  EXPECT_EQ(range->Text(), u"den,");
  EXPECT_EQ(range->Move(u"character", -1), -1);
  EXPECT_TRUE(range->Expand(u"character"));
  EXPECT_EQ(range->Text(), u" ");

  // A stretch between two points: the range of one call handed to another.
  std::unique_ptr<HtmlTextRange> r = document->CreateSelectionRange();
  std::unique_ptr<HtmlTextRange> a = document->CreateSelectionRange();
  std::unique_ptr<HtmlTextRange> b = document->CreateSelectionRange();
  EXPECT_TRUE(a->MoveToPoint(0, 5));
  EXPECT_TRUE(b->MoveToPoint(80, 5));
  EXPECT_TRUE(r->SetEndPoint(u"StartToStart", *a));
  EXPECT_TRUE(r->SetEndPoint(u"EndToStart", *b));
  EXPECT_EQ(r->Text(), u"Dobrý den,");

  // The element: its tag in capitals, its rectangle rounded, a missing member is 0.
  std::unique_ptr<HtmlElement> element = document->ElementFromPoint(3, 4);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->TagName(), u"TEXTAREA");
  EXPECT_EQ(element->BoundingClientRect(), (Rect{16, 20, 216, 60}));
  EXPECT_EQ(element->ClientWidth(), 180);
  EXPECT_EQ(element->ClientLeft(), 0);
  // A unit the page does not know is passed on as it is.
  EXPECT_TRUE(range->Expand(u"sentence"));
  EXPECT_EQ(page->calls,
            (std::vector<std::u16string>{u"expand word", u"move character", u"expand character",
                                         u"elementFromPoint 3", u"expand sentence"}));

  PageWindow::document = nullptr;
  doc->Release();
}

TEST(Win32HtmlDocumentTest, AWindowThatGivesNoDocument) {
  ComScope com;
  PageWindow window;
  PageWindow::document = nullptr;
  Win32HtmlPlatform html;
  EXPECT_EQ(html.GetHtmlDocument(win32::FromHwnd(window.hwnd), 1000), nullptr);
  EXPECT_EQ(html.GetHtmlDocument(0, 1000), nullptr);
}

}  // namespace
}  // namespace quellon::platform
