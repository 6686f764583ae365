// quellon-probe: checks the Windows implementation of the platform ports against the running
// quellon-target (tests/wine/target). It reads the target's DIR\ready, drives it through
// DIR\commands.txt (waiting for each "done N" in DIR\done.txt while its own message loop runs),
// and prints one PASS or FAIL line per check. Exit code 0 when every check passed, 1 otherwise,
// 2 for bad arguments.
//
// Usage: quellon-probe.exe MODE DIR
//   msaa  focus events from the target; name, role, state, value, children, navigation, hit
//         tests and actions of its objects; WinEvent callbacks never nest
//   keys  the low-level keyboard hook sees the keys the test types with xdotool (it writes
//         DIR\probe-hooked when the hook is in, then waits for them) and swallows "q"; the
//         deliveries come on the main thread in key order
//   busykeys  the keys pass to the target while the probe's main thread takes no messages for
//         two seconds, and are delivered in order once it does; a key that waits for its
//         delivery passes after the bounded wait (DIR\probe-free is written when the main thread
//         is free again)
//   edit  window properties, the edit messages, the caret rectangle, clipboard and services
//   hang  every message to a hung target returns within its bound
//   hangcall  a call that hangs inside the target returns within its bound; the next is refused
//   dialogs  (no DIR, no target) the visible dialogs' controls with their accessible names
//   walk [COUNT [WALKS]]  the item list's walk (clsAAenum::DoUpdate over the object walker)
//         across processes, of the target's page of COUNT objects (default 500): prints the
//         objects listed, the time of each of WALKS walks (default 9) and their median, in
//         milliseconds and in microseconds per object
//   web   the target's web page: its document is found through WM_HTML_GETOBJECT and called by
//         member name across processes (ranges handed back as arguments), and the web reader
//         over the Windows ports speaks the character, word and text-area line at its caret
#include "access/aa_enum.h"
#include "access/mod_ie.h"
#include "core/speech_output.h"
#include "core/time_and_date.h"
#include "engine/fake_engine.h"
#include "platform/win32/win32_accessibility.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_html_document.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_window_system.h"
#include "platform/win32/win32_windows.h"
#include "platform/win32/winmm_wave_out.h"
#include "speech/dictionary.h"
#include "strings/string_table.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace quellon::platform;

int g_failures = 0;

