// A web document of the simulated desktop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/html_document.h"

namespace quellon::platform {

// A web document: plain text laid out in fixed cells (charWidth x lineHeight pixels, one line
// per "\n"-separated line) starting at the window's client origin; the caret is a text index.
// The page moves its caret on the arrow keys (a word with Ctrl, the selection with Shift), and
// Delete and Backspace remove text, as caret browsing and form fields do.
class SimHtmlDocument : public HtmlDocument, public std::enable_shared_from_this<SimHtmlDocument> {
 public:
  struct Element {
    std::u16string tag = u"P";
    Rect rect;  // client coordinates
    std::int32_t clientLeft = 0;
    std::int32_t clientWidth = 0;
    // The element's own editable text (an INPUT's or a TEXTAREA's value) as the text indices
    // [textBegin, textEnd): what expand("textedit") takes inside it. Empty: none.
    std::int32_t textBegin = 0;
    std::int32_t textEnd = 0;
  };
  std::u16string text;
  std::int32_t selStart = 0;  // the anchor of the selection
  std::int32_t selEnd = 0;    // the caret
  std::int32_t charWidth = 8;
  std::int32_t lineHeight = 16;
  std::vector<Element> elements;  // hit by ElementFromPoint, last added first; else a "BODY"
  // How long the page takes to answer WM_HTML_GETOBJECT, in milliseconds; one that takes longer
  // than the caller's bound gives no document (a hung page).
  std::uint32_t answerMs = 0;
  // How many times the document was handed out.
  std::int32_t requests = 0;

  // A key the page gets while its window has the focus.
  void KeyDown(std::uint32_t vk, bool shift, bool ctrl);

  std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override;
  std::int32_t IndexAtPoint(std::int32_t x, std::int32_t y) const;
  Rect CaretRect() const;  // client coordinates of the caret at selEnd
};

}  // namespace quellon::platform
