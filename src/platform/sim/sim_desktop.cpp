// The simulated desktop: its windows, focus, events and caret. The ports are in
// sim_window_system.cpp, sim_accessibility.cpp, sim_keyboard.cpp ...; each control kind in its
// own file, found through sim_control.cpp.
#include "platform/sim/sim_desktop.h"

#include <algorithm>

#include "platform/sim/sim_control.h"

namespace quellon::platform {

// ---------------------------------------------------------------------------------------------
// The desktop

SimDesktop::SimDesktop(SimEventLoop& loop)
    : loop_(loop),
      windows_(*this),
      access_(*this),
      keys_(*this),
      voice_(loop),
      sounds_(loop),
      shell_(*this),
      html_(*this) {
  deliveryWindow_ = loop_.CreateHiddenWindow();
  loop_.SetWindowProc(deliveryWindow_, [this](Hwnd, std::uint32_t message, WParam, LParam) {
    if (message == kDeliverMessage) {
      deliveryPosted_ = false;
      ProcessQueuedInput();
      DeliverHookKeys();
      DeliverEvents();
    }
    return LResult{0};
  });
}

SimDesktop::~SimDesktop() {
  loop_.DestroyWindow(deliveryWindow_);
}

SimWindow* SimDesktop::Find(Hwnd w) {
  auto it = windowTable_.find(w);
  return it == windowTable_.end() ? nullptr : it->second.get();
}

SimEdit* SimDesktop::Edit(Hwnd w) {
  SimWindow* win = Find(w);
  return win ? win->edit.get() : nullptr;
}

Hwnd SimDesktop::TopLevelOf(Hwnd w) {
  SimWindow* win = Find(w);
  while (win && win->parent != 0) {
    SimWindow* up = Find(win->parent);
    if (!up) break;
    win = up;
  }
  return win ? win->hwnd : 0;
}

Hwnd SimDesktop::NewWindow(Hwnd parent, std::u16string className, std::u16string text,
                           std::uint32_t style, Rect rect) {
  auto win = std::make_unique<SimWindow>();
  win->hwnd = nextHwnd_;
  nextHwnd_ += 4;
  win->className = std::move(className);
  win->kind = SimControlKindFor(win->className);
  win->text = std::move(text);
  win->style = style | WS_VISIBLE;
  win->parent = parent;
  win->rect = rect;
  if (SimWindow* p = Find(parent)) {
    win->thread = p->thread;
    win->process = p->process;
    win->ownProgram = p->ownProgram;
    if (rect == Rect{}) {
      // Placed below the previous child, inside the parent.
      std::int32_t top = p->rect.top + 30;
      for (Hwnd c : p->children) {
        if (SimWindow* cw = Find(c)) top = std::max(top, cw->rect.bottom + 4);
      }
      win->rect = {p->rect.left + 10, top, p->rect.left + 210, top + 24};
    }
    p->children.push_back(win->hwnd);
  } else {
    win->thread = nextThread_;
    win->process = nextThread_ + 0x1000;
    nextThread_ += 4;
    if (rect == Rect{}) win->rect = {100, 100, 740, 580};
    topLevel_.insert(topLevel_.begin(), win->hwnd);
  }
  const Hwnd h = win->hwnd;
  windowTable_[h] = std::move(win);
  MakeStandardAccessible(*windowTable_[h]);
  return h;
}

Hwnd SimDesktop::AddTopWindow(std::u16string className, std::u16string title, Rect rect) {
  return NewWindow(0, std::move(className), std::move(title), WS_CAPTION, rect);
}

Hwnd SimDesktop::AddChild(Hwnd parent, std::u16string className, std::u16string text,
                          std::uint32_t style, Rect rect) {
  return NewWindow(parent, std::move(className), std::move(text), style | WS_CHILD, rect);
}

void SimDesktop::AdoptProgramWindow(Hwnd w, std::u16string className, std::u16string title) {
  auto win = std::make_unique<SimWindow>();
  win->hwnd = w;
  win->className = std::move(className);
  win->kind = SimControlKindFor(win->className);
  win->text = std::move(title);
  win->style = WS_CAPTION | WS_VISIBLE;
  win->thread = programThread_;
  win->process = programThread_ + 0x1000;
  win->ownProgram = true;
  win->rect = {0, 0, 320, 200};
  topLevel_.push_back(w);
  windowTable_[w] = std::move(win);
  MakeStandardAccessible(*windowTable_[w]);
}

void SimDesktop::DestroyWindow(Hwnd w) {
  SimWindow* win = Find(w);
  if (!win) return;
  for (Hwnd c : std::vector<Hwnd>(win->children)) DestroyWindow(c);
  RaiseEvent(EVENT_OBJECT_DESTROY, w, OBJID_WINDOW, CHILDID_SELF);
  if (win->client) win->client->Destroy();
  if (win->window) win->window->Destroy();
  if (SimWindow* p = Find(win->parent)) std::erase(p->children, w);
  std::erase(topLevel_, w);
  if (focus_ == w || TopLevelOf(focus_) == w) focus_ = 0;
  if (foreground_ == w) foreground_ = topLevel_.empty() ? 0 : topLevel_.front();
  if (caretWindow_ == w) caretWindow_ = 0;
  windowTable_.erase(w);
  UpdateCaret();
}

void SimDesktop::SetText(Hwnd w, std::u16string text) {
  SimWindow* win = Find(w);
  if (!win) return;
  if (win->edit) {
    win->edit->SetText(text);
    UpdateCaret();
  } else {
    win->text = std::move(text);
  }
  RaiseEvent(win->edit ? EVENT_OBJECT_VALUECHANGE : EVENT_OBJECT_NAMECHANGE, w, OBJID_CLIENT,
             CHILDID_SELF);
}

void SimDesktop::SetVisible(Hwnd w, bool visible) {
  SimWindow* win = Find(w);
  if (!win) return;
  const bool was = (win->style & WS_VISIBLE) != 0;
  if (visible)
    win->style |= WS_VISIBLE;
  else
    win->style &= ~WS_VISIBLE;
  if (was != visible)
    RaiseEvent(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, w, OBJID_WINDOW, CHILDID_SELF);
}

void SimDesktop::SetStyle(Hwnd w, std::uint32_t style) {
  if (SimWindow* win = Find(w)) win->style = style;
}

void SimDesktop::SetClientAccessible(Hwnd w, std::shared_ptr<SimAccessible> object) {
  SimWindow* win = Find(w);
  if (!win) return;
  if (object->window == 0) object->window = w;
  win->client = std::move(object);
}

void SimDesktop::SetMessageHandler(Hwnd w, SimMessageHandler handler) {
  if (SimWindow* win = Find(w)) win->handler = std::move(handler);
}

// The objects Windows' own controls give: role, name, value and state mirror the live control.
void SimDesktop::MakeStandardAccessible(SimWindow& w) {
  const Hwnd h = w.hwnd;
  w.window = SimAccessible::Make(ROLE_SYSTEM_WINDOW, u"");
  w.window->window = h;
  w.window->refresh = [this, h](SimAccessible& o) {
    SimWindow* win = Find(h);
    if (!win) return;
    o.props.name = StripMnemonic(win->text);
    o.props.location = win->rect;
    o.props.state = STATE_SYSTEM_FOCUSABLE | (IsWindowVisibleFlag(h) ? 0 : STATE_SYSTEM_INVISIBLE);
  };
  w.client = SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"");
  w.client->window = h;
  w.window->Add(w.client);
  w.client->refresh = [this, h](SimAccessible& o) {
    SimWindow* win = Find(h);
    if (!win) return;
    std::uint32_t state = 0;
    if (!IsWindowVisibleFlag(h)) state |= STATE_SYSTEM_INVISIBLE;
    if (win->style & WS_DISABLED) state |= STATE_SYSTEM_UNAVAILABLE;
    o.props.location = win->rect;
    o.props.name = StripMnemonic(win->text);
    o.props.value.clear();
    if (!win->kind || !win->kind->Describe(*this, *win, o, state)) {
      o.props.role = ROLE_SYSTEM_CLIENT;
      state |= STATE_SYSTEM_FOCUSABLE;
    }
    if (focus_ == h) state |= STATE_SYSTEM_FOCUSED;
    o.props.state = state;
  };
}