std::string Utf8(const std::u16string& s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, win32::Wide(s), static_cast<int>(s.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, win32::Wide(s), static_cast<int>(s.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string Show(const std::optional<std::u16string>& s) {
  return s ? "\"" + Utf8(*s) + "\"" : std::string("(none)");
}

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

template <typename T, typename U>
void CheckEq(const T& got, const U& want, const std::string& what) {
  std::ostringstream text;
  text << what << " (got " << got << ", want " << want << ")";
  Check(got == want, text.str());
}

void CheckText(const std::optional<std::u16string>& got, const std::u16string& want,
               const std::string& what) {
  Check(got && *got == want, what + " (got " + Show(got) + ", want \"" + Utf8(want) + "\")");
}

class Probe {
 public:
  // Commands already in the file (from an earlier probe run) count: the target numbers its
  // "done" lines over the whole file.
  explicit Probe(std::string dir) : dir_(std::move(dir)) {
    std::ifstream in(dir_ + "\\commands.txt");
    std::string line;
    while (std::getline(in, line)) ++commands_;
  }

  bool ReadReady() {
    std::ifstream in(dir_ + "\\ready");
    std::string line;
    while (std::getline(in, line)) {
      const auto eq = line.find('=');
      if (eq == std::string::npos) continue;
      controls_[line.substr(0, eq)] =
          static_cast<Hwnd>(std::stoull(line.substr(eq + 1), nullptr, 16));
    }
    return controls_.count("main") != 0 && controls_.count("custom") != 0;
  }

  Hwnd operator[](const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? 0 : it->second;
  }

  // Runs the loop until `done` holds or `ms` milliseconds have passed (a timer wakes the loop
  // to look again). True when `done` held.
  bool WaitFor(const std::function<bool()>& done, std::uint32_t ms = 15000) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    const TimerId timer = loop_.SetTimer(10, [] {});
    loop_.RunUntil([&] { return done() || GetTickCount64() > deadline; });
    loop_.KillTimer(timer);
    return done();
  }

  // Appends a command for the target; with `wait`, waits until the target has run it.
  bool Command(const std::string& line, bool wait = true) {
    std::ofstream(dir_ + "\\commands.txt", std::ios::app | std::ios::binary) << line << "\n";
    const int number = ++commands_;
    if (!wait) return true;
    const std::string want = "done " + std::to_string(number);
    const bool ok = WaitFor([&] {
      std::ifstream in(dir_ + "\\done.txt");
      std::string l;
      while (std::getline(in, l)) {
        if (l == want) return true;
      }
      return false;
    });
    if (!ok) Check(false, "the target ran \"" + line + "\"");
    return ok;
  }

  void Touch(const std::string& name) { std::ofstream(dir_ + "\\" + name) << "1\n"; }

  Win32EventLoop& Loop() { return loop_; }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
  std::map<std::string, Hwnd> controls_;
  int commands_ = 0;
  Win32EventLoop loop_;
};

// ---- msaa ----
void RunMsaa(Probe& probe) {
  Win32Accessibility access;
  Win32WindowSystem windows;
  const Hwnd edit = probe["edit"];
  const Hwnd custom = probe["custom"];

  std::vector<WinEvent> events;
  int depth = 0;
  int maxDepth = 0;
  AccessiblePtr list;  // the callback reads through it: a cross-process call inside a callback
  std::vector<std::u16string> namesInCallback;
  const WinEventHook hook =
      access.SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, [&](const WinEvent& e) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        events.push_back(e);
        if (list && e.hwnd == custom && e.idChild > 0) {
          namesInCallback.push_back(list->Name(e.idChild).value_or(u"?"));
        }
        --depth;
      });
  Check(hook != 0, "SetWinEventHook");
  auto seen = [&](std::uint32_t event, Hwnd w, std::int32_t child) {
    for (const WinEvent& e : events) {
      if (e.event == event && e.hwnd == w && e.idChild == child) return true;
    }
    return false;
  };

  // Focus moves: Wine raises EVENT_OBJECT_FOCUS for a standard control itself.
  probe.Command("focus button");
  probe.Command("focus edit");
  Check(probe.WaitFor([&] { return seen(EVENT_OBJECT_FOCUS, edit, CHILDID_SELF); }),
        "EVENT_OBJECT_FOCUS from the target's edit");
  AccessibleChild focused;
  for (const WinEvent& e : events) {
    if (e.event == EVENT_OBJECT_FOCUS && e.hwnd == edit) {
      CheckEq(e.idObject, OBJID_CLIENT, "the edit's focus event is about its client object");
      focused = access.ObjectFromEvent(e.hwnd, e.idObject, e.idChild);
      break;
    }
  }
  Check(static_cast<bool>(focused), "ObjectFromEvent for the edit");
  if (focused) {
    CheckEq(focused.object->Role(focused.childId).value_or(-1), ROLE_SYSTEM_TEXT, "edit role");
    CheckText(focused.object->Name(focused.childId), u"Jméno:", "edit name from its label");
    CheckText(focused.object->Value(focused.childId), u"Dobrý den\r\nDruhý řádek", "edit value");
    const auto state = focused.object->State(focused.childId);
    Check(state && (*state & STATE_SYSTEM_FOCUSED) != 0, "edit state has FOCUSED");
    CheckEq(access.WindowFromObject(focused.object), edit, "WindowFromObject of the edit");
  }

  // The custom list: its own IAccessible, marshalled from the target.
  list = access.ObjectFromWindow(custom, OBJID_CLIENT);
  Check(list != nullptr, "ObjectFromWindow for the custom list");
  if (!list) return;
  CheckEq(list->Role(CHILDID_SELF).value_or(-1), ROLE_SYSTEM_LIST, "list role");
  CheckText(list->Name(CHILDID_SELF), u"Ovoce", "list name");
  CheckText(list->Value(CHILDID_SELF), u"Jablko", "list value (the current item)");
  CheckText(list->Description(CHILDID_SELF), u"Seznam ovoce", "list description");
  CheckEq(list->ChildCount().value_or(-1), 3, "list child count");
  const auto children = list->Children(0, 10);
  CheckEq(children.size(), std::size_t{3}, "Children(0, 10) gives three items");
  for (std::size_t i = 0; i < children.size(); ++i) {
    Check(children[i].object == list && children[i].childId == static_cast<std::int32_t>(i + 1),
          "child " + std::to_string(i + 1) + " is a child id of the list");
  }
  CheckEq(list->Role(2).value_or(-1), ROLE_SYSTEM_LISTITEM, "item role");
  CheckText(list->Name(2), u"Hruška", "item 2 name");
  CheckText(list->Name(3), u"Švestka", "item 3 name");
  Check(!list->Value(2), "an item has no value (the read fails)");
  CheckText(list->DefaultAction(1), u"Zaškrtnout", "item default action");
  const std::uint32_t state2 = list->State(2).value_or(0);
  Check((state2 & STATE_SYSTEM_CHECKED) != 0 && (state2 & STATE_SYSTEM_SELECTABLE) != 0 &&
            (state2 & STATE_SYSTEM_FOCUSABLE) != 0 && (state2 & STATE_SYSTEM_SELECTED) == 0,
        "item 2 state: checked, selectable, focusable, not selected");
  const std::uint32_t state1 = list->State(1).value_or(0);
  Check((state1 & STATE_SYSTEM_SELECTED) != 0 && (state1 & STATE_SYSTEM_CHECKED) == 0,
        "item 1 state: selected, not checked");
  Check(!list->Name(7), "a child id past the end gives no name");

  // Navigation.
  CheckEq(list->Navigate(NAVDIR_FIRSTCHILD, CHILDID_SELF).childId, 1, "first child");
  CheckEq(list->Navigate(NAVDIR_LASTCHILD, CHILDID_SELF).childId, 3, "last child");
  CheckEq(list->Navigate(NAVDIR_NEXT, 1).childId, 2, "next of item 1");
  CheckEq(list->Navigate(NAVDIR_PREVIOUS, 3).childId, 2, "previous of item 3");
  Check(!list->Navigate(NAVDIR_NEXT, 3), "nothing after the last item");

  // Places on the screen.
  const auto whole = list->Location(CHILDID_SELF);
  const auto item2 = list->Location(2);
  Check(whole && item2 && item2->Height() == 20 && item2->top >= whole->top &&
            item2->bottom <= whole->bottom && item2->left == whole->left,
        "item 2 lies inside the list, 20 pixels high");
  Rect windowRect;
  windows.GetWindowRect(custom, windowRect);
  Check(whole && whole->left >= windowRect.left && whole->right <= windowRect.right,
        "the list's location is inside its window");
  if (item2) {
    const std::int32_t x = item2->left + 10;
    const std::int32_t y = item2->top + 10;
    const AccessibleChild hit = list->HitTest(x, y);
    Check(hit.object == list && hit.childId == 2, "HitTest in item 2");
    const AccessibleChild atPoint = access.ObjectFromPoint(x, y + 20);
    Check(atPoint && atPoint.childId == 3 && atPoint.object->Name(3) == u"Švestka",
          "ObjectFromPoint in item 3");
  }
  const AccessiblePtr parent = list->Parent();
  Check(parent != nullptr, "the list has a parent");
  CheckEq(access.WindowFromObject(list), custom, "WindowFromObject of the list");
  Check(!access.RoleText(ROLE_SYSTEM_LIST).empty(), "RoleText of the list role");
  Check(!access.StateText(STATE_SYSTEM_CHECKED).empty(), "StateText of checked");
  std::printf("INFO: role text \"%s\", state text \"%s\"\n",
              Utf8(access.RoleText(ROLE_SYSTEM_LISTITEM)).c_str(),
              Utf8(access.StateText(STATE_SYSTEM_CHECKED)).c_str());

  // Actions, and the events the control raises for them.
  events.clear();
  Check(list->DoDefaultAction(1), "DoDefaultAction on item 1");
  Check(probe.WaitFor([&] { return seen(EVENT_OBJECT_STATECHANGE, custom, 1); }),
        "EVENT_OBJECT_STATECHANGE for item 1");
  Check((list->State(1).value_or(0) & STATE_SYSTEM_CHECKED) != 0, "item 1 is now checked");
  Check(list->Select(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, 3), "Select item 3");
  Check(probe.WaitFor([&] { return seen(EVENT_OBJECT_SELECTION, custom, 3); }),
        "EVENT_OBJECT_SELECTION for item 3");
  CheckText(list->Value(CHILDID_SELF), u"Švestka", "list value after Select");
  Check(probe.WaitFor([&] { return seen(EVENT_OBJECT_FOCUS, custom, 3); }),
        "EVENT_OBJECT_FOCUS for item 3 (the list took the focus)");
  AccessibleChild item = access.ObjectFromEvent(custom, OBJID_CLIENT, 3);
  Check(item && item.childId == 3 && item.object->Role(3) == ROLE_SYSTEM_LISTITEM,
        "ObjectFromEvent for a simple element gives the list and the child id");
  if (item) {
    const std::uint32_t s = item.object->State(3).value_or(0);
    Check((s & STATE_SYSTEM_FOCUSED) != 0 && (s & STATE_SYSTEM_SELECTED) != 0,
          "item 3 is focused and selected");
  }

  // The target's own command, and the events Wine does not raise but the control does.
  events.clear();
  namesInCallback.clear();
  probe.Command("custom 1");
  Check(probe.WaitFor([&] { return seen(EVENT_OBJECT_VALUECHANGE, custom, CHILDID_SELF); }),
        "EVENT_OBJECT_VALUECHANGE from the list");
  CheckText(list->Value(CHILDID_SELF), u"Hruška", "list value after the target moved");
  Check(!namesInCallback.empty() && namesInCallback.front() == u"Hruška",
        "a callback read the item's name across processes");
  CheckEq(maxDepth, 1, "WinEvent callbacks never nest");
  Check(access.UnhookWinEvent(hook), "UnhookWinEvent");
  Check(!access.UnhookWinEvent(hook), "a second UnhookWinEvent fails");
}

