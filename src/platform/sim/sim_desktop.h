// The simulated desktop: windows of other programs with classes, texts, styles and rectangles;
// edit and rich edit controls that answer the edit messages as Windows' own do; buttons, lists,
// menus, message boxes, progress bars and web documents; accessible trees; a keyboard with key
// state, the US and Czech layouts and their dead keys; a clipboard; a system voice, a sound
// player and an application-bar shell that record what they were asked. It implements every port
// of src/platform and runs on the simulated event loop's virtual clock.
//
// This header brings in the whole desktop. Each port has its own header (sim_window_system.h,
// sim_accessibility.h, sim_keyboard.h ...), and each control kind its own file (sim_button.cpp,
// sim_edit.cpp, sim_list_box.cpp ...), entered in the table of sim_control.cpp.
//
// A scenario in a few lines:
//   SimEventLoop loop;  SimDesktop desk(loop);
//   Hwnd note = desk.AddTopWindow(u"Notepad", u"Bez názvu - Poznámkový blok");
//   Hwnd edit = desk.AddEdit(note, u"ahoj světe", {.multiline = true});
//   desk.Focus(edit);          // EVENT_SYSTEM_FOREGROUND, then EVENT_OBJECT_FOCUS
//   desk.Tap(VK_RIGHT);        // hooks see it, then the edit moves its caret
//   loop.AdvanceBy(50'000);    // timers run; hook callbacks were delivered
//   EXPECT_EQ(desk.Voice().Spoken(), ...);
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_accessible.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_edit.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_html_document.h"
#include "platform/sim/sim_html_platform.h"
#include "platform/sim/sim_keyboard.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_sound_player.h"
#include "platform/sim/sim_system_voice.h"
#include "platform/sim/sim_window.h"
#include "platform/sim/sim_window_system.h"

namespace quellon::platform {

// ---- The desktop ----
class SimDesktop {
 public:
  explicit SimDesktop(SimEventLoop& loop);
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // The ports, to hand to the program.
  SimWindowSystem& Windows() { return windows_; }
  SimAccessibility& Access() { return access_; }
  SimKeyboard& Keys() { return keys_; }
  SimClipboard& ClipboardPort() { return clipboard_; }
  SimSystemVoice& Voice() { return voice_; }
  SimSoundPlayer& Sounds() { return sounds_; }
  SimShell& ShellPort() { return shell_; }
  SimHtmlPlatform& Html() { return html_; }
  SimEventLoop& Loop() { return loop_; }

  // ---- Building windows ----
  // A top-level window of another program (its own thread), visible, with a caption.
  Hwnd AddTopWindow(std::u16string className, std::u16string title, Rect rect = {});
  // A child window; `rect` is in screen coordinates (empty: placed below the previous child).
  Hwnd AddChild(Hwnd parent, std::u16string className, std::u16string text, std::uint32_t style = 0,
                Rect rect = {});
  Hwnd AddStatic(Hwnd parent, std::u16string text);
  Hwnd AddButton(Hwnd parent, std::u16string text, std::uint32_t buttonStyle = BS_PUSHBUTTON);
  Hwnd AddEdit(Hwnd parent, std::u16string_view text, EditOptions options = {});
  Hwnd AddListBox(Hwnd parent, std::vector<std::u16string> items);
  Hwnd AddProgressBar(Hwnd parent);
  // A window of class "Internet Explorer_Server" showing `document`.
  Hwnd AddWebView(Hwnd parent, std::shared_ptr<SimHtmlDocument> document);
  // A window of class "DirectUIHWND" (a view that draws its text itself and exposes only its
  // accessible objects); `rect` in screen coordinates. Its caret is set with SetDrawnCaret.
  Hwnd AddDirectUIView(Hwnd parent, Rect rect);
  // The caret the view draws, in its client coordinates (the caret of GetGUIThreadInfo while
  // it has the focus).
  void SetDrawnCaret(Hwnd w, Rect caret);
  // Registers one of the program's own windows (made by the event loop) as a top-level window
  // of the program's thread, so it can be found, titled and brought to the front.
  void AdoptProgramWindow(Hwnd w, std::u16string className, std::u16string title);
  void DestroyWindow(Hwnd w);

  SimWindow* Find(Hwnd w);
  SimEdit* Edit(Hwnd w);  // nullptr when w is no edit control
  Hwnd TopLevelOf(Hwnd w);
  void SetText(Hwnd w, std::u16string text);  // the window's text (an edit's contents)
  void SetVisible(Hwnd w, bool visible);
  void SetStyle(Hwnd w, std::uint32_t style);
  // Buttons: the check state (raises EVENT_OBJECT_STATECHANGE).
  void SetCheck(Hwnd button, bool checked);
  // Progress bars: the position in percent (raises EVENT_OBJECT_VALUECHANGE).
  void SetProgress(Hwnd bar, std::int32_t percent);
  // Replaces the accessible object the window gives for OBJID_CLIENT (as a program that answers
  // WM_GETOBJECT with its own IAccessible).
  void SetClientAccessible(Hwnd w, std::shared_ptr<SimAccessible> object);
  void SetMessageHandler(Hwnd w, SimMessageHandler handler);

