// The web documents of the simulated desktop: elements, text ranges and the caret.
#include "platform/sim/sim_html_document.h"

#include <algorithm>

namespace quellon::platform {

namespace {

bool IsWordChar(char16_t c) {
  return c != u' ' && c != u'\n' && c != u'\t';
}

class SimElement : public HtmlElement {
 public:
  explicit SimElement(SimHtmlDocument::Element e) : e_(std::move(e)) {}
  std::u16string TagName() override { return e_.tag; }
  Rect BoundingClientRect() override { return e_.rect; }
  std::int32_t ClientLeft() override { return e_.clientLeft; }
  std::int32_t ClientWidth() override { return e_.clientWidth; }

 private:
  SimHtmlDocument::Element e_;
};

class SimTextRange : public HtmlTextRange {
 public:
  SimTextRange(std::shared_ptr<SimHtmlDocument> doc, std::int32_t start, std::int32_t end)
      : doc_(std::move(doc)), start_(start), end_(end) {}
  std::int32_t Start() const { return start_; }
  std::int32_t End() const { return end_; }

  std::u16string Text() override {
    return doc_->text.substr(static_cast<std::size_t>(start_),
                             static_cast<std::size_t>(end_ - start_));
  }
  bool Expand(const std::u16string& unit) override {
    const auto size = static_cast<std::int32_t>(doc_->text.size());
    if (unit == u"character") {
      if (end_ == start_ && end_ < size) ++end_;
      return true;
    }
    if (unit == u"word") {
      // A word with the blanks that follow it.
      while (start_ > 0 && IsWordChar(doc_->text[static_cast<std::size_t>(start_ - 1)])) --start_;
      while (end_ < size && IsWordChar(doc_->text[static_cast<std::size_t>(end_)])) ++end_;
      while (end_ < size && doc_->text[static_cast<std::size_t>(end_)] == u' ') ++end_;
      return true;
    }
    if (unit == u"textedit") {
      // Inside a form field its own text, elsewhere the whole page.
      const std::int32_t at = start_;
      start_ = 0;
      end_ = size;
      for (auto it = doc_->elements.rbegin(); it != doc_->elements.rend(); ++it) {
        if (it->textBegin < it->textEnd && it->textBegin <= at && at <= it->textEnd) {
          start_ = std::clamp(it->textBegin, 0, size);
          end_ = std::clamp(it->textEnd, start_, size);
          break;
        }
      }
      return true;
    }
    return false;
  }
  std::int32_t Move(const std::u16string& unit, std::int32_t count) override {
    if (unit != u"character") return 0;
    const auto size = static_cast<std::int32_t>(doc_->text.size());
    const std::int32_t to = std::clamp(start_ + count, 0, size);
    const std::int32_t moved = to - start_;
    start_ = end_ = to;
    return moved;
  }
  bool MoveToPoint(std::int32_t x, std::int32_t y) override {
    start_ = end_ = doc_->IndexAtPoint(x, y);
    return true;
  }
  bool SetEndPoint(const std::u16string& how, const HtmlTextRange& source) override {
    const auto* other = dynamic_cast<const SimTextRange*>(&source);
    if (!other) return false;
    const std::int32_t from = how.ends_with(u"ToStart") ? other->start_ : other->end_;
    if (how.starts_with(u"Start")) {
      start_ = from;
      end_ = std::max(end_, start_);
    } else {
      end_ = from;
      start_ = std::min(start_, end_);
    }
    return true;
  }

 private:
  std::shared_ptr<SimHtmlDocument> doc_;
  std::int32_t start_;
  std::int32_t end_;
};

}  // namespace

std::unique_ptr<HtmlElement> SimHtmlDocument::ElementFromPoint(std::int32_t x, std::int32_t y) {
  for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
    if (it->rect.Contains({x, y})) return std::make_unique<SimElement>(*it);
  }
  Element body;
  body.tag = u"BODY";
  return std::make_unique<SimElement>(body);
}

std::unique_ptr<HtmlTextRange> SimHtmlDocument::CreateSelectionRange() {
  return std::make_unique<SimTextRange>(shared_from_this(), std::min(selStart, selEnd),
                                        std::max(selStart, selEnd));
}

std::int32_t SimHtmlDocument::IndexAtPoint(std::int32_t x, std::int32_t y) const {
  const std::int32_t line = std::max(0, y / std::max(1, lineHeight));
  const std::int32_t column = std::max(0, (x + charWidth / 2) / std::max(1, charWidth));
  std::int32_t index = 0;
  for (std::int32_t l = 0; l < line; ++l) {
    const auto nl = text.find(u'\n', static_cast<std::size_t>(index));
    if (nl == std::u16string::npos) return static_cast<std::int32_t>(text.size());
    index = static_cast<std::int32_t>(nl) + 1;
  }
  auto end = text.find(u'\n', static_cast<std::size_t>(index));
  if (end == std::u16string::npos) end = text.size();
  return std::min(index + column, static_cast<std::int32_t>(end));
}

void SimHtmlDocument::KeyDown(std::uint32_t vk, bool shift, bool ctrl) {
  const auto size = static_cast<std::int32_t>(text.size());
  auto at = [&](std::int32_t i) { return text[static_cast<std::size_t>(i)]; };
  selStart = std::clamp(selStart, 0, size);
  selEnd = std::clamp(selEnd, 0, size);
  std::int32_t caret = selEnd;
  switch (vk) {
    case VK_LEFT:
      if (ctrl) {
        while (caret > 0 && !IsWordChar(at(caret - 1))) --caret;
        while (caret > 0 && IsWordChar(at(caret - 1))) --caret;
      } else if (caret > 0) {
        --caret;
      }
      break;
    case VK_RIGHT:
      if (ctrl) {
        while (caret < size && IsWordChar(at(caret))) ++caret;
        while (caret < size && !IsWordChar(at(caret))) ++caret;
      } else if (caret < size) {
        ++caret;
      }
      break;
    case VK_UP:
    case VK_DOWN: {
      const Rect r = CaretRect();
      caret = IndexAtPoint(r.left, r.top + (vk == VK_UP ? -lineHeight : lineHeight));
      if (vk == VK_UP && r.top == 0) caret = selEnd;
      break;
    }
    case VK_DELETE:
    case VK_BACK: {
      std::int32_t from = std::min(selStart, selEnd);
      std::int32_t to = std::max(selStart, selEnd);
      if (from == to) {
        if (vk == VK_DELETE && to < size) ++to;
        if (vk == VK_BACK && from > 0) --from;
      }
      text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
      for (Element& e : elements) {
        if (e.textBegin >= to) e.textBegin -= to - from;
        if (e.textEnd >= to) e.textEnd -= to - from;
      }
      selStart = selEnd = from;
      return;
    }
    default:
      return;
  }
  selEnd = caret;
  if (!shift) selStart = caret;
}

Rect SimHtmlDocument::CaretRect() const {
  const auto at = static_cast<std::size_t>(
      std::clamp<std::int32_t>(selEnd, 0, static_cast<std::int32_t>(text.size())));
  const auto line = static_cast<std::int32_t>(
      std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), u'\n'));
  const auto lineStart = text.rfind(u'\n', at == 0 ? std::u16string::npos : at - 1);
  const auto column = static_cast<std::int32_t>(
      lineStart == std::u16string::npos || at == 0 ? at : at - lineStart - 1);
  return {column * charWidth, line * lineHeight, column * charWidth + 1, (line + 1) * lineHeight};
}

}  // namespace quellon::platform
