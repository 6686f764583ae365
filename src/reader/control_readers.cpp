#include "reader/control_readers.h"

#include "reader/window_readers.h"
#include "text/text.h"

namespace quellon::reader {
namespace {

std::u16string WordOrSpaces(std::u16string word) {
  if (word.empty()) return std::u16string(kWordBufferLength, u' ');
  if (word.size() > kWordBufferLength) word.resize(kWordBufferLength);
  return word;
}

}  // namespace

std::u16string RoleText(platform::Accessibility& access, std::int32_t role) {
  return WordOrSpaces(access.RoleText(role));
}

std::u16string StateText(platform::Accessibility& access, std::uint32_t state) {
  return WordOrSpaces(access.StateText(state));
}

std::u16string ObjectAtPoint(platform::Accessibility& access, platform::Point point,
                             bool nameOnly) {
  const platform::AccessibleChild found = access.ObjectFromPoint(point.x, point.y);
  if (!found) return {};
  platform::AccessibleObject& object = *found.object;
  const std::int32_t child = found.childId;
  const std::u16string name = object.Name(child).value_or(u"");
  if (nameOnly) return name;

  std::u16string value = object.Value(child).value_or(u"");
  if (text::TrimSpaces(value) == text::TrimSpaces(name)) value.clear();
  std::int32_t role = object.Role(child).value_or(0);
  std::u16string roleWord;
  if (role != platform::ROLE_SYSTEM_TEXT && role != platform::ROLE_SYSTEM_STATICTEXT) {
    roleWord = u"(" + RoleText(access, role) + u")";
  }
  const std::uint32_t state = object.State(child).value_or(0);
  if ((state & platform::STATE_SYSTEM_LINKED) != 0) {
    roleWord = u"(" + RoleText(access, platform::ROLE_SYSTEM_LINK) + u")";
    role = platform::ROLE_SYSTEM_LINK;
  }
  if (role == platform::ROLE_SYSTEM_LINK) value.clear();
  if ((role == platform::ROLE_SYSTEM_RADIOBUTTON || role == platform::ROLE_SYSTEM_CHECKBUTTON) &&
      (state & platform::STATE_SYSTEM_CHECKED) != 0) {
    roleWord += u" " + StateText(access, state);
  }

  std::u16string result = name;
  if (!value.empty()) result = result.empty() ? value : result + u" " + value;
  return result.empty() ? roleWord : result + u" " + roleWord;
}

std::u16string ListViewHeaderText(platform::Accessibility& access, platform::WindowSystem& windows,
                                  platform::Hwnd focusHwnd) {
  platform::Rect rect;
  if (!windows.GetWindowRect(focusHwnd, rect)) return {};
  const platform::AccessibleChild found = access.ObjectFromPoint(rect.left + 2, rect.top + 2);
  if (!found) return {};
  return found.object->Name(found.childId).value_or(u"") + u" " +
         found.object->Value(found.childId).value_or(u"");
}

void FixFocus(platform::WindowSystem& windows, core::FocusRecord& focus) {
  platform::GuiThreadInfo info;
  windows.GetGUIThreadInfo(0, info);
  focus.FocusHwnd = info.focus;
  focus.FocusClassName = WindowClassName(windows, focus.FocusHwnd, true);
}

void TakeCaretWindow(platform::WindowSystem& windows, core::FocusRecord& focus) {
  platform::GuiThreadInfo info;
  windows.GetGUIThreadInfo(0, info);
  focus.FocusHwnd = info.caret;
}

}  // namespace quellon::reader
