#include "platform/sim/sim_desktop.h"

#include <algorithm>

#include "platform/sim/sim_layout.h"
#include "text/text.h"

namespace quellon::platform {
namespace {

constexpr std::int32_t kRowHeight = 16;
constexpr std::int32_t kCharWidth = 8;

std::u16string Upper(const std::u16string& s) {
  return text::ToUpper(s);
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

}  // namespace

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

Hwnd SimDesktop::AddStatic(Hwnd parent, std::u16string text) {
  return AddChild(parent, u"Static", std::move(text));
}

Hwnd SimDesktop::AddButton(Hwnd parent, std::u16string text, std::uint32_t buttonStyle) {
  return AddChild(parent, u"Button", std::move(text), buttonStyle);
}

Hwnd SimDesktop::AddEdit(Hwnd parent, std::u16string_view text, EditOptions options) {
  const Hwnd h = AddChild(parent, options.rich ? u"RichEdit20W" : u"Edit", u"",
                          options.multiline ? ES_MULTILINE : 0, options.rect);
  SimWindow* w = Find(h);
  w->edit = std::make_unique<SimEdit>(options.rich, options.multiline);
  w->edit->SetText(text);
  return h;
}

Hwnd SimDesktop::AddListBox(Hwnd parent, std::vector<std::u16string> items) {
  const Hwnd h = AddChild(parent, u"ListBox", u"");
  SimWindow* w = Find(h);
  w->items = std::move(items);
  w->rect.bottom = w->rect.top + kRowHeight * std::max<std::int32_t>(
                                                  1, static_cast<std::int32_t>(w->items.size()));
  return h;
}

Hwnd SimDesktop::AddProgressBar(Hwnd parent) {
  return AddChild(parent, u"msctls_progress32", u"");
}

Hwnd SimDesktop::AddWebView(Hwnd parent, std::shared_ptr<SimHtmlDocument> document) {
  const Hwnd h = AddChild(parent, u"Internet Explorer_Server", u"");
  Find(h)->document = std::move(document);
  return h;
}

void SimDesktop::AdoptProgramWindow(Hwnd w, std::u16string className, std::u16string title) {
  auto win = std::make_unique<SimWindow>();
  win->hwnd = w;
  win->className = std::move(className);
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

void SimDesktop::SetCheck(Hwnd button, bool checked) {
  SimWindow* win = Find(button);
  if (!win) return;
  win->check = checked ? 1 : 0;
  RaiseEvent(EVENT_OBJECT_STATECHANGE, button, OBJID_CLIENT, CHILDID_SELF);
}

void SimDesktop::SetProgress(Hwnd bar, std::int32_t percent) {
  SimWindow* win = Find(bar);
  if (!win) return;
  win->progress = percent;
  RaiseEvent(EVENT_OBJECT_VALUECHANGE, bar, OBJID_CLIENT, CHILDID_SELF);
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
  const std::u16string cls = Upper(w.className);
  w.client->refresh = [this, h, cls](SimAccessible& o) {
    SimWindow* win = Find(h);
    if (!win) return;
    std::uint32_t state = 0;
    if (!IsWindowVisibleFlag(h)) state |= STATE_SYSTEM_INVISIBLE;
    if (win->style & WS_DISABLED) state |= STATE_SYSTEM_UNAVAILABLE;
    const bool focused = focus_ == h;
    o.props.location = win->rect;
    o.props.name = StripMnemonic(win->text);
    o.props.value.clear();
    if (cls == u"BUTTON") {
      const std::uint32_t type = win->style & BS_TYPEMASK;
      o.props.role = (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) ? ROLE_SYSTEM_CHECKBUTTON
                     : (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
                         ? ROLE_SYSTEM_RADIOBUTTON
                         : ROLE_SYSTEM_PUSHBUTTON;
      o.props.defaultAction = o.props.role == ROLE_SYSTEM_PUSHBUTTON ? u"Press" : u"Check";
      state |= STATE_SYSTEM_FOCUSABLE;
      if (win->check) state |= STATE_SYSTEM_CHECKED;
      if (type == BS_DEFPUSHBUTTON) state |= STATE_SYSTEM_DEFAULT;
    } else if (win->edit) {
      o.props.role = ROLE_SYSTEM_TEXT;
      o.props.value = win->edit->Text();
      // The name is the label just before the control.
      o.props.name.clear();
      if (SimWindow* p = Find(win->parent)) {
        auto it = std::find(p->children.begin(), p->children.end(), h);
        if (it != p->children.begin()) {
          if (SimWindow* label = Find(*(it - 1)); label && Upper(label->className) == u"STATIC") {
            o.props.name = StripMnemonic(label->text);
          }
        }
      }
      state |= STATE_SYSTEM_FOCUSABLE;
    } else if (cls == u"STATIC") {
      o.props.role = ROLE_SYSTEM_STATICTEXT;
      state |= STATE_SYSTEM_READONLY;
    } else if (cls == u"LISTBOX") {
      o.props.role = ROLE_SYSTEM_LIST;
      state |= STATE_SYSTEM_FOCUSABLE;
      o.ClearChildren();
      for (std::size_t i = 0; i < win->items.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        SimAccProps item;
        item.role = ROLE_SYSTEM_LISTITEM;
        item.name = win->items[i];
        item.state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
        if (row == win->selected) {
          item.state |= STATE_SYSTEM_SELECTED;
          if (focused) item.state |= STATE_SYSTEM_FOCUSED;
        }
        item.location = {win->rect.left, win->rect.top + row * kRowHeight, win->rect.right,
                         win->rect.top + (row + 1) * kRowHeight};
        o.AddElement(item);
      }
    } else if (cls == u"MSCTLS_PROGRESS32") {
      o.props.role = ROLE_SYSTEM_PROGRESSBAR;
      o.props.value = text::Ascii16(std::to_string(win->progress)) + u"%";
      state |= STATE_SYSTEM_READONLY;
    } else if (cls == u"INTERNET EXPLORER_SERVER") {
      o.props.role = ROLE_SYSTEM_PANE;
      state |= STATE_SYSTEM_FOCUSABLE;
    } else if (cls == u"#32768") {
      o.props.role = ROLE_SYSTEM_MENUPOPUP;
    } else if (cls == u"#32770" && win->parent == 0) {
      o.props.role = ROLE_SYSTEM_DIALOG;
    } else {
      o.props.role = ROLE_SYSTEM_CLIENT;
      state |= STATE_SYSTEM_FOCUSABLE;
    }
    if (focused) state |= STATE_SYSTEM_FOCUSED;
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
    RaiseEvent(EVENT_SYSTEM_FOREGROUND, top, OBJID_WINDOW, CHILDID_SELF);
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

void SimDesktop::SelectListItem(Hwnd list, std::int32_t index) {
  SimWindow* win = Find(list);
  if (!win || index < 0 || index >= static_cast<std::int32_t>(win->items.size())) return;
  win->selected = index;
  if (focus_ != list) Focus(list);
  RaiseEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, index + 1);
  RaiseEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, index + 1);
}

Hwnd SimDesktop::OpenMenu(Hwnd owner, std::vector<std::shared_ptr<SimAccessible>> items) {
  if (menuPopup_ != 0) CloseMenu();
  menuOwner_ = TopLevelOf(owner);
  focusBeforeMenu_ = focus_;
  RaiseEvent(EVENT_SYSTEM_MENUSTART, menuOwner_, OBJID_MENU, CHILDID_SELF);
  SimWindow* o = Find(menuOwner_);
  const Rect at = o ? Rect{o->rect.left + 10, o->rect.top + 40, o->rect.left + 210,
                           o->rect.top + 40 + kRowHeight * static_cast<std::int32_t>(items.size())}
                    : Rect{};
  menuPopup_ = NewWindow(0, u"#32768", u"", WS_BORDER, at);
  SimWindow* popup = Find(menuPopup_);
  popup->thread = o ? o->thread : popup->thread;
  auto client = SimAccessible::Make(ROLE_SYSTEM_MENUPOPUP, u"");
  client->window = menuPopup_;
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto& item = items[i];
    if (item->props.location == Rect{}) {
      const auto row = static_cast<std::int32_t>(i);
      item->props.location = {at.left, at.top + row * kRowHeight, at.right,
                              at.top + (row + 1) * kRowHeight};
    }
    client->Add(item);
  }
  client->props.location = at;
  SetClientAccessible(menuPopup_, client);
  RaiseEvent(EVENT_SYSTEM_MENUPOPUPSTART, menuPopup_, OBJID_CLIENT, CHILDID_SELF);
  if (!items.empty()) FocusMenuItem(0);
  return menuPopup_;
}

void SimDesktop::FocusMenuItem(std::int32_t index) {
  if (menuPopup_ == 0) return;
  focus_ = menuPopup_;
  UpdateCaret();
  RaiseEvent(EVENT_OBJECT_FOCUS, menuPopup_, OBJID_CLIENT, index + 1);
}

void SimDesktop::CloseMenu() {
  if (menuPopup_ == 0) return;
  RaiseEvent(EVENT_SYSTEM_MENUPOPUPEND, menuPopup_, OBJID_CLIENT, CHILDID_SELF);
  const Hwnd popup = menuPopup_;
  menuPopup_ = 0;
  DestroyWindow(popup);
  RaiseEvent(EVENT_SYSTEM_MENUEND, menuOwner_, OBJID_MENU, CHILDID_SELF);
  focus_ = Find(focusBeforeMenu_) ? focusBeforeMenu_ : 0;
  UpdateCaret();
}

Hwnd SimDesktop::ShowMessageBox(Hwnd owner, std::u16string title, std::u16string text,
                                std::vector<std::u16string> buttons) {
  SimWindow* o = Find(TopLevelOf(owner));
  const Rect at =
      o ? Rect{o->rect.left + 50, o->rect.top + 50, o->rect.left + 400, o->rect.top + 200}
        : Rect{400, 300, 750, 450};
  const Hwnd dialog = NewWindow(0, u"#32770", std::move(title), WS_CAPTION, at);
  SimWindow* d = Find(dialog);
  if (o) d->thread = o->thread;
  d->style &= ~WS_VISIBLE;  // created hidden, then shown
  RaiseEvent(EVENT_OBJECT_CREATE, dialog, OBJID_WINDOW, CHILDID_SELF);
  AddStatic(dialog, std::move(text));
  Hwnd first = 0;
  for (auto& caption : buttons) {
    const Hwnd b = AddButton(dialog, std::move(caption), first == 0 ? BS_DEFPUSHBUTTON : 0);
    if (first == 0) first = b;
  }
  d->style |= WS_VISIBLE;
  RaiseEvent(EVENT_OBJECT_SHOW, dialog, OBJID_WINDOW, CHILDID_SELF);
  RaiseEvent(EVENT_SYSTEM_DIALOGSTART, dialog, OBJID_WINDOW, CHILDID_SELF);
  Focus(first != 0 ? first : dialog);
  return dialog;
}

void SimDesktop::UpdateCaret() {
  caretWindow_ = 0;
  caretRect_ = {};
  SimWindow* w = Find(focus_);
  if (!w) return;
  if (w->edit) {
    const std::int32_t caret = w->edit->Caret();
    const std::int32_t line = w->edit->LineFromChar(caret);
    const std::int32_t column = caret - w->edit->LineIndex(line);
    caretWindow_ = focus_;
    caretRect_ = {column * kCharWidth + 1, line * kRowHeight, column * kCharWidth + 2,
                  (line + 1) * kRowHeight};
  } else if (w->document) {
    caretWindow_ = focus_;
    caretRect_ = w->document->CaretRect();
  }
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

// ---------------------------------------------------------------------------------------------
// The window-system port

bool SimWindowSystem::IsWindow(Hwnd w) {
  return d_.Find(w) != nullptr;
}
bool SimWindowSystem::IsWindowVisible(Hwnd w) {
  return d_.IsWindowVisibleFlag(w);
}
bool SimWindowSystem::IsIconic(Hwnd w) {
  SimWindow* win = d_.Find(w);
  return win && win->iconic;
}

std::u16string SimWindowSystem::GetClassName(Hwnd w, std::int32_t maxCount) {
  SimWindow* win = d_.Find(w);
  if (!win || maxCount <= 0) return {};
  return win->className.substr(0, static_cast<std::size_t>(maxCount - 1));
}

std::u16string SimWindowSystem::GetWindowText(Hwnd w) {
  SimWindow* win = d_.Find(w);
  if (!win) return {};
  // Another program's edit control does not give its contents this way.
  if (win->edit) return {};
  return win->text;
}

std::int32_t SimWindowSystem::GetWindowTextLength(Hwnd w) {
  return static_cast<std::int32_t>(GetWindowText(w).size());
}

Hwnd SimWindowSystem::GetParent(Hwnd w) {
  SimWindow* win = d_.Find(w);
  return win ? win->parent : 0;
}

std::int32_t SimWindowSystem::GetWindowLong(Hwnd w, std::int32_t index) {
  SimWindow* win = d_.Find(w);
  if (!win) return 0;
  if (index == GWL_STYLE) return static_cast<std::int32_t>(win->style);
  if (index == GWL_EXSTYLE) return static_cast<std::int32_t>(win->exStyle);
  return 0;
}

std::int32_t SimWindowSystem::SetWindowLong(Hwnd w, std::int32_t index, std::int32_t value) {
  SimWindow* win = d_.Find(w);
  if (!win) return 0;
  std::uint32_t* field = index == GWL_STYLE     ? &win->style
                         : index == GWL_EXSTYLE ? &win->exStyle
                                                : nullptr;
  if (!field) return 0;
  const auto previous = static_cast<std::int32_t>(*field);
  *field = static_cast<std::uint32_t>(value);
  return previous;
}

bool SimWindowSystem::GetWindowRect(Hwnd w, Rect& rect) {
  SimWindow* win = d_.Find(w);
  if (!win) return false;
  rect = win->rect;
  return true;
}

void SimWindowSystem::EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& callback) {
  // Collected first, as Windows takes a snapshot of the list before calling back.
  std::vector<Hwnd> all;
  std::function<void(Hwnd)> collect = [&](Hwnd h) {
    SimWindow* win = d_.Find(h);
    if (!win) return;
    for (Hwnd c : win->children) {
      all.push_back(c);
      collect(c);
    }
  };
  collect(parent);
  for (Hwnd c : all) {
    if (d_.Find(c) && !callback(c)) return;
  }
}

ThreadId SimWindowSystem::GetWindowThreadProcessId(Hwnd w, std::uint32_t* processId) {
  SimWindow* win = d_.Find(w);
  if (!win) return 0;
  if (processId) *processId = win->process;
  return win->thread;
}

ThreadId SimWindowSystem::GetCurrentThreadId() {
  return d_.programThread_;
}

bool SimWindowSystem::GetGUIThreadInfo(ThreadId thread, GuiThreadInfo& info) {
  const Hwnd fg = d_.foreground_;
  SimWindow* f = d_.Find(fg);
  if (thread == 0) {
    if (!f) return false;
    thread = f->thread;
  }
  info = {};
  if (!f || f->thread != thread) return true;  // a thread without the activation: all empty
  info.active = fg;
  info.focus = d_.focus_;
  info.caret = d_.caretWindow_;
  info.caretRect = d_.caretRect_;
  info.menuOwner = d_.menuPopup_ != 0 ? d_.menuOwner_ : 0;
  return true;
}

Hwnd SimWindowSystem::GetForegroundWindow() {
  return d_.foreground_;
}

bool SimWindowSystem::SetForegroundWindow(Hwnd w) {
  if (!d_.Find(w)) return false;
  const Hwnd top = d_.TopLevelOf(w);
  if (top == d_.foreground_) return true;
  d_.Focus(top);
  return true;
}

bool SimWindowSystem::ShowWindow(Hwnd w, std::int32_t command) {
  SimWindow* win = d_.Find(w);
  if (!win) return false;
  const bool was = (win->style & WS_VISIBLE) != 0;
  switch (command) {
    case SW_HIDE:
      d_.SetVisible(w, false);
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
      win->iconic = true;
      d_.SetVisible(w, true);
      break;
    default:
      win->iconic = false;
      d_.SetVisible(w, true);
      break;
  }
  return was;
}

bool SimWindowSystem::SetWindowPos(Hwnd w, Hwnd insertAfter, std::int32_t x, std::int32_t y,
                                   std::int32_t cx, std::int32_t cy, std::uint32_t flags) {
  SimWindow* win = d_.Find(w);
  if (!win) return false;
  if (!(flags & SWP_NOMOVE)) {
    const std::int32_t width = win->rect.Width();
    const std::int32_t height = win->rect.Height();
    win->rect = {x, y, x + width, y + height};
  }
  if (!(flags & SWP_NOSIZE))
    win->rect = {win->rect.left, win->rect.top, win->rect.left + cx, win->rect.top + cy};
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST) win->exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) win->exStyle &= ~WS_EX_TOPMOST;
  }
  if (flags & SWP_SHOWWINDOW) d_.SetVisible(w, true);
  if (flags & SWP_HIDEWINDOW) d_.SetVisible(w, false);
  return true;
}