  // ---- Focus and events, as Windows raises them ----
  // Activates the top-level window of `w` (EVENT_SYSTEM_FOREGROUND when it changes) and gives
  // `w` the keyboard focus (EVENT_OBJECT_FOCUS, OBJID_CLIENT, CHILDID_SELF).
  void Focus(Hwnd w);
  // Alt+Tab: EVENT_SYSTEM_SWITCHSTART, EVENT_SYSTEM_SWITCHEND, then as Focus.
  void SwitchTo(Hwnd w);
  // A list box moves its focus and selection: EVENT_OBJECT_FOCUS then EVENT_OBJECT_SELECTION,
  // both with child id index + 1.
  void SelectListItem(Hwnd list, std::int32_t index);
  // A menu: EVENT_SYSTEM_MENUSTART on the owner, EVENT_SYSTEM_MENUPOPUPSTART on a new popup
  // window (class "#32768"), then focus on the first item. Returns the popup window.
  Hwnd OpenMenu(Hwnd owner, std::vector<std::shared_ptr<SimAccessible>> items);
  // Focus on item `index` of the open menu (EVENT_OBJECT_FOCUS, OBJID_CLIENT, index + 1).
  void FocusMenuItem(std::int32_t index);
  // EVENT_SYSTEM_MENUPOPUPEND, EVENT_SYSTEM_MENUEND; the focus returns to where it was.
  void CloseMenu();
  // A message box of another program: a "#32770" dialog with an optional icon, the text as a
  // static, and its buttons; created, shown and activated with the focus on the first button
  // (EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_FOREGROUND,
  // EVENT_OBJECT_FOCUS). Returns the dialog.
  Hwnd ShowMessageBox(Hwnd owner, std::u16string title, std::u16string text,
                      std::vector<std::u16string> buttons = {u"OK"});
  // False: activating a window raises no EVENT_SYSTEM_FOREGROUND (as under Wine).
  void SetRaisesForegroundEvents(bool raises) { foregroundEvents_ = raises; }
  // No window is the foreground one: what Wine reports for a moment while a dialog becomes the
  // active window, when the focus event of its first control already goes out.
  void ClearForeground() { foreground_ = 0; }
  // The system names `w` as the active window, with no event: under Wine a new window is shown
  // a moment before it is made the active one, and until then the one before is named.
  void SetForegroundQuietly(Hwnd w) { foreground_ = w; }
  // Any other event, as a program's NotifyWinEvent.
  void RaiseEvent(std::uint32_t event, Hwnd w, std::int32_t idObject, std::int32_t idChild);
  // Every event raised so far (whether or not a hook was there to see it).
  const std::vector<WinEvent>& Events() const { return events_; }
  void ClearEvents() { events_.clear(); }

  Hwnd Foreground() const { return foreground_; }
  Hwnd FocusWindow() const { return focus_; }

  // ---- Keyboard and mouse ----
  // One key event through the low-level hooks; when no hook swallows it, the key state changes
  // and the focused window gets it (an edit control edits). Returns whether it was swallowed.
  bool KeyDown(std::uint32_t vk);
  bool KeyUp(std::uint32_t vk);
  // Press and release; `modifiers` (VK_LSHIFT, VK_LCONTROL, VK_LMENU...) are held around it.
  void Tap(std::uint32_t vk, std::initializer_list<std::uint32_t> modifiers = {});
  // True: SetLowLevelHook fails (returns 0), as when the system refuses the hook.
  void SetKeyboardHooksFail(bool fail) { keyboardHooksFail_ = fail; }
  // Types text with the current layout: each character by its key (Shift as needed); letters
  // with an accent the layout has no key for go through its dead key.
  void Type(std::u16string_view text);
  void SetLayout(KeyboardLayout layout) { layout_ = layout; }
  KeyboardLayout Layout() const { return layout_; }
  // The scan code of a virtual key in the current layout (0 when it has none).
  std::uint32_t ScanCode(std::uint32_t vk) const;
  // Keys the focused program received (not swallowed), as "down"/"up" pairs of vk codes.
  struct Delivered {
    std::uint32_t vk;
    bool up;
  };
  const std::vector<Delivered>& DeliveredKeys() const { return delivered_; }
  void MoveMouse(std::int32_t x, std::int32_t y) { cursor_ = {x, y}; }
  Point Cursor() const { return cursor_; }
  // Clicks recorded from synthetic mouse input (screen points, right = true for the right button).
  struct Click {
    Point at;
    bool right;
  };
  const std::vector<Click>& Clicks() const { return clicks_; }
  MouseParams& Mouse() { return mouse_; }