// ---- keys ----
// What the gate saw, written on the hook thread into room set aside beforehand (the gate may
// not allocate or wait) and published through the count; read on the main thread.
class GatedKeys {
 public:
  static constexpr std::size_t kRoom = 1024;
  void Add(const KeyMoment& moment, double atMs) {
    const std::size_t n = count_.load(std::memory_order_relaxed);
    if (n >= kRoom) return;
    keys_[n] = moment;
    at_[n] = atMs;
    count_.store(n + 1, std::memory_order_release);
  }
  std::size_t Count() const { return count_.load(std::memory_order_acquire); }
  const KeyMoment& operator[](std::size_t i) const { return keys_[i]; }
  double At(std::size_t i) const { return at_[i]; }
  // The first key below Count() with this code and direction, or kRoom.
  std::size_t Find(std::uint32_t vk, bool up, std::size_t from = 0) const {
    const std::size_t n = Count();
    for (std::size_t i = from; i < n; ++i) {
      if (keys_[i].key.vkCode == vk && ((keys_[i].key.flags & LLKHF_UP) != 0) == up) return i;
    }
    return kRoom;
  }

 private:
  std::array<KeyMoment, kRoom> keys_{};
  std::array<double, kRoom> at_{};
  std::atomic<std::size_t> count_{0};
};

struct DeliveredKey {
  KeyMoment moment;
  KeyVerdict verdict = KeyVerdict::kPass;
  DWORD thread = 0;
  double atMs = 0;
};

bool SameKey(const KeyMoment& a, const KeyMoment& b) {
  return a.key.vkCode == b.key.vkCode && a.key.flags == b.key.flags && a.key.time == b.key.time &&
         a.key.scanCode == b.key.scanCode && a.shift == b.shift && a.ctrl == b.ctrl &&
         a.lockToggled == b.lockToggled;
}

// The deliveries are the gated keys, one for one, in their order, on `thread`.
void CheckDeliveries(const GatedKeys& gated, const std::vector<DeliveredKey>& delivered,
                     DWORD thread, const std::string& what) {
  CheckEq(delivered.size(), gated.Count(), what + ": one delivery for each key the gate saw");
  bool ordered = delivered.size() == gated.Count();
  bool onThread = true;
  for (std::size_t i = 0; i < delivered.size() && i < gated.Count(); ++i) {
    ordered = ordered && SameKey(delivered[i].moment, gated[i]);
    onThread = onThread && delivered[i].thread == thread;
  }
  Check(ordered, what + ": the deliveries come in the order the gate saw the keys");
  Check(onThread, what + ": every delivery runs on the probe's main thread");
}

double MsSince(std::chrono::steady_clock::time_point origin) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - origin)
      .count();
}

void RunKeys(Probe& probe) {
  Win32Keyboard keyboard;
  Win32WindowSystem windows;
  const Hwnd edit = probe["edit"];
  const DWORD mainThread = GetCurrentThreadId();
  const auto origin = std::chrono::steady_clock::now();
  probe.Command("settext edit ");
  probe.Command("focus edit");

  GatedKeys gated;
  std::vector<DeliveredKey> delivered;
  const KeyboardHook hook = keyboard.SetLowLevelHook(
      [&](const KeyMoment& m) {
        // Only records and decides: the gate never waits for anything.
        gated.Add(m, MsSince(origin));
        return m.key.vkCode == 'Q' ? KeyVerdict::kSwallow : KeyVerdict::kPass;
      },
      [&](const KeyMoment& m, KeyVerdict v) {
        delivered.push_back({m, v, GetCurrentThreadId(), MsSince(origin)});
      });
  Check(hook != 0, "SetLowLevelHook");
  probe.Touch("probe-hooked");

  auto find = [&](std::uint32_t vk, bool up) -> const KeyMoment* {
    const std::size_t i = gated.Find(vk, up);
    return i < gated.Count() ? &gated[i] : nullptr;
  };
  Check(probe.WaitFor([&] { return find('C', true) != nullptr; }, 30000),
        "the hook saw the typed keys up to the release of C");
  const KeyMoment* a = find('A', false);
  Check(a != nullptr && (a->key.flags & LLKHF_INJECTED) == 0,
        "the hook saw A pressed (typed, not injected)");
  if (a) {
    CheckEq(a->key.scanCode, 0x1Eu, "scan code of A");
    Check(!a->shift && !a->ctrl, "Shift and Ctrl were up at A");
    Check(!a->lockToggled, "A is no lock key: no lock state");
  }
  Check(find('A', true) != nullptr, "the hook saw A released (LLKHF_UP)");
  Check(find('Q', false) && find('Q', true), "the hook saw Q pressed and released");
  Check(find(VK_LSHIFT, false) != nullptr || find(VK_SHIFT, false) != nullptr,
        "the hook saw Shift");
  const KeyMoment* c = find('C', false);
  Check(c != nullptr && c->shift, "the moment of C has Shift down");
  Check(probe.WaitFor([&] { return windows.SendGetText(edit, 100) == u"abC"; }),
        "the edit got \"abC\": Q was swallowed (got \"" + Utf8(windows.SendGetText(edit, 100)) +
            "\")");

  // The deliveries, once the main thread takes its messages.
  probe.WaitFor([&] { return delivered.size() >= gated.Count(); }, 5000);
  CheckDeliveries(gated, delivered, mainThread, "typed keys");
  bool swallowedQ = false;
  bool passedA = false;
  for (const DeliveredKey& k : delivered) {
    if (k.moment.key.vkCode == 'Q') swallowedQ = k.verdict == KeyVerdict::kSwallow;
    if (k.moment.key.vkCode == 'A') passedA = k.verdict == KeyVerdict::kPass;
  }
  Check(swallowedQ && passedA, "Q is delivered as swallowed, A as passed");

  // SendInput reaches the target through the hook, marked as injected.
  const std::uint32_t sent =
      keyboard.SendInput({Input::Key('D', 0), Input::Key('D', KEYEVENTF_KEYUP)});
  CheckEq(sent, 2u, "SendInput inserted two records");
  Check(probe.WaitFor([&] { return find('D', true) != nullptr; }), "the hook saw D");
  const KeyMoment* d = find('D', false);
  Check(d != nullptr && (d->key.flags & LLKHF_INJECTED) != 0, "D is marked injected");
  Check(probe.WaitFor([&] { return windows.SendGetText(edit, 100) == u"abCd"; }),
        "the edit got the injected d");
  probe.WaitFor([&] { return delivered.size() >= gated.Count(); }, 5000);
  CheckDeliveries(gated, delivered, mainThread, "with the injected key");
  Check(keyboard.Unhook(hook), "Unhook");
  Check(!keyboard.Unhook(hook), "a second Unhook fails");

  // Translation.
  CheckEq(keyboard.MapVirtualKey('A', MAPVK_VK_TO_CHAR), std::uint32_t{'A'}, "VK_TO_CHAR of A");
  CheckEq(keyboard.MapVirtualKey('A', MAPVK_VK_TO_VSC), 0x1Eu, "VK_TO_VSC of A");
  KeyboardState state{};
  std::uint16_t ch = 0;
  const KeyboardLayout layout = keyboard.GetKeyboardLayout(0);
  CheckEq(keyboard.ToAsciiEx('A', 0x1E, state, ch, 0, layout), 1, "ToAsciiEx of A");
  CheckEq(ch, std::uint16_t{'a'}, "ToAsciiEx gives a");
  state[VK_SHIFT] = 0x80;
  keyboard.ToAsciiEx('A', 0x1E, state, ch, 0, layout);
  CheckEq(ch, std::uint16_t{'A'}, "ToAsciiEx with Shift gives A");
  MouseParams mouse;
  Check(keyboard.GetMouseParams(mouse), "GetMouseParams");
}