bool SimWindowSystem::SetLayeredWindowAttributes(Hwnd w, std::uint32_t colorKey, std::uint8_t,
                                                 std::uint32_t flags) {
  SimWindow* win = d_.Find(w);
  if (!win || !(win->exStyle & WS_EX_LAYERED)) return false;
  win->colorKey = colorKey;
  win->layeredFlags = flags;
  return true;
}

LResult SimWindowSystem::SendMessage(Hwnd w, std::uint32_t message, WParam wParam, LParam lParam) {
  SimWindow* win = d_.Find(w);
  if (!win) return 0;
  if (win->handler) {
    if (auto answer = win->handler(message, wParam, lParam)) return *answer;
  }
  if (win->edit) {
    bool handled = false;
    const LResult r = win->edit->Message(message, wParam, lParam, handled);
    if (message == EM_SETSEL) d_.UpdateCaret();
    if (handled) return r;
  }
  switch (message) {
    case WM_GETTEXTLENGTH:
      return static_cast<LResult>(win->text.size());
    case STM_GETICON:
      return win->hasIcon ? 1 : 0;
    case 0x00F0:  // BM_GETCHECK
      return win->check;
    default:
      return 0;
  }
}

LResult SimWindowSystem::SendGetSel(Hwnd w, std::int32_t* start, std::int32_t* end) {
  SimWindow* win = d_.Find(w);
  if (!win || !win->edit) return 0;
  const std::int32_t lo = std::min(win->edit->Anchor(), win->edit->Caret());
  const std::int32_t hi = std::max(win->edit->Anchor(), win->edit->Caret());
  if (start) *start = lo;
  if (end) *end = hi;
  bool handled = false;
  return win->edit->Message(EM_GETSEL, 0, 0, handled);
}

