#include "access/mod_ie.h"

#include <exception>
#include <utility>

#include "text/text.h"

namespace quellon::access {
namespace {

using platform::HtmlElement;
using platform::HtmlTextRange;

// Each step of the readers goes on past a failing one: a page is another program's object and
// may refuse or vanish at any call.
template <typename F>
void Step(F&& step) {
  try {
    std::forward<F>(step)();
  } catch (const std::exception&) {
  }
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The first character of `text` (both halves of a surrogate pair).
std::u16string FirstCharacter(const std::u16string& text) {
  if (text.size() >= 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1])) {
    return text.substr(0, 2);
  }
  return text.substr(0, 1);
}

// `text` without its last character.
std::u16string WithoutLastCharacter(std::u16string text) {
  if (text.empty()) return text;
  const std::size_t n = text.size();
  const bool pair = n >= 2 && IsLowSurrogate(text[n - 1]) && IsHighSurrogate(text[n - 2]);
  text.resize(n - (pair ? 2 : 1));
  return text;
}

// The text between the points a and b of one line (client coordinates of the document window):
// three ranges from the selection, the outer two collapsed at the points, the middle one
// stretched from the first to the second.
std::u16string TextBetweenPoints(platform::HtmlDocument& document, std::int32_t ax, std::int32_t bx,
                                 std::int32_t y) {
  std::unique_ptr<HtmlTextRange> r, a, b;
  Step([&] { r = document.CreateSelectionRange(); });
  Step([&] { a = document.CreateSelectionRange(); });
  Step([&] { b = document.CreateSelectionRange(); });
  Step([&] {
    if (a) a->MoveToPoint(ax, y);
  });
  Step([&] {
    if (b) b->MoveToPoint(bx, y);
  });
  Step([&] {
    if (r && a) r->SetEndPoint(u"StartToStart", *a);
  });
  Step([&] {
    if (r && b) r->SetEndPoint(u"EndToStart", *b);
  });
  std::u16string text;
  Step([&] {
    if (r) text = r->Text();
  });
  return text;
}

// An element's left edge plus its left border: where its text begins.
std::int32_t TextLeft(HtmlElement* element) {
  std::int32_t x = 0;
  Step([&] {
    if (element) x = element->BoundingClientRect().left;
  });
  Step([&] {
    if (element) x += element->ClientLeft();
  });
  return x;
}

}  // namespace

std::shared_ptr<platform::HtmlDocument> modIE::GetHtmlDocument(platform::Hwnd hwnd) {
  try {
    return html_.GetHtmlDocument(hwnd, kDocumentTimeoutMs);
  } catch (const std::exception&) {
    return nullptr;
  }
}

void modIE::ReadWebCaret(std::uint32_t vk, std::uint32_t modifierCode) {
  const std::shared_ptr<platform::HtmlDocument> document = GetHtmlDocument(state_.Focus.FocusHwnd);
  if (!document) return;

  // The element at the caret (asked as the page's own readers do; what it is does not matter).
  platform::GuiThreadInfo info;
  Step([&] {
    if (!windows_.GetGUIThreadInfo(0, info)) return;
    if (auto element = document->ElementFromPoint(info.caretRect.left, info.caretRect.top)) {
      element->TagName();
    }
  });

  std::unique_ptr<HtmlTextRange> range;
  Step([&] { range = document->CreateSelectionRange(); });
  Step([&] {
    if (range) range->Expand(modifierCode == 2 ? u"word" : u"character");
  });
  std::u16string text;
  bool haveText = false;
  Step([&] {
    if (!range) return;
    text = range->Text();
    haveText = true;
  });

  if (vk == platform::VK_DELETE) {
    Step([&] { output_.PlaySoundCue(u"del"); });
    Step([&] { output_.Say(CaretChars_[1]); });
  } else if (vk == platform::VK_BACK) {
    Step([&] { output_.PlaySoundCue(u"del"); });
    Step([&] { output_.Say(CaretChars_[0]); });
  } else if (modifierCode == 6 || modifierCode == 2) {
    Step([&] { output_.Say(text); });
  } else {
    // Shift or Ctrl+Shift: the user is selecting.
    Step([&] { output_.PlaySoundCue(u"select"); });
    Step([&] { output_.Say(WithoutLastCharacter(text)); });
  }

  // What the next Delete or Backspace will remove.
  if (haveText) CaretChars_[1] = FirstCharacter(text);
  Step([&] {
    if (range) range->Move(u"character", -1);
  });
  Step([&] {
    if (range) range->Expand(u"character");
  });
  Step([&] {
    if (range) CaretChars_[0] = range->Text();
  });
}

void modIE::ReadWebLine() {
  const std::shared_ptr<platform::HtmlDocument> document = GetHtmlDocument(state_.Focus.FocusHwnd);
  if (!document) return;

  platform::GuiThreadInfo info;
  Step([&] { windows_.GetGUIThreadInfo(0, info); });
  const platform::Rect& caret = info.caretRect;
  const auto middle =
      static_cast<std::int32_t>(text::RoundHalfEven((caret.bottom - caret.top) / 2.0));
  const std::int32_t y = caret.bottom - middle;

  std::unique_ptr<HtmlElement> element;
  Step([&] { element = document->ElementFromPoint(caret.left, caret.top); });
  std::u16string tag;
  Step([&] {
    if (element) tag = element->TagName();
  });

  if (tag == u"TEXTAREA") {
    // The visual line of the text area: from its left edge to its own width.
    std::int32_t right = 0;
    Step([&] { right = element->BoundingClientRect().left; });
    Step([&] { right += element->ClientWidth(); });
    const std::u16string line = TextBetweenPoints(*document, TextLeft(element.get()), right, y);
    Step([&] { output_.Say(line); });
  } else if (tag == u"INPUT") {
    std::u16string content;
    Step([&] {
      std::unique_ptr<HtmlTextRange> range = document->CreateSelectionRange();
      if (!range) return;
      range->Expand(u"textedit");
      content = range->Text();
    });
    Step([&] { output_.Say(content); });
  } else {
    ReadWebTextLine(*document, info, element.get());
  }
}

void modIE::ReadWebTextLine(platform::HtmlDocument& document, const platform::GuiThreadInfo& info,
                            HtmlElement* element) {
  const platform::Rect& caret = info.caretRect;
  platform::Rect window;
  Step([&] { windows_.GetWindowRect(info.caret, window); });
  const auto middle =
      static_cast<std::int32_t>(text::RoundHalfEven((caret.bottom - caret.top) / 2.0));
  const std::int32_t y = caret.bottom - middle;
  const std::int32_t x1 = TextLeft(element);
  Step([&] { windows_.SetCursorPos(window.left + x1, window.top + y); });
  // From the element's left edge to the window's right edge.
  const std::u16string line = TextBetweenPoints(document, x1, window.right - window.left, y);
  Step([&] { output_.Say(line); });
}

}  // namespace quellon::access