// ---- busykeys ----
// The edit's text as another thread of the probe reads it, each change with its time.
class TextWatcher {
 public:
  TextWatcher(Hwnd edit, std::chrono::steady_clock::time_point origin)
      : thread_([this, edit, origin] {
          std::u16string last;
          while (running_.load()) {
            wchar_t buffer[256] = {};
            DWORD_PTR copied = 0;
            if (SendMessageTimeoutW(win32::ToHwnd(edit), WM_GETTEXT, 256,
                                    reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 500,
                                    &copied) != 0) {
              std::u16string text = win32::FromWide(buffer, copied);
              if (text != last) {
                std::lock_guard<std::mutex> lock(mutex_);
                changes_.push_back({MsSince(origin), text});
                last = std::move(text);
              }
            }
            Sleep(5);
          }
        }) {}
  ~TextWatcher() { Stop(); }
  void Stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
  }
  // When the text first was `want`, or -1.
  double FirstAt(const std::u16string& want) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [at, text] : changes_) {
      if (text == want) return at;
    }
    return -1;
  }
  std::u16string Last() {
    std::lock_guard<std::mutex> lock(mutex_);
    return changes_.empty() ? std::u16string() : changes_.back().second;
  }

 private:
  std::atomic<bool> running_{true};
  std::mutex mutex_;
  std::vector<std::pair<double, std::u16string>> changes_;
  std::thread thread_;
};

// The text tests/wine/busy_keyboard_e2e.sh types while the main thread is busy; its last key, z,
// waits for its delivery. The script types x once the main thread is free.
constexpr char16_t kBusyTyped[] = u"keys go on when busyz";

void RunBusyKeys(Probe& probe) {
  Win32Keyboard keyboard;
  Win32WindowSystem windows;
  const Hwnd edit = probe["edit"];
  const DWORD mainThread = GetCurrentThreadId();
  const auto origin = std::chrono::steady_clock::now();
  probe.Command("settext edit ");
  probe.Command("focus edit");

  GatedKeys gated;
  std::vector<DeliveredKey> delivered;
  const KeyboardHook hook = keyboard.SetLowLevelHook(
      [&](const KeyMoment& m) {
        gated.Add(m, MsSince(origin));
        const bool press = (m.key.flags & LLKHF_UP) == 0;
        return press && (m.key.vkCode == 'Z' || m.key.vkCode == 'X') ? KeyVerdict::kPassAfterHandled
                                                                     : KeyVerdict::kPass;
      },
      [&](const KeyMoment& m, KeyVerdict v) {
        delivered.push_back({m, v, GetCurrentThreadId(), MsSince(origin)});
      });
  Check(hook != 0, "SetLowLevelHook");
  TextWatcher watcher(edit, origin);
  probe.Touch("probe-hooked");

  // Busy without taking messages: two seconds from the first key, so that a slow start of the
  // typing does not use them up.
  const double hookedAt = MsSince(origin);
  while (gated.Count() == 0 && MsSince(origin) - hookedAt < 30000) Sleep(1);
  const double busyFrom = MsSince(origin);
  while (MsSince(origin) - busyFrom < 2000) Sleep(10);
  const double busyUntil = MsSince(origin);
  const std::size_t gatedWhileBusy = gated.Count();
  std::printf("INFO: busy from %.0f ms to %.0f ms; %zu key events passed the gate meanwhile\n",
              busyFrom, busyUntil, gatedWhileBusy);
  Check(gatedWhileBusy > 0, "the hook saw keys while the main thread was busy");
  Check(delivered.empty(), "nothing was delivered while the main thread took no messages");
  const double fullAt = watcher.FirstAt(kBusyTyped);
  std::printf("INFO: the edit had the whole text at %.0f ms\n", fullAt);
  Check(fullAt >= 0 && fullAt < busyUntil,
        "the edit had the whole text while the main thread was still busy (last seen \"" +
            Utf8(watcher.Last()) + "\")");
  // Caps Lock twice before the text: off before the first press, on before the second.
  const std::size_t caps1 = gated.Find(VK_CAPITAL, false);
  const std::size_t caps2 = gated.Find(VK_CAPITAL, false, caps1 + 1);
  Check(caps1 < gatedWhileBusy && caps2 < gatedWhileBusy && !gated[caps1].lockToggled &&
            gated[caps2].lockToggled,
        "Caps Lock was off before its first press and on before its second");
  const std::size_t zDown = gated.Find('Z', false);
  const std::size_t zUp = gated.Find('Z', true);
  Check(zDown < gatedWhileBusy && zUp < gatedWhileBusy,
        "the hook saw z pressed and released while the main thread was busy");
  if (zDown < gatedWhileBusy && zUp < gatedWhileBusy) {
    // The release reaches the hook only once the press has passed; so does the z in the edit.
    const double held = gated.At(zUp) - gated.At(zDown);
    const double arrived = watcher.FirstAt(kBusyTyped) - gated.At(zDown);
    std::printf("INFO: z held %.0f ms in the hook, in the edit %.0f ms after the hook saw it\n",
                held, arrived);
    Check(held >= kHandledWaitMs - 20 && held <= 1000,
          "z (pass after its delivery) passed after about " + std::to_string(kHandledWaitMs) +
              " ms with the main thread busy, not later than 1 s");
    Check(arrived >= kHandledWaitMs - 20 && arrived <= 1000,
          "z reached the edit after the wait, within 1 s");
  }
  watcher.Stop();

  // The main thread is free: every key is delivered, in order, and a held key now passes as
  // soon as it is delivered.
  probe.Touch("probe-free");
  Check(probe.WaitFor([&] { return gated.Find('X', true) < gated.Count(); }, 30000),
        "the hook saw x typed after the main thread was free");
  Check(probe.WaitFor([&] { return delivered.size() >= gated.Count(); }, 5000),
        "every key was delivered once the main thread took its messages");
  CheckDeliveries(gated, delivered, mainThread, "busy typing");
  bool afterBusy = true;
  for (const DeliveredKey& k : delivered) afterBusy = afterBusy && k.atMs >= busyUntil;
  Check(afterBusy, "the deliveries ran after the busy time");
  for (const DeliveredKey& k : delivered) {
    if (k.moment.key.vkCode == 'Z' && (k.moment.key.flags & LLKHF_UP) == 0) {
      Check(k.verdict == KeyVerdict::kPassAfterHandled, "z is delivered with its verdict");
    }
  }
  const std::size_t xDown = gated.Find('X', false);
  const std::size_t xUp = gated.Find('X', true);
  if (xDown < gated.Count() && xUp < gated.Count()) {
    double deliveredAt = -1;
    for (const DeliveredKey& k : delivered) {
      if (SameKey(k.moment, gated[xDown])) deliveredAt = k.atMs;
    }
    const double held = gated.At(xUp) - gated.At(xDown);
    std::printf("INFO: x held %.1f ms in the hook with the main thread free\n", held);
    Check(deliveredAt >= 0 && deliveredAt < gated.At(xUp),
          "x was delivered before its release reached the hook");
    Check(held < kHandledWaitMs, "x passed when it was delivered, before the wait ran out");
  }
  Check(probe.WaitFor(
            [&] { return windows.SendGetText(edit, 100) == std::u16string(kBusyTyped) + u"x"; }),
        "the edit got x too");
  Check(keyboard.Unhook(hook), "Unhook");
}

