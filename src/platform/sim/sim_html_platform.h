// The web-document port of the simulated desktop: the documents of its web views and the
// shell's collection of browser windows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/html_document.h"

namespace quellon::platform {

class SimDesktop;

class SimHtmlPlatform : public HtmlPlatform {
 public:
  explicit SimHtmlPlatform(SimDesktop& d) : d_(d) {}
  std::shared_ptr<HtmlDocument> GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) override;
  std::vector<std::shared_ptr<BrowserWindow>> ShellWindows() override;

 private:
  SimDesktop& d_;
};

}  // namespace quellon::platform
