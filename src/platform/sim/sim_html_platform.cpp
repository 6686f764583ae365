// The web-document port of the simulated desktop.
#include "platform/sim/sim_html_platform.h"

#include <algorithm>

#include "platform/sim/sim_desktop.h"

namespace quellon::platform {

std::shared_ptr<HtmlDocument> SimHtmlPlatform::GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) {
  SimWindow* win = d_.Find(w);
  if (!win || !win->document) return nullptr;
  // The bounded send waits for the page's answer, or for the bound when it takes longer.
  const std::uint32_t waited = std::min(win->document->answerMs, timeoutMs);
  d_.loop_.Spend(static_cast<std::int64_t>(waited) * 1000);
  if (win->document->answerMs > timeoutMs) return nullptr;
  ++win->document->requests;
  return win->document;
}

std::vector<std::shared_ptr<BrowserWindow>> SimHtmlPlatform::ShellWindows() {
  class Browser : public BrowserWindow {
   public:
    Browser(SimDesktop& d, Hwnd w) : d_(d), w_(w) {}
    Hwnd WindowHandle() override { return w_; }
    void SetVisible(bool visible) override { d_.SetVisible(w_, visible); }

   private:
    SimDesktop& d_;
    Hwnd w_;
  };
  std::vector<std::shared_ptr<BrowserWindow>> out;
  // Every top-level window that holds a web view is a browser of the shell's collection.
  for (Hwnd top : d_.topLevel_) {
    bool holds = false;
    d_.windows_.EnumChildWindows(top, [&](Hwnd h) {
      holds = holds || d_.Find(h)->document != nullptr;
      return !holds;
    });
    if (holds) out.push_back(std::make_shared<Browser>(d_, top));
  }
  return out;
}

}  // namespace quellon::platform
