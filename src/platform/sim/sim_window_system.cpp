// The window-system port of the simulated desktop.
#include "platform/sim/sim_window_system.h"

#include <algorithm>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::platform {

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
  if (win->kind) {
    LResult result = 0;
    if (win->kind->Message(d_, *win, message, wParam, lParam, result)) return result;
  }
  // The default window procedure.
  if (message == WM_GETTEXTLENGTH) return static_cast<LResult>(win->text.size());
  return 0;
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
  // Registered messages are numbered from 0xC000 up, in the order of their first registration.
  constexpr std::uint32_t kFirstRegistered = 0xC000;
  auto [it, added] = d_.registeredMessages_.try_emplace(
      name, kFirstRegistered + static_cast<std::uint32_t>(d_.registeredMessages_.size()));
  return it->second;
}

bool SimWindowSystem::ChangeWindowMessageFilter(std::uint32_t, std::uint32_t action) {
  return action == MSGFLT_ADD || action == MSGFLT_REMOVE;
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

}  // namespace quellon::platform