bool SimDesktop::IsWindowVisibleFlag(Hwnd h) {
  for (SimWindow* w = Find(h); w; w = Find(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (w->parent == 0) return true;
  }
  return false;
}

// ---- Focus and events ----

void SimDesktop::RaiseEvent(std::uint32_t event, Hwnd w, std::int32_t idObject,
                            std::int32_t idChild) {
  const WinEvent e{event, w, idObject, idChild};
  events_.push_back(e);
  if (winEventHooks_.empty()) return;
  pendingEvents_.push_back(e);
  if (!deliveryPosted_) {
    deliveryPosted_ = loop_.PostMessage(deliveryWindow_, kDeliverMessage, 0, 0);
  }
}

void SimDesktop::DeliverEvents() {
  while (!pendingEvents_.empty()) {
    const WinEvent e = pendingEvents_.front();
    pendingEvents_.pop_front();
    // A copy: a callback may unhook itself.
    const auto hooks = winEventHooks_;
    for (const auto& [id, hook] : hooks) {
      if (e.event >= hook.min && e.event <= hook.max && winEventHooks_.contains(id)) hook.proc(e);
    }
  }
}

void SimDesktop::Focus(Hwnd w) {
  SimWindow* win = Find(w);
  if (!win) return;
  const Hwnd top = TopLevelOf(w);
  if (top != foreground_) {
    foreground_ = top;
    std::erase(topLevel_, top);
    topLevel_.insert(topLevel_.begin(), top);
    if (SimWindow* t = Find(top)) t->iconic = false;
    if (foregroundEvents_) RaiseEvent(EVENT_SYSTEM_FOREGROUND, top, OBJID_WINDOW, CHILDID_SELF);
  }
  focus_ = w;
  UpdateCaret();
  RaiseEvent(EVENT_OBJECT_FOCUS, w, OBJID_CLIENT, CHILDID_SELF);
}

void SimDesktop::SwitchTo(Hwnd w) {
  RaiseEvent(EVENT_SYSTEM_SWITCHSTART, 0, OBJID_CLIENT, CHILDID_SELF);
  RaiseEvent(EVENT_SYSTEM_SWITCHEND, 0, OBJID_CLIENT, CHILDID_SELF);
  Focus(w);
}

void SimDesktop::UpdateCaret() {
  caretWindow_ = 0;
  caretRect_ = {};
  SimWindow* w = Find(focus_);
  if (w && w->kind && w->kind->Caret(*w, caretRect_)) caretWindow_ = focus_;
}

Hwnd SimDesktop::WindowAtPoint(Point p) {
  for (Hwnd top : topLevel_) {
    SimWindow* t = Find(top);
    if (!t || !(t->style & WS_VISIBLE) || t->iconic || !t->rect.Contains(p)) continue;
    Hwnd found = top;
    for (bool deeper = true; deeper;) {
      deeper = false;
      SimWindow* f = Find(found);
      for (auto it = f->children.begin(); it != f->children.end(); ++it) {
        SimWindow* c = Find(*it);
        if (c && (c->style & WS_VISIBLE) && c->rect.Contains(p)) {
          found = *it;
          deeper = true;
          break;
        }
      }
    }
    return found;
  }
  return 0;
}

std::int32_t SimDesktop::Metric(std::int32_t index) const {
  switch (index) {
    case SM_CXSCREEN:
      return screen_.Width();
    case SM_CYSCREEN:
      return screen_.Height();
    case SM_CYHSCROLL:
      return 16;
    case SM_CYCAPTION:
      return 18;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CYMENU:
      return 19;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    default:
      return 0;
  }
}

}  // namespace quellon::platform
