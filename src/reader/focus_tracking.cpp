#include "reader/focus_tracking.h"

#include <cstdint>

#include "core/synthetic_input.h"
#include "reader/control_readers.h"
#include "reader/guarded.h"
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
    case platform::EVENT_OBJECT_VALUECHANGE:
      progress_.OnValueChange(hwnd, idObject, idChild);
      return;
    default:
      return;
  }
  if (parts_.focusChanged) parts_.focusChanged();
}

namespace {

// Words the UI table has no number for: the same in both languages.
constexpr char16_t kNotSelected[] = u"nevybráno";
constexpr char16_t kInWindow[] = u", v okně: ";

}  // namespace

void FocusTracking::FocusTick() {
  core::FocusRecord& r = state_.Focus;
  if (!r.FocusChanged) return;
  // The flags are taken now: the calls below wait on other programs, and an event recorded
  // meanwhile (a focus that moved on while this one was read) sets them again for the next tick
  // instead of being wiped when this one ends.
  const bool windowChanged = r.WindowChanged;
  r.FocusChanged = false;
  r.WindowChanged = false;
  const platform::AccessibleChild focused =
      access_.ObjectFromEvent(r.FocusHwnd, r.FocusObjectId, r.FocusChildId);
  auto retry = [&] {
    r.FocusChanged = true;
    r.WindowChanged = r.WindowChanged || windowChanged;
  };
  if (!focused) {  // the next tick tries again
    retry();
    return;
  }
  try {
    Announce(focused, windowChanged);
  } catch (...) {
    retry();  // a tick that fails is run again by the next one
    throw;
  }
}

bool FocusTracking::Superseded(bool windowChanged) {
  core::FocusRecord& r = state_.Focus;
  if (!r.FocusChanged || superseded_ >= kMaxSuperseded) return false;
  ++superseded_;
  r.WindowChanged = r.WindowChanged || windowChanged;
  return true;
}

void FocusTracking::Announce(const platform::AccessibleChild& focused, bool windowChanged) {
  core::FocusRecord& r = state_.Focus;
  r.FocusName.clear();
  r.FocusValue.clear();
  r.FocusRole = 0;
  Guarded([&] { r.FocusRole = focused.object->Role(focused.childId).value_or(0); });
  Guarded([&] { r.FocusState = focused.object->State(focused.childId).value_or(0); });
  Guarded([&] { r.FocusName = focused.object->Name(focused.childId).value_or(u""); });
  Guarded([&] { r.FocusValue = focused.object->Value(focused.childId).value_or(u""); });
  Guarded([&] { r.FocusClassName = WindowClassName(windows_, r.FocusHwnd, true); });

  // An object that gives no role: the object library's reading of it.
  if (r.FocusRole == 0) {
    Guarded([&] {
      if (parts_.objects.SaveObject(focused.object, focused.childId) != 1) return;
      std::int32_t role = 0;
      std::uint32_t state = 0;
      std::u16string name, value;
      parts_.objects.GetObjectProp(role, state, name, kLibraryBuffer, value, kLibraryBuffer);
      r.FocusRole = role;
      r.FocusState = state;
      if (!name.empty()) r.FocusName = name;
      if (!value.empty()) r.FocusValue = value;
    });
  }

  std::u16string said;
  if (windowChanged) {
    Guarded([&] {
      platform::GuiThreadInfo info;
      windows_.GetGUIThreadInfo(0, info);
      // No active window at this moment (Wine, while a dialog becomes the foreground window):
      // the window the foreground event named is the one that changed.
      const platform::Hwnd active = info.active != 0 ? info.active : r.ForegroundHwnd;
      r.ActiveWindowText = WindowText(windows_, active, false);
      said = r.ActiveWindowText;
      if (r.FocusRole == platform::ROLE_SYSTEM_PUSHBUTTON) {
        said += u" " + DialogText(windows_, active);
      }
    });
  }
  said += u" " + r.FocusName + u" " + r.FocusValue;

  if (ClassContains(r.FocusClassName, u"INTERNET EXPLORER_SERVER") &&
      (r.FocusRole == platform::ROLE_SYSTEM_TEXT || r.FocusRole == platform::ROLE_SYSTEM_PANE) &&
      parts_.hookBrowser) {
    Guarded([&] { parts_.hookBrowser(r.ForegroundHwnd); });
  }

  // Before the role rules, which change the focus record (FixFocus, TakeCaretWindow).
  if (Superseded(windowChanged)) return;
  superseded_ = 0;
  Guarded([&] { ApplyRoleRules(said); });

  Guarded([&] { output_.PlaySoundCue(RoleText(access_, r.FocusRole)); });
  said = state_.Greeting + said;
  if (!said.empty()) output_.Say(said);
  state_.Greeting.clear();
  r.NavigationRestart = true;
  state_.FallbackDeadKey = 0;
  FrameFocused(focused);
}

