// The HTML-document port on MSHTML and the shell's window list. A thin, best-effort mapping:
// Wine ships no HTML control, so this part cannot be exercised by the Wine end-to-end tests.
// The document is obtained with WM_HTML_GETOBJECT sent through SendMessageTimeout (the caller's
// bound) and ObjectFromLresult; the calls on it are cross-process COM calls on this thread, which
// must have COM initialised (Win32Accessibility does that for the main thread).
#pragma once

#include "platform/html_document.h"

namespace quellon::platform {

class Win32HtmlPlatform : public HtmlPlatform {
 public:
  std::shared_ptr<HtmlDocument> GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) override;
  std::vector<std::shared_ptr<BrowserWindow>> ShellWindows() override;
};

}  // namespace quellon::platform
