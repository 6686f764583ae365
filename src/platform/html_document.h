// The HTML-document port: the page document of a window of the platform's HTML control
// (WM_HTML_GETOBJECT + ObjectFromLresult), its elements and text ranges (IHTMLTxtRange), and
// the shell's collection of browser windows (ShellWindows).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace quellon::platform {

class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  virtual std::u16string TagName() = 0;  // upper case: "TEXTAREA", "INPUT", "P"...
  // getBoundingClientRect(), clientLeft, clientWidth: client coordinates of the document window.
  virtual Rect BoundingClientRect() = 0;
  virtual std::int32_t ClientLeft() = 0;
  virtual std::int32_t ClientWidth() = 0;
};

// IHTMLTxtRange. Units are "character", "word", "sentence", "textedit".
class HtmlTextRange {
 public:
  virtual ~HtmlTextRange() = default;
  virtual std::u16string Text() = 0;
  virtual bool Expand(const std::u16string& unit) = 0;
  // Moves the (collapsed) range by `count` units; returns how many it moved.
  virtual std::int32_t Move(const std::u16string& unit, std::int32_t count) = 0;
  // Collapses the range at the text position under a client point.
  virtual bool MoveToPoint(std::int32_t x, std::int32_t y) = 0;
  // "StartToStart", "StartToEnd", "EndToStart", "EndToEnd": this range's first-named end moves
  // to `source`'s second-named end.
  virtual bool SetEndPoint(const std::u16string& how, const HtmlTextRange& source) = 0;
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  virtual std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) = 0;
  // createRange() of the document's selection (a collapsed range at the caret when nothing is
  // selected); nullptr on failure.
  virtual std::unique_ptr<HtmlTextRange> CreateSelectionRange() = 0;
};

// One browser object of ShellWindows.
class BrowserWindow {
 public:
  virtual ~BrowserWindow() = default;
  virtual Hwnd WindowHandle() = 0;  // the HWND property
  virtual void SetVisible(bool visible) = 0;
};

class HtmlPlatform {
 public:
  virtual ~HtmlPlatform() = default;
  // The document shown in `w` (a window of class "Internet Explorer_Server"); nullptr when the
  // window does not answer within `timeoutMs` or is no document window.
  virtual std::shared_ptr<HtmlDocument> GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) = 0;
  virtual std::vector<std::shared_ptr<BrowserWindow>> ShellWindows() = 0;
};

}  // namespace quellon::platform