void FocusTracking::FrameFocused(const platform::AccessibleChild& focused) {
  aids::FrameFollower* frame = parts_.frame;
  if (frame == nullptr || !frame->Active() || state_.ListMode) return;
  std::optional<platform::Rect> place;
  // An object that has gone (or throws) has no place: the frame goes rather than stay round
  // the previous one.
  Guarded([&] { place = focused.object->Location(focused.childId); });
  frame->Follow(place);
}

void FocusTracking::ApplyRoleRules(std::u16string& said) {
  core::FocusRecord& r = state_.Focus;
  auto append = [&](int text) { said += u" " + strings_.GetString(text); };
  const std::u16string& cls = r.FocusClassName;
  switch (r.FocusRole) {
    case platform::ROLE_SYSTEM_MENUBAR:
    case platform::ROLE_SYSTEM_APPLICATION:
      // The document windows of the system's editors answer as menu bars or applications: they
      // are read as the text they are, at their caret.
      if (ClassContains(cls, u"WORDPADCLASS")) {
        r.FocusRole = platform::ROLE_SYSTEM_TEXT;
        TakeCaretWindow(windows_, r);
      }
      if (ClassContains(cls, u"NOTEPAD")) {
        r.FocusRole = platform::ROLE_SYSTEM_TEXT;
        TakeCaretWindow(windows_, r);
      }
      break;
    case platform::ROLE_SYSTEM_CLIENT:
      FixFocus(windows_, r);
      break;
    case platform::ROLE_SYSTEM_MENUPOPUP:
    case platform::ROLE_SYSTEM_MENUITEM: {
      const std::int32_t menuChildren = parts_.events.GetActiveObjectChildren();
      if ((r.FocusState & platform::STATE_SYSTEM_UNAVAILABLE) != 0) {
        append(strings::StringTable::kTextUnavailable);
      }
      if ((r.FocusState & platform::STATE_SYSTEM_CHECKED) != 0) {
        append(strings::StringTable::kTextChecked);
      }
      if (menuChildren >= 1) append(strings::StringTable::kTextExpandable);
      break;
    }
    case platform::ROLE_SYSTEM_LINK:
      if (!r.FocusName.empty()) {
        said = r.FocusName;
      } else {
        std::int32_t left = 0, top = 0, width = 0, height = 0;
        parts_.events.GetActiveObjectLocation(left, top, width, height);
        said = ObjectAtPoint(access_, {left + 1, top + 1}, true);
        if (said.empty()) said = r.FocusValue;
      }
      break;
    case platform::ROLE_SYSTEM_LIST:
      if (ClassContains(cls, u"SYSLISTVIEW32") && r.FocusName.empty()) {
        said = ListViewHeaderText(access_, windows_, r.FocusHwnd);
        if (said.empty()) said = WindowText(windows_, r.ForegroundHwnd, false);
      }
      break;
    case platform::ROLE_SYSTEM_LISTITEM:
      if (ClassContains(cls, u"SYSLISTVIEW32") &&
          (r.FocusState & platform::STATE_SYSTEM_SELECTED) == 0) {
        said += u" ";
        said += kNotSelected;
      }
      break;
    case platform::ROLE_SYSTEM_OUTLINEITEM:
      said = r.FocusName;
      if ((r.FocusState & platform::STATE_SYSTEM_EXPANDED) != 0) {
        append(strings::StringTable::kTextExpanded);
      }
      if ((r.FocusState & platform::STATE_SYSTEM_COLLAPSED) != 0) {
        append(strings::StringTable::kTextCollapsed);
      }
      FixFocus(windows_, r);
      break;
    case platform::ROLE_SYSTEM_TEXT:
      parts_.caret.ResetCaretPositions();
      break;
    case platform::ROLE_SYSTEM_CHECKBUTTON:
    case platform::ROLE_SYSTEM_RADIOBUTTON:
      if ((r.FocusState & platform::STATE_SYSTEM_CHECKED) != 0) {
        append(strings::StringTable::kTextChecked);
      }
      break;
    default:
      break;
  }
}

void FocusTracking::NavigateObject(bool forward) {
  core::FocusRecord& r = state_.Focus;
  Guarded([&] {
    if (!r.NavigationRestart) return;
    const platform::AccessibleChild focused =
        access_.ObjectFromEvent(r.FocusHwnd, r.FocusObjectId, r.FocusChildId);
    if (focused) parts_.objects.SaveObject(focused.object, focused.childId);
    r.NavigationRestart = false;
  });
  Guarded([&] {
    parts_.objects.CurrentObjectNavigateTo(forward ? platform::NAVDIR_NEXT
                                                   : platform::NAVDIR_PREVIOUS);
  });
  std::int32_t role = 0;
  std::uint32_t state = 0;
  std::u16string name, value;
  Guarded([&] {
    parts_.objects.GetObjectProp(role, state, name, kNavigationBuffer, value, kNavigationBuffer);
  });
  Guarded([&] { output_.PlaySoundCue(RoleText(access_, role)); });
  auto clean = [](std::u16string text) {
    if (text.rfind(u"none", 0) == 0 || text.rfind(u"[Error", 0) == 0) text.clear();
    return text;
  };
  name = clean(std::move(name));
  value = clean(std::move(value));
  Guarded([&] { output_.Say(name + u" " + value); });
  Guarded([&] {
    access::ObjectLocation where;
    const bool placed = parts_.objects.GetObjectLoc(where) == 1;
    windows_.SetCursorPos(where.left, where.top);
    FrameNavigated(placed, where);
  });
}