// ---- edit ----
void RunEdit(Probe& probe) {
  Win32WindowSystem windows;
  const Hwnd main = probe["main"];
  const Hwnd edit = probe["edit"];
  const Hwnd rich = probe["rich"];

  // Windows and their properties.
  CheckText(windows.GetClassName(edit), u"Edit", "class of the edit");
  CheckText(windows.GetClassName(edit, 3), u"Ed", "class name cut to the buffer");
  CheckText(windows.GetClassName(rich), u"RichEdit20W", "class of the rich edit");
  CheckText(windows.GetWindowText(main), u"Quellon Test Target", "title of the main window");
  CheckEq(windows.GetWindowTextLength(main), 19, "title length");
  CheckEq(windows.GetParent(edit), main, "parent of the edit");
  CheckEq(windows.GetParent(main), Hwnd{0}, "a top-level window has no parent");
  Check((windows.GetWindowLong(edit, GWL_STYLE) & static_cast<std::int32_t>(ES_MULTILINE)) != 0,
        "the edit's style is multi-line");
  Check(windows.IsWindow(edit) && windows.IsWindowVisible(edit) && !windows.IsIconic(main),
        "the edit is a visible window");
  std::vector<Hwnd> children;
  windows.EnumChildWindows(main, [&](Hwnd w) {
    children.push_back(w);
    return true;
  });
  auto has = [&](Hwnd w) {
    return std::find(children.begin(), children.end(), w) != children.end();
  };
  Check(has(edit) && has(rich) && has(probe["custom"]), "EnumChildWindows finds the controls");
  int visited = 0;
  windows.EnumChildWindows(main, [&](Hwnd) { return ++visited < 2; });
  CheckEq(visited, 2, "EnumChildWindows stops when the callback says so");
  std::uint32_t process = 0;
  const ThreadId thread = windows.GetWindowThreadProcessId(edit, &process);
  CheckEq(thread, windows.GetWindowThreadProcessId(main), "edit and main window share a thread");
  Check(process != 0 && process != GetCurrentProcessId(), "the target is another process");

  // The edit messages.
  const std::u16string text = u"Dobrý den\r\nDruhý řádek";
  CheckEq(windows.SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), LResult{22}, "WM_GETTEXTLENGTH");
  CheckText(windows.SendGetText(edit, 100), text, "WM_GETTEXT");
  CheckText(windows.SendGetText(edit, 5), u"Dobr", "WM_GETTEXT into 5 characters");
  CheckText(windows.GetWindowText(edit), u"", "GetWindowText of another program's edit");
  probe.Command("select edit 3 7");
  std::int32_t start = -1;
  std::int32_t end = -1;
  const LResult packed = windows.SendGetSel(edit, &start, &end);
  CheckEq(start, 3, "EM_GETSEL start");
  CheckEq(end, 7, "EM_GETSEL end");
  CheckEq(packed, LResult{3 | (7 << 16)}, "EM_GETSEL result");
  CheckEq(windows.SendMessage(edit, EM_GETSEL, 0, 0), LResult{3 | (7 << 16)},
          "EM_GETSEL without pointers");
  CheckEq(windows.SendMessage(edit, EM_GETLINECOUNT, 0, 0), LResult{2}, "EM_GETLINECOUNT");
  CheckEq(windows.SendMessage(edit, EM_LINEFROMCHAR, 13, 0), LResult{1}, "EM_LINEFROMCHAR 13");
  CheckEq(windows.SendMessage(edit, EM_LINEINDEX, 1, 0), LResult{11}, "EM_LINEINDEX 1");
  CheckEq(windows.SendMessage(edit, EM_LINEINDEX, static_cast<WParam>(-1), 0), LResult{0},
          "EM_LINEINDEX -1 (the caret's line)");
  CheckEq(windows.SendMessage(edit, EM_LINELENGTH, 11, 0), LResult{11}, "EM_LINELENGTH");
  probe.Command("select edit 15 15");
  CheckEq(windows.SendMessage(edit, EM_LINEINDEX, static_cast<WParam>(-1), 0), LResult{11},
          "EM_LINEINDEX -1 on the second line");

  // The rich edit counts a line break as one character.
  CheckEq(windows.SendMessage(rich, EM_LINEINDEX, 1, 0), LResult{12}, "rich EM_LINEINDEX 1");
  CheckEq(windows.SendMessage(rich, EM_LINEFROMCHAR, 13, 0), LResult{1}, "rich EM_LINEFROMCHAR");
  std::printf("INFO: rich WM_GETTEXT \"%s\"\n", Utf8(windows.SendGetText(rich, 100)).c_str());
  probe.Command("select rich 2 5");
  start = end = -1;
  windows.SendGetSel(rich, &start, &end);
  Check(start == 2 && end == 5, "rich EM_GETSEL");

  // The caret.
  probe.Command("focus edit");
  GuiThreadInfo info;
  auto caretAt = [&](int index, Rect& rect) {
    probe.Command("select edit " + std::to_string(index) + " " + std::to_string(index));
    const bool ok = windows.GetGUIThreadInfo(thread, info);
    rect = info.caretRect;
    return ok && info.caret == edit && info.focus == edit;
  };
  Rect at0;
  Rect at3;
  Rect at13;
  Check(caretAt(0, at0), "GetGUIThreadInfo: focus and caret in the edit");
  CheckEq(info.active, main, "GetGUIThreadInfo: the main window is active");
  Check(caretAt(3, at3), "caret at 3");
  Check(caretAt(13, at13), "caret at 13");
  std::printf("INFO: caret at 0 (%d,%d,%d,%d), at 3 (%d,%d,%d,%d), at 13 (%d,%d,%d,%d)\n", at0.left,
              at0.top, at0.right, at0.bottom, at3.left, at3.top, at3.right, at3.bottom, at13.left,
              at13.top, at13.right, at13.bottom);
  Check(at0.Height() > 5 && at0.Width() >= 1 && at0.left >= 0 && at0.left < 8 && at0.top >= 0 &&
            at0.top < 8,
        "caret at 0 sits at the edit's top left");
  Check(at3.left > at0.left + 10 && at3.top == at0.top, "caret at 3 lies right of it, same line");
  Check(at13.top >= at0.bottom && at13.left > at0.left && at13.left < at3.left,
        "caret at 13 (line 2, after two letters) lies one line lower");
  GuiThreadInfo foreground;
  Check(windows.GetGUIThreadInfo(0, foreground) && foreground.focus == edit,
        "GetGUIThreadInfo of the foreground thread");
  CheckEq(windows.GetForegroundWindow(), main, "the target is in the foreground");

  // Messages, metrics, version.
  const std::uint32_t m1 = windows.RegisterWindowMessage(u"QuellonProbeMessage");
  Check(m1 >= 0xC000 && m1 == windows.RegisterWindowMessage(u"QuellonProbeMessage"),
        "RegisterWindowMessage gives the same number for the same name");
  CheckEq(windows.GetSystemMetrics(SM_CXSCREEN), 1280, "screen width (the virtual desktop)");
  const OsVersion version = windows.GetVersion();
  Check(version.platformId == 2 && version.major >= 5, "GetVersion: the NT family");
  Point cursor;
  Check(windows.SetCursorPos(200, 150) && windows.GetCursorPos(cursor) && cursor == Point{200, 150},
        "SetCursorPos and GetCursorPos");

  // Clipboard, sounds, the system voice.
  Win32Clipboard clipboard;
  Check(clipboard.SetText(u"Žluťoučký kůň\r\núpěl"), "clipboard SetText");
  CheckText(clipboard.GetText(), u"Žluťoučký kůň\r\núpěl", "clipboard GetText");
  Win32SoundPlayer sounds;
  Check(!sounds.PlaySoundFile("Z:\\nonexistent\\none.wav", SND_SYNC),
        "PlaySoundFile of a missing file fails");
  Win32SystemVoiceFactory voices;
  auto voice = voices.CreateVoice();
  Check(voice != nullptr, "SAPI voice object");
  if (voice) {
    const auto names = voice->GetVoices();
    Check(!names.empty(), "SAPI lists a voice");
    if (!names.empty()) std::printf("INFO: first voice \"%s\"\n", Utf8(names[0]).c_str());
    Check(voice->SetVoice(names.size()) < 0, "SetVoice past the list fails");
  }
  // Wine has no HTML control: only the refusal of a window that is no document can be seen.
  Win32HtmlPlatform html;
  Check(html.GetHtmlDocument(edit, 500) == nullptr, "an edit control is no HTML document");
}

