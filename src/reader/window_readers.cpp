#include "reader/window_readers.h"

#include "text/text.h"

namespace quellon::reader {
namespace {

constexpr int kMaxDialogChildren = 50;  // the counter may reach 51

}  // namespace

std::u16string WindowClassName(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper) {
  if (hwnd == 0 || !windows.IsWindow(hwnd)) return {};
  std::u16string name = windows.GetClassName(hwnd, 254);
  if (const auto nul = name.find(u'\0'); nul != std::u16string::npos) name.resize(nul);
  return upper ? text::ToUpper(name) : name;
}

std::u16string WindowText(platform::WindowSystem& windows, platform::Hwnd hwnd, bool upper) {
  if (windows.SendMessage(hwnd, platform::STM_GETICON, 0, 0) != 0) return {};
  std::u16string title = windows.GetWindowText(hwnd);
  return upper ? text::ToUpper(title) : title;
}

std::u16string DialogText(platform::WindowSystem& windows, platform::Hwnd hwnd, bool allTexts) {
  std::u16string collected;
  std::int32_t counter = 0;
  bool foundButton = false;
  windows.EnumChildWindows(hwnd, [&](platform::Hwnd w) {
    const std::u16string cls = WindowClassName(windows, w, true);
    const bool visible = windows.IsWindowVisible(w);
    const bool other = visible && !ClassContains(cls, u"PICTUREBOX") &&
                       !ClassContains(cls, u"MSOUNISTAT") && !ClassContains(cls, u"TEXTBOX") &&
                       !ClassContains(cls, u"STATIC") && !ClassContains(cls, u"BUTTON");
    if (!foundButton) foundButton = ClassContains(cls, u"BUTTON");
    if (counter <= kMaxDialogChildren && (!other || allTexts)) {
      ++counter;
      if (visible && !ClassContains(cls, u"PICTUREBOX")) {
        collected += u"\r\n" + WindowText(windows, w, false);
      }
      return true;
    }
    collected.clear();
    return false;
  });
  if (allTexts) return collected;
  return foundButton ? collected : std::u16string();
}

}  // namespace quellon::reader
