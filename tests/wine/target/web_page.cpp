#include "web_page.h"

#include "framed_view.h"
#include "testing/script_object.h"
#include "view_accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace target {
namespace {

constexpr int kCell = 8;
constexpr int kRow = 16;
constexpr int kAreaCells = 12;

struct Page {
  std::wstring text = L"Dobrý den, vítejte\nDruhý řádek stránky";
  int caret = 0;
};
Page g_page;
FramedView g_window{L"QuellonTargetBrowser", L"Internet Explorer_Server"};
IDispatch* g_document = nullptr;

bool IsWordChar(wchar_t c) {
  return c != L' ' && c != L'\n';
}

int LineStart(int i) {
  while (i > 0 && g_page.text[static_cast<size_t>(i - 1)] != L'\n') --i;
  return i;
}

int IndexAtPoint(int x, int y) {
  const int line = std::max(0, y / kRow);
  const int column = std::max(0, (x + kCell / 2) / kCell);
  size_t index = 0;
  for (int l = 0; l < line; ++l) {
    const size_t nl = g_page.text.find(L'\n', index);
    if (nl == std::wstring::npos) return static_cast<int>(g_page.text.size());
    index = nl + 1;
  }
  size_t end = g_page.text.find(L'\n', index);
  if (end == std::wstring::npos) end = g_page.text.size();
  return static_cast<int>(std::min(index + static_cast<size_t>(column), end));
}

POINT CaretPoint(int i) {
  const int start = LineStart(i);
  const int line =
      static_cast<int>(std::count(g_page.text.begin(), g_page.text.begin() + start, L'\n'));
  return {(i - start) * kCell, line * kRow};
}

using quellon::testing::ScriptObject;

void ReturnInt(VARIANT* r, int n) {
  r->vt = VT_I4;
  r->lVal = n;
}
void ReturnText(VARIANT* r, const std::wstring& s) {
  r->vt = VT_BSTR;
  r->bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}
void ReturnObject(VARIANT* r, IDispatch* object) {
  r->vt = VT_DISPATCH;
  r->pdispVal = object;
}
std::wstring ArgText(const VARIANT& v) {
  return v.vt == VT_BSTR ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}
int ArgInt(const VARIANT& v) {
  VARIANT c;
  VariantInit(&c);
  if (FAILED(VariantChangeType(&c, const_cast<VARIANT*>(&v), 0, VT_I4))) return 0;
  return c.lVal;
}

// The ranges handed out, so that one passed back (setEndPoint) is found again by its pointer:
// across processes it comes back as the same object in this apartment.
std::vector<class Range*> g_ranges;

class Range : public ScriptObject {
 public:
  Range(int start, int end) : start_(start), end_(end) {
    g_ranges.push_back(this);
    Add(L"text", [this](const std::vector<VARIANT>&, VARIANT* r) {
      ReturnText(
          r, g_page.text.substr(static_cast<size_t>(start_), static_cast<size_t>(end_ - start_)));
      return S_OK;
    });
    Add(L"expand", [this](const std::vector<VARIANT>& a, VARIANT* r) {
      const int size = static_cast<int>(g_page.text.size());
      const std::wstring unit = a.empty() ? L"" : ArgText(a[0]);
      if (unit == L"word") {
        while (start_ > 0 && IsWordChar(g_page.text[static_cast<size_t>(start_ - 1)])) --start_;
        while (end_ < size && IsWordChar(g_page.text[static_cast<size_t>(end_)])) ++end_;
        while (end_ < size && g_page.text[static_cast<size_t>(end_)] == L' ') ++end_;
      } else if (unit == L"character") {
        if (end_ == start_ && end_ < size) ++end_;
      } else if (unit == L"textedit") {
        start_ = 0;
        end_ = size;
      }
      r->vt = VT_BOOL;
      r->boolVal = VARIANT_TRUE;
      return S_OK;
    });
    Add(L"move", [this](const std::vector<VARIANT>& a, VARIANT* r) {
      if (a.size() != 2) return DISP_E_BADPARAMCOUNT;
      const int size = static_cast<int>(g_page.text.size());
      const int to = std::clamp(start_ + ArgInt(a[1]), 0, size);
      ReturnInt(r, to - start_);
      start_ = end_ = to;
      return S_OK;
    });
    Add(L"moveToPoint", [this](const std::vector<VARIANT>& a, VARIANT*) {
      if (a.size() != 2) return DISP_E_BADPARAMCOUNT;
      start_ = end_ = IndexAtPoint(ArgInt(a[0]), ArgInt(a[1]));
      return S_OK;
    });
    Add(L"setEndPoint", [this](const std::vector<VARIANT>& a, VARIANT*) {
      if (a.size() != 2 || a[1].vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
      Range* other = nullptr;
      for (Range* range : g_ranges) {
        if (static_cast<IDispatch*>(range) == a[1].pdispVal) other = range;
      }
      if (other == nullptr) return DISP_E_TYPEMISMATCH;
      const std::wstring how = ArgText(a[0]);
      const int at =
          how.size() > 7 && how.substr(how.size() - 7) == L"ToStart" ? other->start_ : other->end_;
      if (how.rfind(L"Start", 0) == 0) {
        start_ = at;
        end_ = std::max(end_, start_);
      } else {
        end_ = at;
        start_ = std::min(start_, end_);
      }
      return S_OK;
    });
  }

 protected:
  ~Range() override { g_ranges.erase(std::find(g_ranges.begin(), g_ranges.end(), this)); }

 private:
  int start_;
  int end_;
};

IDispatch* MakeElement(int x, int y) {
  const bool area = y >= kRow && y < 2 * kRow && x < kAreaCells * kCell;
  const RECT box = area ? RECT{0, kRow, kAreaCells * kCell, 2 * kRow} : RECT{0, 0, 640, kRow};
  auto* element = new ScriptObject();
  element->Add(L"tagName", [area](const std::vector<VARIANT>&, VARIANT* r) {
    ReturnText(r, area ? L"textarea" : L"p");
    return S_OK;
  });
  element->Add(L"getBoundingClientRect", [box](const std::vector<VARIANT>&, VARIANT* r) {
    auto* rect = new ScriptObject();
    rect->Add(L"left", [box](const std::vector<VARIANT>&, VARIANT* v) {
      ReturnInt(v, box.left);
      return S_OK;
    });
    rect->Add(L"top", [box](const std::vector<VARIANT>&, VARIANT* v) {
      ReturnInt(v, box.top);
      return S_OK;
    });
    rect->Add(L"right", [box](const std::vector<VARIANT>&, VARIANT* v) {
      ReturnInt(v, box.right);
      return S_OK;
    });
    rect->Add(L"bottom", [box](const std::vector<VARIANT>&, VARIANT* v) {
      ReturnInt(v, box.bottom);
      return S_OK;
    });
    ReturnObject(r, rect);
    return S_OK;
  });
  element->Add(L"clientLeft", [](const std::vector<VARIANT>&, VARIANT* r) {
    ReturnInt(r, 0);
    return S_OK;
  });
  element->Add(L"clientWidth", [box](const std::vector<VARIANT>&, VARIANT* r) {
    ReturnInt(r, box.right - box.left);
    return S_OK;
  });
  return element;
}

IDispatch* MakeDocument() {
  auto* doc = new ScriptObject();
  doc->Add(L"selection", [](const std::vector<VARIANT>&, VARIANT* r) {
    auto* selection = new ScriptObject();
    selection->Add(L"createRange", [](const std::vector<VARIANT>&, VARIANT* rr) {
      ReturnObject(rr, new Range(g_page.caret, g_page.caret));
      return S_OK;
    });
    ReturnObject(r, selection);
    return S_OK;
  });
  doc->Add(L"elementFromPoint", [](const std::vector<VARIANT>& a, VARIANT* r) {
    if (a.size() != 2) return DISP_E_BADPARAMCOUNT;
    ReturnObject(r, MakeElement(ArgInt(a[0]), ArgInt(a[1])));
    return S_OK;
  });
  return doc;
}

void PlaceCaret(HWND hwnd) {
  const POINT p = CaretPoint(g_page.caret);
  if (GetFocus() == hwnd) SetCaretPos(p.x, p.y);
}

void Key(HWND hwnd, WPARAM vk) {
  const int size = static_cast<int>(g_page.text.size());
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  int c = g_page.caret;
  auto at = [](int i) { return g_page.text[static_cast<size_t>(i)]; };
  if (vk == VK_RIGHT) {
    if (ctrl) {
      while (c < size && IsWordChar(at(c))) ++c;
      while (c < size && !IsWordChar(at(c))) ++c;
    } else if (c < size) {
      ++c;
    }
  } else if (vk == VK_LEFT) {
    if (ctrl) {
      while (c > 0 && !IsWordChar(at(c - 1))) --c;
      while (c > 0 && IsWordChar(at(c - 1))) --c;
    } else if (c > 0) {
      --c;
    }
  } else if (vk == VK_DOWN || vk == VK_UP) {
    const POINT p = CaretPoint(c);
    if (vk == VK_DOWN || p.y > 0) c = IndexAtPoint(p.x, p.y + (vk == VK_DOWN ? kRow : -kRow));
  } else {
    return;
  }
  g_page.caret = c;
  PlaceCaret(hwnd);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  static const UINT getObject = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
  if (msg == getObject) {
    if (!g_document) g_document = MakeDocument();
    return LresultFromObject(__uuidof(IDispatch), wp, g_document);
  }
  switch (msg) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT) {
        IAccessible* inner = nullptr;
        if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&inner))) ||
            !inner) {
          break;
        }
        auto* pane = new ViewAccessible(hwnd, inner);
        const LRESULT r = LresultFromObject(__uuidof(IAccessible), wp, pane);
        pane->Release();
        return r;
      }
      break;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, kRow);
      PlaceCaret(hwnd);
      ShowCaret(hwnd);
      NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      Key(hwnd, wp);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterWebPage(HINSTANCE instance) {
  g_window.Register(instance, ViewProc);
}

HWND ShowWebPage(HINSTANCE instance) {
  return g_window.Show(instance, L"Zkušební stránka", {80, 80, 740, 280}, {640, 160});
}

}  // namespace target