// ---- web ----
class SilentSound : public SoundPlayer {
 public:
  bool PlaySoundFile(const std::filesystem::path&, std::uint32_t) override { return false; }
};

void RunWeb(Probe& probe) {
  Win32Accessibility access;  // COM on this thread, as in the program
  Win32WindowSystem windows;
  Win32HtmlPlatform html;
  probe.Command("webpage");
  Hwnd page = 0;
  {
    std::ifstream in(probe.Dir() + "\\webpage.txt");
    std::string line;
    if (std::getline(in, line) && !line.empty())
      page = static_cast<Hwnd>(std::stoull(line, nullptr, 16));
  }
  Check(page != 0, "the target opened its web page");
  if (page == 0) return;
  std::shared_ptr<HtmlDocument> doc = html.GetHtmlDocument(page, 1000);
  Check(doc != nullptr, "GetHtmlDocument of the page (WM_HTML_GETOBJECT, ObjectFromLresult)");
  if (!doc) return;

  std::unique_ptr<HtmlTextRange> range = doc->CreateSelectionRange();
  Check(range != nullptr, "createRange of the selection");
  if (!range) return;
  Check(range->Expand(u"word"), "expand(\"word\")");
  CheckText(range->Text(), u"Dobrý ", "the word at the caret");
  CheckEq(range->Move(u"character", 3), 3, "move(\"character\", 3)");
  Check(range->Expand(u"character"), "expand(\"character\")");
  CheckText(range->Text(), u"r", "the character after the move");

  // One range handed to another as an argument, across the processes.
  std::unique_ptr<HtmlTextRange> r = doc->CreateSelectionRange();
  std::unique_ptr<HtmlTextRange> a = doc->CreateSelectionRange();
  std::unique_ptr<HtmlTextRange> b = doc->CreateSelectionRange();
  Check(r && a && b && a->MoveToPoint(0, 24) && b->MoveToPoint(96, 24), "moveToPoint");
  if (r && a && b) {
    Check(r->SetEndPoint(u"StartToStart", *a) && r->SetEndPoint(u"EndToStart", *b),
          "setEndPoint with another range");
    CheckText(r->Text(), u"Druhý řádek ", "the text between two points");
  }
  std::unique_ptr<HtmlElement> element = doc->ElementFromPoint(4, 20);
  Check(element != nullptr, "elementFromPoint");
  if (element) {
    CheckText(element->TagName(), u"TEXTAREA", "tagName in capitals");
    const Rect box = element->BoundingClientRect();
    Check(box == Rect{0, 16, 96, 32}, "getBoundingClientRect() (got " + std::to_string(box.left) +
                                          " " + std::to_string(box.top) + " " +
                                          std::to_string(box.right) + " " +
                                          std::to_string(box.bottom) + ")");
    CheckEq(element->ClientWidth(), 96, "clientWidth");
    CheckEq(element->ClientLeft(), 0, "clientLeft");
  }

  // The web reader over the Windows ports: the page moves its caret, then the reader reads.
  quellon::core::ProgramState state;
  state.Focus.FocusHwnd = page;
  std::vector<std::u16string> log;
  quellon::FakeEngine engine{log};
  const quellon::strings::StringTable table = quellon::strings::StringTable::Loaded(false);
  SilentSound sound;
  quellon::core::SpeechOutput output{state, engine, table, sound};
  quellon::access::modIE reader{state, windows, html, output};
  auto said = [&](std::u16string_view text) {
    const std::u16string spoken = text.size() == 1 ? table.CharName(text) : std::u16string(text);
    return std::vector<std::u16string>{quellon::ApplyDictionary(engine.Dictionary(), spoken)};
  };
  auto key = [&](std::uint32_t vk) {
    PostMessageW(win32::ToHwnd(page), WM_KEYDOWN, vk, 1);
    probe.WaitFor([] { return false; }, 200);
    log.clear();
  };
  key(VK_RIGHT);
  reader.ReadWebCaret(VK_RIGHT, 6);
  Check(engine.Said() == said(u"o"), "Right: the character at the caret");
  log.clear();
  reader.ReadWebCaret(VK_RIGHT, 2);
  Check(engine.Said() == said(u"Dobrý "), "Ctrl+Right: the word at the caret");
  key(VK_DOWN);
  reader.ReadWebLine();
  Check(engine.Said() == said(u"Druhý řádek "), "Down: the text area's line within its width");
  log.clear();
  reader.ReadWebCaret(VK_BACK, 6);
  Check(engine.Said() == said(u"D"), "Backspace: the character remembered before the caret");
}