void FocusTracking::FrameNavigated(bool placed, const access::ObjectLocation& where) {
  aids::FrameFollower* frame = parts_.frame;
  if (frame == nullptr || !frame->Active() || state_.ListMode) return;
  const std::int64_t right = std::int64_t{where.left} + where.width;
  const std::int64_t bottom = std::int64_t{where.top} + where.height;
  if (!placed || right > INT32_MAX || bottom > INT32_MAX) return frame->Follow(std::nullopt);
  frame->Follow(platform::Rect{where.left, where.top, static_cast<std::int32_t>(right),
                               static_cast<std::int32_t>(bottom)});
}

void FocusTracking::AnnounceForegroundWindow() {
  platform::GuiThreadInfo info;
  windows_.GetGUIThreadInfo(0, info);
  state_.Focus.ActiveWindowText = WindowText(windows_, info.active, false);
  output_.Say(state_.Focus.ActiveWindowText + u" " + DialogText(windows_, info.active) + u" " +
              state_.Focus.FocusName + u" " + state_.Focus.FocusValue);
  // The focus that was there before the event hook: recorded silently, so that the command keys
  // and the echo know the field the user is already in (a program focused before startup raises
  // no event until the focus moves).
  core::FocusRecord& r = state_.Focus;
  if (r.FocusHwnd != 0 || info.focus == 0) return;
  Guarded([&] {
    const platform::AccessibleChild focused =
        access_.ObjectFromEvent(info.focus, platform::OBJID_CLIENT, platform::CHILDID_SELF);
    r.FocusHwnd = info.focus;
    r.FocusObjectId = platform::OBJID_CLIENT;
    r.FocusChildId = platform::CHILDID_SELF;
    r.ForegroundHwnd = info.active;
    r.FocusClassName = WindowClassName(windows_, info.focus, true);
    if (focused) r.FocusRole = focused.object->Role(focused.childId).value_or(0);
  });
}

void FocusTracking::AnnounceFocusedObject() {
  if (state_.ListMode) {
    output_.Say(parts_.itemList.GetDetails(state_.ListIndex));
    return;
  }
  output_.Say(RoleText(access_, state_.Focus.FocusRole) + u" " + state_.Focus.FocusName + u" " +
              state_.Focus.FocusValue + kInWindow +
              WindowText(windows_, state_.Focus.ForegroundHwnd, false));
}

void FocusTracking::ToggleWindowReadingMode() {
  aids::InfoBand* band = parts_.infoBand;
  if (band == nullptr || parts_.keyboard == nullptr) return;
  if (state_.ListMode) {
    // The band goes unless the user had it shown before the mode began (showing the band checks
    // the menu item, so the check mark alone would keep every band the mode showed).
    if (!bandWasShown_) Guarded([&] { band->HideBand(); });
    // The frame was round the list's item; the next focus announcement puts it back.
    if (parts_.frame != nullptr) parts_.frame->Hide();
    state_.ListMode = false;
    return;
  }
  bandWasShown_ = band->BandVisible() && parts_.infoMenuChecked && parts_.infoMenuChecked();
  access::ItemList& list = parts_.itemList;
  list.SetIEprofile(true);
  list.SetReadInvisible(true);
  list.SetFilter(true);
  list.DoUpdate(state_.Focus.FocusHwnd, false);
  state_.ListIndex = 0;
  state_.ListMode = true;
  if (list.Focused() > 0) state_.ListIndex = list.Focused();
  Guarded([&] {
    if (!band->BandVisible()) band->ShowBand();
  });
  Guarded([&] { band->SetText(WindowText(windows_, state_.Focus.ForegroundHwnd, false)); });
  // The click at the band's corner (its place taken as it is kept); a band that is never
  // activated by clicks is given the keyboard itself.
  Guarded([&] {
    core::SendMouseClick(*parts_.keyboard, windows_, band->BandLeft(), band->BandTop(), false);
  });
  Guarded([&] { band->FocusBand(); });
  state_.Focus.FocusRole = platform::ROLE_SYSTEM_TEXT;
  state_.Focus.FocusHwnd = band->BandTextWindow();
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
