// Web views (class "Internet Explorer_Server"): a window showing a SimHtmlDocument.
#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_html_document.h"

namespace quellon::platform {
namespace {

class WebView : public SimControlKind {
 public:
  bool Describe(SimDesktop&, SimWindow&, SimAccessible& o, std::uint32_t& state) const override {
    o.props.role = ROLE_SYSTEM_PANE;
    state |= STATE_SYSTEM_FOCUSABLE;
    return true;
  }

  bool TabStop(const SimWindow&) const override { return true; }

  bool Caret(const SimWindow& w, Rect& rect) const override {
    if (!w.document) return false;
    rect = w.document->CaretRect();
    return true;
  }

  void Key(SimDesktop& d, SimWindow& w, std::uint32_t vk, bool up) const override {
    if (!w.document || up) return;
    w.document->KeyDown(vk, d.Keys().GetKeyState(VK_SHIFT) < 0,
                        d.Keys().GetKeyState(VK_CONTROL) < 0);
    UpdateCaret(d);
  }
};

}  // namespace

const SimControlKind& SimWebViewKind() {
  static const WebView kind;
  return kind;
}

Hwnd SimDesktop::AddWebView(Hwnd parent, std::shared_ptr<SimHtmlDocument> document) {
  const Hwnd h = AddChild(parent, u"Internet Explorer_Server", u"");
  Find(h)->document = std::move(document);
  return h;
}

}  // namespace quellon::platform