// ---- hang ----
void RunHang(Probe& probe) {
  Win32WindowSystem windows;
  Win32Accessibility access;
  const Hwnd edit = probe["edit"];
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QuellonTargetRelease");
  HANDLE hung = CreateEventW(nullptr, TRUE, FALSE, L"QuellonTargetHung");
  ResetEvent(release);
  ResetEvent(hung);
  probe.Command("hang", false);
  Check(WaitForSingleObject(hung, 30000) == WAIT_OBJECT_0, "the target stopped answering");
  // Each of these would block for as long as the target hangs; bounded, they give up.
  CheckText(windows.SendGetText(edit, 100), u"", "WM_GETTEXT to a hung window gives nothing");
  CheckEq(windows.SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), LResult{0},
          "WM_GETTEXTLENGTH to a hung window gives 0");
  std::int32_t start = -7;
  std::int32_t end = -7;
  CheckEq(windows.SendGetSel(edit, &start, &end), LResult{0}, "EM_GETSEL to a hung window");
  Check(start == -7 && end == -7, "EM_GETSEL leaves the out values alone");
  Check(access.ObjectFromWindow(probe["custom"], OBJID_CLIENT) == nullptr,
        "no accessible object from a hung window");
  CheckText(windows.GetWindowText(probe["main"]), u"Quellon Test Target",
            "GetWindowText still answers (it sends nothing)");
  SetEvent(release);
  Check(probe.WaitFor([&] { return windows.SendMessage(edit, WM_GETTEXTLENGTH, 0, 0) == 22; }),
        "the target answers again after it was released");
  CloseHandle(hung);
  CloseHandle(release);
}

// A call into the target that hangs inside the target (the custom control's accName, armed by
// "hangcall"; a second thread releases the target after 4 s): once the call has run past its
// one-second bound the watchdog has the call filter cancel it, and where that does not end the
// wait (Wine's COM waits on for the reply), cancels the call of the thread that waits for the
// reply on its next round; either way the call gives no name well before the target answers
// again. The calls after it are refused at once; once the target answers pings again it is
// asked again, and its answers are its own (no late reply of the cancelled call is taken for
// the answer of a later one).
void RunHangCall(Probe& probe) {
  Win32Accessibility access;
  const AccessiblePtr custom = access.ObjectFromWindow(probe["custom"], OBJID_CLIENT);
  Check(custom != nullptr, "the custom control's object");
  if (!custom) return;
  CheckText(custom->Name(CHILDID_SELF).value_or(u"(none)"), u"Ovoce", "its name before the hang");
  const std::optional<std::int32_t> role = custom->Role(CHILDID_SELF);
  Check(role.has_value(), "its role before the hang");
  probe.Command("hangcall");
  std::thread release([&probe] {
    Sleep(4000);
    probe.Touch("release");
  });
  auto timed = [&] {
    const ULONGLONG start = GetTickCount64();
    const bool answered = custom->Name(CHILDID_SELF).has_value();
    return std::make_pair(answered, GetTickCount64() - start);
  };
  const auto [first, firstMs] = timed();
  std::printf("INFO: the call that hangs returned after %llu ms\n", firstMs);
  Check(!first, "the call that hangs is cancelled: no name");
  // The bound (1 s), two rounds of the watchdog (250 ms each) and room for a loaded machine.
  Check(firstMs < 2500,
        "the call that hangs returns within its bound, long before the target does");
  const auto [second, secondMs] = timed();
  std::printf("INFO: the next call returned after %llu ms\n", secondMs);
  Check(!second && secondMs < 50, "the next call is refused at once");
  release.join();
  Check(probe.WaitFor([&] { return custom->Role(CHILDID_SELF).has_value(); }, 5000),
        "the target is asked again once it answers");
  Check(custom->Role(CHILDID_SELF) == role, "its role after the hang is its own");
  CheckText(custom->Name(CHILDID_SELF).value_or(u"(none)"), u"Ovoce", "its name after the hang");
}

constexpr char16_t kQuellonTyped[] = u"typed while quellon is busy";

// Quellon.exe (started with QUELLON_TEST_BUSY=1) is asked to keep its main thread busy for two
// seconds, and the script types into the target's edit meanwhile: the text must arrive complete
// while Quellon is still busy, because its keyboard hook never waits for its main thread.
void RunBusyQuellon(Probe& probe) {
  const Hwnd edit = probe["edit"];
  const auto origin = std::chrono::steady_clock::now();
  probe.Command("settext edit ");
  probe.Command("focus edit");
  HWND quellon = nullptr;
  probe.WaitFor([&] { return (quellon = FindWindowW(L"QuellonMain", nullptr)) != nullptr; }, 30000);
  Check(quellon != nullptr, "Quellon's main window is there");
  if (quellon == nullptr) return;
  TextWatcher watcher(edit, origin);
  constexpr UINT kTestBusyMessage = 0x80F0;  // Quellon.exe's test-only busy message
  const double busyFrom = MsSince(origin);
  Check(PostMessageW(quellon, kTestBusyMessage, 2000, 0) != FALSE, "the busy message is posted");
  probe.Touch("probe-hooked");
  probe.WaitFor([&] { return watcher.FirstAt(kQuellonTyped) >= 0; }, 10000);
  const double fullAt = watcher.FirstAt(kQuellonTyped);
  std::printf("INFO: Quellon busy from %.0f ms; the edit had the whole text at %.0f ms\n", busyFrom,
              fullAt);
  Check(fullAt >= 0 && fullAt - busyFrom < 2000,
        "the whole text arrived while Quellon's main thread was still busy (last seen \"" +
            Utf8(watcher.Last()) + "\")");
  probe.Touch("probe-text-complete");
}