std::u16string SimWindowSystem::SendGetText(Hwnd w, std::int32_t bufferSize) {
  SimWindow* win = d_.Find(w);
  if (!win || bufferSize <= 0) return {};
  const std::u16string all = win->edit ? win->edit->Text() : win->text;
  return all.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

std::uint32_t SimWindowSystem::RegisterWindowMessage(const std::u16string& name) {
  auto [it, added] = d_.registeredMessages_.try_emplace(
      name, 0xC000 + static_cast<std::uint32_t>(d_.registeredMessages_.size()));
  return it->second;
}

bool SimWindowSystem::ChangeWindowMessageFilter(std::uint32_t, std::uint32_t action) {
  return action == 1 || action == 2;
}

bool SimWindowSystem::GetCursorPos(Point& p) {
  p = d_.cursor_;
  return true;
}

bool SimWindowSystem::SetCursorPos(std::int32_t x, std::int32_t y) {
  d_.cursor_ = {std::clamp(x, 0, d_.screen_.right - 1), std::clamp(y, 0, d_.screen_.bottom - 1)};
  return true;
}

std::int32_t SimWindowSystem::GetSystemMetrics(std::int32_t index) {
  return d_.Metric(index);
}

bool SimWindowSystem::MessageBeep(std::uint32_t) {
  ++d_.beeps_;
  return true;
}

std::int32_t SimWindowSystem::MessageBox(Hwnd owner, const std::u16string& text,
                                         const std::u16string& caption, std::uint32_t type) {
  d_.messageBoxes_.push_back({owner, text, caption, type});
  return d_.messageBoxAnswer_;
}

bool SimWindowSystem::StartProcess(const std::u16string& commandLine) {
  d_.started_.push_back(commandLine);
  return true;
}

OsVersion SimWindowSystem::GetVersion() {
  return d_.version_;
}

// ---------------------------------------------------------------------------------------------
// The accessibility port

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
