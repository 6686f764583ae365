// The HTML-document port on the HTML control and the shell's window list. The document is
// obtained with WM_HTML_GETOBJECT sent through SendMessageTimeout (the caller's bound) and
// ObjectFromLresult as an IDispatch; the document, its selection, text ranges and elements are
// then called late bound, by member name (win32_dispatch.h), so any document object that answers
// those members works. The calls are cross-process COM calls on this thread, which must have COM
// initialised (Win32Accessibility does that for the main thread).
#pragma once

#include "platform/html_document.h"

namespace quellon::platform {

class Win32HtmlPlatform : public HtmlPlatform {
 public:
  std::shared_ptr<HtmlDocument> GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) override;
  std::vector<std::shared_ptr<BrowserWindow>> ShellWindows() override;
};

}  // namespace quellon::platform