// Every visible dialog (class #32770) on the desktop: its title and its place (x,y,width,height
// on the screen), then one line per control with its class, its own text, and the name and role
// its accessible object gives. Needs no target.
int RunDialogs() {
  Win32Accessibility access;
  auto text = [](HWND h) {
    wchar_t buffer[512] = {};
    const int n = GetWindowTextW(h, buffer, 512);
    return Utf8(win32::FromWide(buffer, static_cast<std::size_t>(n > 0 ? n : 0)));
  };
  int dialogs = 0;
  for (HWND top = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); top != nullptr;
       top = FindWindowExW(nullptr, top, L"#32770", nullptr)) {
    if (!IsWindowVisible(top)) continue;
    ++dialogs;
    RECT place{};
    GetWindowRect(top, &place);
    std::printf("dialog\t%s\t%ld,%ld,%ld,%ld\n", text(top).c_str(), place.left, place.top,
                place.right - place.left, place.bottom - place.top);
    for (HWND c = GetWindow(top, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[64] = {};
      GetClassNameW(c, cls, 64);
      std::string name = "(none)", role = "(none)";
      if (const AccessiblePtr object = access.ObjectFromWindow(win32::FromHwnd(c), OBJID_CLIENT)) {
        if (const auto n = object->Name(CHILDID_SELF)) name = Utf8(*n);
        if (const auto r = object->Role(CHILDID_SELF)) role = std::to_string(*r);
      }
      std::printf("control\t%s\t%s\t%s\t%s\n", Utf8(win32::FromWide(cls)).c_str(), text(c).c_str(),
                  name.c_str(), role.c_str());
    }
  }
  return dialogs > 0 ? 0 : 1;
}

// ---- walk ----
void RunWalk(Probe& probe, int count, int walks) {
  Win32Accessibility access;  // COM on this thread, as in the program
  Win32WindowSystem windows;
  Win32Keyboard keyboard;
  Win32Profile profile;
  SilentSound sound;
  Win32SystemVoiceFactory voices;
  quellon::core::SystemLocalClock clock;
  WinmmWaveOut waveOut;
  Win32HtmlPlatform html;
  Win32Clipboard clipboard;
  const quellon::core::Ports ports{windows, access, keyboard, probe.Loop(), profile,  sound,
                                   voices,  clock,  waveOut,  html,         clipboard};
  quellon::core::ProgramState state;
  quellon::core::cSetting settings{profile};
  std::vector<std::u16string> log;
  quellon::FakeEngine engine{log};
  const quellon::strings::StringTable table = quellon::strings::StringTable::Loaded(false);
  quellon::core::SpeechOutput output{state, engine, table, sound};
  const quellon::core::Program program{
      ports, state, settings, table, engine, output, probe.Loop().CreateHiddenWindow()};

  probe.Command("bigpage " + std::to_string(count));
  Hwnd page = 0;
  {
    std::ifstream in(probe.Dir() + "\\bigpage.txt");
    std::string line;
    if (std::getline(in, line) && !line.empty()) {
      page = static_cast<Hwnd>(std::stoull(line, nullptr, 16));
    }
  }
  Check(page != 0, "the target opened its page of " + std::to_string(count) + " objects");
  if (page == 0) return;
  // As window reading mode lists a window.
  quellon::access::clsAAenum list{program};
  list.CreateItemList();
  list.SetIEprofile(true);
  list.SetReadInvisible(true);
  list.SetFilter(true);
  std::vector<double> ms;
  for (int i = 0; i < walks; ++i) {
    const auto start = std::chrono::steady_clock::now();
    list.DoUpdate(page, false);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
    std::printf("walk %d: %d objects listed in %.1f ms\n", i + 1, list.Count(), ms.back());
  }
  CheckEq(list.Count(), count, "every object of the page listed");
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double perObject = list.Count() > 0 ? median * 1000.0 / list.Count() : 0.0;
  std::printf(
      "walk: %d objects listed across processes in %.1f ms, %.1f us per object (median of %d "
      "walks; fastest %.1f ms, slowest %.1f ms)\n",
      list.Count(), median, perObject, walks, sorted.front(), sorted.back());
  // One question per object, for scale: the role of every listed item, asked again.
  std::vector<double> roleMs;
  for (int i = 0; i < walks; ++i) {
    const auto start = std::chrono::steady_clock::now();
    for (std::int32_t n = 1; n <= list.Count(); ++n) {
      if (const auto item = list.AAos.Item(n); item && item->pAcc) {
        item->pAcc->Role(item->VarT.value_or(CHILDID_SELF));
      }
    }
    roleMs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(roleMs.begin(), roleMs.end());
  const double roleMedian = roleMs[roleMs.size() / 2];
  std::printf(
      "one call (accRole) across processes: %.1f us (median of %d rounds over the %d "
      "items); a walk costs %.1f such calls per object\n",
      list.Count() > 0 ? roleMedian * 1000.0 / list.Count() : 0.0, walks, list.Count(),
      roleMedian > 0 ? median / roleMedian : 0.0);
  std::fflush(stdout);
  probe.Command("bigpage 0");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "dialogs") {
    return RunDialogs();
  }
  const bool walk = argc >= 3 && std::string(argv[1]) == "walk";
  if (argc != 3 && !(walk && argc <= 5)) {
    std::fprintf(stderr,
                 "usage: quellon-probe.exe "
                 "msaa|keys|busykeys|busyquellon|edit|hang|hangcall|web|walk DIR\n");
    return 2;
  }
  const std::string mode = argv[1];
  Probe probe(argv[2]);
  if (!probe.ReadReady()) {
    std::fprintf(stderr, "cannot read %s\\ready\n", argv[2]);
    return 1;
  }
  if (mode == "msaa") {
    RunMsaa(probe);
  } else if (mode == "keys") {
    RunKeys(probe);
  } else if (mode == "busykeys") {
    RunBusyKeys(probe);
  } else if (mode == "busyquellon") {
    RunBusyQuellon(probe);
  } else if (mode == "edit") {
    RunEdit(probe);
  } else if (mode == "hang") {
    RunHang(probe);
  } else if (mode == "hangcall") {
    RunHangCall(probe);
  } else if (mode == "web") {
    RunWeb(probe);
  } else if (mode == "walk") {
    const int count = argc >= 4 ? std::atoi(argv[3]) : 500;
    const int walks = argc >= 5 ? std::atoi(argv[4]) : 9;
    RunWalk(probe, count > 0 ? count : 500, walks > 0 ? walks : 9);
  } else {
    std::fprintf(stderr,
                 "usage: quellon-probe.exe "
                 "msaa|keys|busykeys|busyquellon|edit|hang|hangcall|web|walk DIR\n");
    return 2;
  }
  std::printf("%s: %d failed\n", g_failures == 0 ? "OK" : "FAILED", g_failures);
  return g_failures == 0 ? 0 : 1;
}
