// The accessibility port of the simulated desktop.
#include "platform/sim/sim_accessibility.h"

#include "platform/sim/sim_desktop.h"

namespace quellon::platform {

AccessiblePtr SimAccessibility::ObjectFromWindow(Hwnd w, std::int32_t idObject) {
  SimWindow* win = d_.Find(w);
  if (!win) return nullptr;
  if (idObject == OBJID_CLIENT) return win->client;
  if (idObject == OBJID_WINDOW) return win->window;
  return nullptr;
}

AccessibleChild SimAccessibility::ObjectFromEvent(Hwnd w, std::int32_t idObject,
                                                  std::int32_t idChild) {
  AccessiblePtr object = ObjectFromWindow(w, idObject);
  auto* sim = static_cast<SimAccessible*>(object.get());
  if (!sim || !sim->Alive()) return {};
  if (idChild == CHILDID_SELF) return {object, CHILDID_SELF};
  if (idChild < 0) return {};
  sim->ChildCount();  // brings a live control's children up to date
  // A child that is a full object comes back as that object; a simple element as (parent, id).
  const std::vector<AccessibleChild> entries = sim->Entries();
  if (static_cast<std::size_t>(idChild) > entries.size()) return {};
  const AccessibleChild& e = entries[static_cast<std::size_t>(idChild - 1)];
  if (e.childId == CHILDID_SELF) return e;
  return {object, e.childId};
}

AccessibleChild SimAccessibility::ObjectFromPoint(std::int32_t x, std::int32_t y) {
  const Hwnd w = d_.WindowAtPoint({x, y});
  SimWindow* win = d_.Find(w);
  if (!win || !win->client) return {};
  AccessibleChild hit = win->client->HitTest(x, y);
  if (hit) return hit;
  return {win->client, CHILDID_SELF};
}

Hwnd SimAccessibility::WindowFromObject(const AccessiblePtr& object) {
  auto* sim = dynamic_cast<SimAccessible*>(object.get());
  return sim ? sim->window : 0;
}

std::u16string SimAccessibility::RoleText(std::int32_t role) {
  auto it = d_.roleTexts_.find(role);
  if (it != d_.roleTexts_.end()) return it->second;
  switch (role) {
    case ROLE_SYSTEM_TITLEBAR:
      return u"title bar";
    case ROLE_SYSTEM_MENUBAR:
      return u"menu bar";
    case ROLE_SYSTEM_SCROLLBAR:
      return u"scroll bar";
    case ROLE_SYSTEM_WINDOW:
      return u"window";
    case ROLE_SYSTEM_CLIENT:
      return u"client";
    case ROLE_SYSTEM_MENUPOPUP:
      return u"popup menu";
    case ROLE_SYSTEM_MENUITEM:
      return u"menu item";
    case ROLE_SYSTEM_APPLICATION:
      return u"application";
    case ROLE_SYSTEM_DOCUMENT:
      return u"document";
    case ROLE_SYSTEM_PANE:
      return u"pane";
    case ROLE_SYSTEM_DIALOG:
      return u"dialog";
    case ROLE_SYSTEM_SEPARATOR:
      return u"separator";
    case ROLE_SYSTEM_STATUSBAR:
      return u"status bar";
    case ROLE_SYSTEM_TABLE:
      return u"table";
    case ROLE_SYSTEM_CELL:
      return u"cell";
    case ROLE_SYSTEM_LINK:
      return u"link";
    case ROLE_SYSTEM_LIST:
      return u"list";
    case ROLE_SYSTEM_LISTITEM:
      return u"list item";
    case ROLE_SYSTEM_OUTLINE:
      return u"outline";
    case ROLE_SYSTEM_OUTLINEITEM:
      return u"outline item";
    case ROLE_SYSTEM_GRAPHIC:
      return u"graphic";
    case ROLE_SYSTEM_STATICTEXT:
      return u"text";
    case ROLE_SYSTEM_TEXT:
      return u"editable text";
    case ROLE_SYSTEM_PUSHBUTTON:
      return u"push button";
    case ROLE_SYSTEM_CHECKBUTTON:
      return u"check box";
    case ROLE_SYSTEM_RADIOBUTTON:
      return u"radio button";
    case ROLE_SYSTEM_COMBOBOX:
      return u"combo box";
    case ROLE_SYSTEM_PROGRESSBAR:
      return u"progress bar";
    default:
      return u"unknown object";
  }
}

std::u16string SimAccessibility::StateText(std::uint32_t stateBit) {
  // With several bits, the text of the lowest one.
  if (stateBit == 0) return u"normal";
  const std::uint32_t bit = stateBit & (~stateBit + 1);
  switch (bit) {
    case STATE_SYSTEM_UNAVAILABLE:
      return u"unavailable";
    case STATE_SYSTEM_SELECTED:
      return u"selected";
    case STATE_SYSTEM_FOCUSED:
      return u"focused";
    case STATE_SYSTEM_PRESSED:
      return u"pressed";
    case STATE_SYSTEM_CHECKED:
      return u"checked";
    case STATE_SYSTEM_READONLY:
      return u"read only";
    case STATE_SYSTEM_DEFAULT:
      return u"default";
    case STATE_SYSTEM_EXPANDED:
      return u"expanded";
    case STATE_SYSTEM_COLLAPSED:
      return u"collapsed";
    case STATE_SYSTEM_INVISIBLE:
      return u"invisible";
    case STATE_SYSTEM_OFFSCREEN:
      return u"offscreen";
    case STATE_SYSTEM_FOCUSABLE:
      return u"focusable";
    case STATE_SYSTEM_SELECTABLE:
      return u"selectable";
    case STATE_SYSTEM_LINKED:
      return u"linked";
    case STATE_SYSTEM_HASPOPUP:
      return u"has popup";
    default:
      return {};
  }
}

WinEventHook SimAccessibility::SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                                               WinEventProc proc) {
  if (!proc || eventMin > eventMax) return 0;
  const WinEventHook id = d_.nextHook_++;
  d_.winEventHooks_[id] = {eventMin, eventMax, std::move(proc)};
  return id;
}

bool SimAccessibility::UnhookWinEvent(WinEventHook hook) {
  return d_.winEventHooks_.erase(hook) > 0;
}

}  // namespace quellon::platform