  // ---- Recorded calls ----
  std::int32_t Beeps() const { return beeps_; }
  const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes_; }
  void SetMessageBoxAnswer(std::int32_t answer) { messageBoxAnswer_ = answer; }
  const std::vector<std::u16string>& StartedProcesses() const { return started_; }
  void SetVersion(OsVersion v) { version_ = v; }
  std::int32_t Metric(std::int32_t index) const;
  void SetScreen(std::int32_t width, std::int32_t height) { screen_ = {0, 0, width, height}; }
  const Rect& Screen() const { return screen_; }
  // The words GetRoleText gives (English by default, as an English system); a test can put in
  // the words of a Czech system.
  void SetRoleText(std::int32_t role, std::u16string text) { roleTexts_[role] = std::move(text); }

 private:
  friend class SimWindowSystem;
  friend class SimAccessibility;
  friend class SimKeyboard;
  friend class SimShell;
  friend class SimHtmlPlatform;
  friend class SimControlKind;

  Hwnd NewWindow(Hwnd parent, std::u16string className, std::u16string text, std::uint32_t style,
                 Rect rect);
  void MakeStandardAccessible(SimWindow& w);
  bool KeyEventInput(std::uint32_t vk, bool up, bool injected);
  void DeliverToFocus(std::uint32_t vk, bool up);
  void UpdateCaret();
  void DeliverEvents();
  void ProcessQueuedInput();
  void DeliverHookKeys();
  Hwnd WindowAtPoint(Point p);
  bool IsWindowVisibleFlag(Hwnd h);
  void FocusNextControl(bool backwards);

  SimEventLoop& loop_;
  SimWindowSystem windows_;
  SimAccessibility access_;
  SimKeyboard keys_;
  SimClipboard clipboard_;
  SimSystemVoice voice_;
  SimSoundPlayer sounds_;
  SimShell shell_;
  SimHtmlPlatform html_;

  std::map<Hwnd, std::unique_ptr<SimWindow>> windowTable_;
  std::vector<Hwnd> topLevel_;  // Z order, first is top
  Hwnd nextHwnd_ = 0x100000;
  ThreadId nextThread_ = 0x200;
  ThreadId programThread_ = 0x100;
  Hwnd foreground_ = 0;
  Hwnd focus_ = 0;
  Hwnd caretWindow_ = 0;
  Rect caretRect_;

  Hwnd menuPopup_ = 0;
  Hwnd menuOwner_ = 0;
  Hwnd focusBeforeMenu_ = 0;

  std::vector<WinEvent> events_;
  std::deque<WinEvent> pendingEvents_;
  struct HookEntry {
    std::uint32_t min;
    std::uint32_t max;
    WinEventProc proc;
  };
  std::map<WinEventHook, HookEntry> winEventHooks_;
  WinEventHook nextHook_ = 1;
  static constexpr std::uint32_t kDeliverMessage = WM_APP + 0x3F;  // to deliveryWindow_
  Hwnd deliveryWindow_ = 0;  // the loop's window through which events and input are delivered
  bool deliveryPosted_ = false;

  struct KeyboardHookEntry {
    KeyGateProc gate;
    KeyDeliveryProc deliver;
  };
  std::map<KeyboardHook, KeyboardHookEntry> keyboardHooks_;
  struct PendingKey {
    KeyboardHook hook;
    KeyMoment moment;
    KeyVerdict verdict;
  };
  std::deque<PendingKey> pendingKeys_;
  bool keyboardHooksFail_ = false;  // decided by a gate, not yet delivered
  KeyboardHook nextKeyboardHook_ = 1;
  KeyboardState keyState_{};
  KeyboardLayout layout_ = kLayoutCzech;
  std::uint16_t appDead_ = 0;  // the focused program's own pending dead key
  std::vector<Delivered> delivered_;
  std::deque<Input> queuedInput_;
  Point cursor_;
  std::vector<Click> clicks_;
  MouseParams mouse_{6, 10, 1};

  std::map<std::u16string, std::uint32_t> registeredMessages_;
  std::int32_t beeps_ = 0;
  std::vector<MessageBoxCall> messageBoxes_;
  std::int32_t messageBoxAnswer_ = IDOK;
  std::vector<std::u16string> started_;
  OsVersion version_{5, 1, 2600, 2};
  Rect screen_{0, 0, 1280, 1024};
  std::map<std::int32_t, std::u16string> roleTexts_;
  bool foregroundEvents_ = true;
};

}  // namespace quellon::platform
