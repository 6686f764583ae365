// The table of the simulated control kinds, and what they share.
#include "platform/sim/sim_control.h"

#include <string>

#include "platform/sim/sim_desktop.h"
#include "text/text.h"

namespace quellon::platform {

// The kinds, each defined in its own file.
const SimControlKind& SimButtonKind();        // sim_button.cpp
const SimControlKind& SimStaticKind();        // sim_static.cpp
const SimControlKind& SimEditKind();          // sim_edit.cpp
const SimControlKind& SimListBoxKind();       // sim_list_box.cpp
const SimControlKind& SimProgressBarKind();   // sim_progress_bar.cpp
const SimControlKind& SimWebViewKind();       // sim_web_view.cpp
const SimControlKind& SimDirectUIViewKind();  // sim_directui_view.cpp
const SimControlKind& SimPopupMenuKind();     // sim_menu.cpp
const SimControlKind& SimMessageBoxKind();    // sim_message_box.cpp

namespace {

struct Registration {
  std::u16string_view className;  // in capitals
  const SimControlKind& (*kind)();
};

// One line per window class.
constexpr Registration kKinds[] = {
    {u"BUTTON", SimButtonKind},
    {u"STATIC", SimStaticKind},
    {u"EDIT", SimEditKind},
    {u"RICHEDIT20W", SimEditKind},
    {u"LISTBOX", SimListBoxKind},
    {u"MSCTLS_PROGRESS32", SimProgressBarKind},
    {u"INTERNET EXPLORER_SERVER", SimWebViewKind},
    {u"DIRECTUIHWND", SimDirectUIViewKind},
    {u"#32768", SimPopupMenuKind},
    {u"#32770", SimMessageBoxKind},
};

}  // namespace

const SimControlKind* SimControlKindFor(std::u16string_view className) {
  const std::u16string upper = text::ToUpper(className);
  for (const Registration& r : kKinds) {
    if (r.className == upper) return &r.kind();
  }
  return nullptr;
}

void SimControlKind::UpdateCaret(SimDesktop& d) {
  d.UpdateCaret();
}

std::uint16_t& SimControlKind::ProgramDeadKey(SimDesktop& d) {
  return d.appDead_;
}

std::u16string StripMnemonic(const std::u16string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&') {
      if (i + 1 < s.size() && s[i + 1] == u'&') out += u'&';
      if (i + 1 < s.size())
        ++i;
      else
        continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace quellon::platform
