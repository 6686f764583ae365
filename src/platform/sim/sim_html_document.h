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
class SimHtmlDocument : public HtmlDocument, public std::enable_shared_from_this<SimHtmlDocument> {
 public:
  struct Element {
    std::u16string tag = u"P";
    Rect rect;  // client coordinates
    std::int32_t clientLeft = 0;
    std::int32_t clientWidth = 0;
  };
  std::u16string text;
  std::int32_t selStart = 0;
  std::int32_t selEnd = 0;
  std::int32_t charWidth = 8;
  std::int32_t lineHeight = 16;
  std::vector<Element> elements;  // hit by ElementFromPoint, last added first; else a "BODY"

  std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override;
  std::int32_t IndexAtPoint(std::int32_t x, std::int32_t y) const;
  Rect CaretRect() const;  // client coordinates of the caret at selEnd
};

}  // namespace quellon::platform
