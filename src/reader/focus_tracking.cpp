#include "reader/focus_tracking.h"

#include "reader/window_readers.h"

namespace quellon::reader {

void FocusTracking::OnAccessibleEvent(std::uint32_t event, platform::Hwnd hwnd,
                                      std::int32_t idObject, std::int32_t idChild) {
  switch (event) {
    case platform::EVENT_SYSTEM_FOREGROUND:
      state_.Focus.ForegroundHwnd = hwnd;
      state_.Focus.FocusChanged = true;
      state_.Focus.WindowChanged = true;
      break;
    case platform::EVENT_SYSTEM_MENUEND:
    case platform::EVENT_SYSTEM_SWITCHEND:
      state_.Focus.FocusChanged = true;
      break;
    case platform::EVENT_OBJECT_FOCUS:
    case platform::EVENT_OBJECT_SELECTION:
      if (!windows_.IsWindowVisible(hwnd)) return;
      state_.Focus.FocusClassName = WindowClassName(windows_, hwnd, true);
      state_.Focus.FocusHwnd = hwnd;
      state_.Focus.FocusChildId = idChild;
      state_.Focus.FocusObjectId = idObject;
      state_.Focus.FocusChanged = true;
      break;
    default:
      break;
  }
}

void FocusTracking::FocusTick() {
  core::FocusRecord& r = state_.Focus;
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
    if (r.FocusRole == platform::ROLE_SYSTEM_PUSHBUTTON)
      said += u" " + DialogText(windows_, info.active);
    r.WindowChanged = false;
  }
  said += u" " + r.FocusName + u" " + r.FocusValue;
  if ((r.FocusRole == platform::ROLE_SYSTEM_CHECKBUTTON ||
       r.FocusRole == platform::ROLE_SYSTEM_RADIOBUTTON) &&
      (r.FocusState & platform::STATE_SYSTEM_CHECKED) != 0) {
    said += u" " + strings_.GetString(strings::StringTable::kTextChecked);
  }
  output_.PlaySoundCue(access_.RoleText(r.FocusRole));
  said = state_.Greeting + said;
  if (!said.empty()) output_.Say(said);
  state_.Greeting.clear();
  r.FocusChanged = false;
  r.NavigationRestart = true;
}

void FocusTracking::AnnounceForegroundWindow() {
  platform::GuiThreadInfo info;
  windows_.GetGUIThreadInfo(0, info);
  state_.Focus.ActiveWindowText = WindowText(windows_, info.active, false);
  output_.Say(state_.Focus.ActiveWindowText + u" " + DialogText(windows_, info.active) + u" " +
              state_.Focus.FocusName + u" " + state_.Focus.FocusValue);
}

void FocusTracking::AnnounceFocusedObject() {
  output_.Say(access_.RoleText(state_.Focus.FocusRole) + u" " + state_.Focus.FocusName + u" " +
              state_.Focus.FocusValue + u", v okně: " +
              WindowText(windows_, state_.Focus.ForegroundHwnd, false));
}

std::u16string FocusTracking::CheckStateText() {
  const platform::AccessiblePtr object =
      access_.ObjectFromWindow(state_.Focus.FocusHwnd, state_.Focus.FocusObjectId);
  if (!object) return {};
  state_.Focus.FocusState = object->State(platform::CHILDID_SELF).value_or(0);
  return strings_.GetString((state_.Focus.FocusState & platform::STATE_SYSTEM_CHECKED) != 0
                                ? strings::StringTable::kTextChecked
                                : strings::StringTable::kTextUnchecked);
}

}  // namespace quellon::reader
