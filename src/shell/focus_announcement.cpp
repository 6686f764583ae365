#include "shell/focus_announcement.h"

#include "shell/speech_output.h"
#include "text/text.h"

namespace quellon::shell {
namespace {

constexpr std::int32_t kRolePushButton = 43;
constexpr std::int32_t kRoleCheckButton = 44;
constexpr std::int32_t kRoleRadioButton = 45;
constexpr std::uint32_t kStateChecked = 0x10;
constexpr int kTextUnchecked = 53;
constexpr int kTextChecked = 56;
constexpr int kMaxDialogChildren = 50;  // the counter may reach 51

bool Contains(const std::u16string& text, std::u16string_view part) {
  return text.find(part) != std::u16string::npos;
}

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
    const bool other = visible && !Contains(cls, u"PICTUREBOX") && !Contains(cls, u"MSOUNISTAT") &&
                       !Contains(cls, u"TEXTBOX") && !Contains(cls, u"STATIC") &&
                       !Contains(cls, u"BUTTON");
    if (!foundButton) foundButton = Contains(cls, u"BUTTON");
    if (counter <= kMaxDialogChildren && (!other || allTexts)) {
      ++counter;
      if (visible && !Contains(cls, u"PICTUREBOX")) {
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

void BasicFocusAnnouncer::OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd,
                                            std::int32_t idObject, std::int32_t idChild) {
  switch (event) {
    case platform::EVENT_SYSTEM_FOREGROUND:
      record_.ForegroundHwnd = hwnd;
      record_.FocusChanged = true;
      record_.WindowChanged = true;
      break;
    case platform::EVENT_SYSTEM_MENUEND:
    case platform::EVENT_SYSTEM_SWITCHEND:
      record_.FocusChanged = true;
      break;
    case platform::EVENT_OBJECT_FOCUS:
    case platform::EVENT_OBJECT_SELECTION:
      if (!windows_.IsWindowVisible(hwnd)) return;
      record_.FocusClassName = WindowClassName(windows_, hwnd, true);
      record_.FocusHwnd = hwnd;
      record_.FocusChildId = idChild;
      record_.FocusObjectId = idObject;
      record_.FocusChanged = true;
      break;
    default:
      break;
  }
}

void BasicFocusAnnouncer::FocusTick() {
  FocusRecord& r = record_;
  if (!r.FocusChanged) return;
  const platform::AccessibleChild focused =
      access_.ObjectFromEvent(r.FocusHwnd, r.FocusObjectId, r.FocusChildId);
  if (!focused) return;  // the next tick tries again
  r.FocusName.clear();
  r.FocusValue.clear();
  r.FocusRole = 0;
  r.FocusRole = focused.object->Role(focused.childId).value_or(0);
  r.FocusState = focused.object->State(focused.childId).value_or(0);
  r.FocusName = focused.object->Name(focused.childId).value_or(u"");
  r.FocusValue = focused.object->Value(focused.childId).value_or(u"");
  r.FocusClassName = WindowClassName(windows_, r.FocusHwnd, true);

  std::u16string said;
  if (r.WindowChanged) {
    platform::GuiThreadInfo info;
    windows_.GetGUIThreadInfo(0, info);
    r.ActiveWindowText = WindowText(windows_, info.active, false);
    said = r.ActiveWindowText;
    if (r.FocusRole == kRolePushButton) said += u" " + DialogText(windows_, info.active);
    r.WindowChanged = false;
  }
  said += u" " + r.FocusName + u" " + r.FocusValue;
  if ((r.FocusRole == kRoleCheckButton || r.FocusRole == kRoleRadioButton) &&
      (r.FocusState & kStateChecked) != 0) {
    said += u" " + strings_.GetString(kTextChecked);
  }
  output_.PlaySoundCue(access_.RoleText(r.FocusRole));
  said = greeting_ + said;
  if (!said.empty()) output_.Say(said);
  greeting_.clear();
  r.FocusChanged = false;
  r.NavigationRestart = true;
}

void BasicFocusAnnouncer::AnnounceForegroundWindow() {
  platform::GuiThreadInfo info;
  windows_.GetGUIThreadInfo(0, info);
  record_.ActiveWindowText = WindowText(windows_, info.active, false);
  output_.Say(record_.ActiveWindowText + u" " + DialogText(windows_, info.active) + u" " +
              record_.FocusName + u" " + record_.FocusValue);
}

void BasicFocusAnnouncer::AnnounceFocusedObject() {
  output_.Say(access_.RoleText(record_.FocusRole) + u" " + record_.FocusName + u" " +
              record_.FocusValue + u", v okně: " +
              WindowText(windows_, record_.ForegroundHwnd, false));
}

std::u16string BasicFocusAnnouncer::CheckStateText() {
  const platform::AccessiblePtr object =
      access_.ObjectFromWindow(record_.FocusHwnd, record_.FocusObjectId);
  if (!object) return {};
  record_.FocusState = object->State(platform::CHILDID_SELF).value_or(0);
  return strings_.GetString((record_.FocusState & kStateChecked) != 0 ? kTextChecked
                                                                      : kTextUnchecked);
}

}  // namespace quellon::shell
