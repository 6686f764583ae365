// The simulated desktop: windows of other programs with classes, texts, styles and rectangles;
// edit and rich edit controls that answer the edit messages as Windows' own do; buttons, lists,
// menus, message boxes, progress bars and web documents; accessible trees; a keyboard with key
// state, the US and Czech layouts and their dead keys; a clipboard; a system voice, a sound
// player and an application-bar shell that record what they were asked. It implements every port
// of src/platform and runs on the simulated event loop's virtual clock.
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
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/accessibility.h"
#include "platform/clipboard.h"
#include "platform/html_document.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/sim/sim_accessible.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "platform/window_system.h"

namespace quellon::platform {

class SimDesktop;

// ---- Edit controls ----
// The text is kept as the control counts it: an edit control's line break is CR LF (two
// characters), a rich edit's is CR alone (one character); WM_GETTEXT of a rich edit gives CR LF.
class SimEdit {
 public:
  SimEdit(bool rich, bool multiline) : rich_(rich), multiline_(multiline) {}
  bool Rich() const { return rich_; }
  bool Multiline() const { return multiline_; }

  // Line breaks in `text` may be written "\n", "\r\n" or "\r".
  void SetText(std::u16string_view text);
  const std::u16string& Internal() const { return text_; }  // in the control's own counting
  std::u16string Text() const;                              // as WM_GETTEXT gives it
  std::int32_t Anchor() const { return anchor_; }
  std::int32_t Caret() const { return caret_; }
  // EM_SETSEL: start -1 removes the selection; end -1 (or past the end) is the end.
  void SetSel(std::int32_t start, std::int32_t end);
  void ReplaceSel(std::u16string_view text);

  LResult Message(std::uint32_t message, WParam wParam, LParam lParam, bool& handled);

  // Keyboard editing as the control does it on WM_KEYDOWN and WM_CHAR.
  void KeyDown(std::uint32_t vk, bool shift, bool ctrl);
  void Char(char16_t c);

  std::int32_t LineCount() const;
  std::int32_t LineFromChar(std::int32_t index) const;
  std::int32_t LineIndex(std::int32_t line) const;  // -1 past the last line
  std::int32_t LineLength(std::int32_t line) const;

 private:
  std::int32_t BreakLength() const { return rich_ ? 1 : 2; }
  bool IsBreakAt(std::int32_t i) const;
  void MoveCaret(std::int32_t to, bool extend);
  std::int32_t WordLeft(std::int32_t from) const;
  std::int32_t WordRight(std::int32_t from) const;

  bool rich_;
  bool multiline_;
  std::u16string text_;
  std::int32_t anchor_ = 0;
  std::int32_t caret_ = 0;
};

struct EditOptions {
  bool multiline = false;
  bool rich = false;  // class "RichEdit20W" instead of "Edit"
  Rect rect{};        // in screen coordinates; empty gives a default placement
};

// A custom message answer: return nullopt to leave the message to the class's own behaviour.
using SimMessageHandler =
    std::function<std::optional<LResult>(std::uint32_t message, WParam wParam, LParam lParam)>;

struct SimWindow {
  Hwnd hwnd = 0;
  std::u16string className;
  std::u16string text;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Hwnd parent = 0;
  std::vector<Hwnd> children;  // in Z order (first is top)
  Rect rect;                   // screen coordinates
  ThreadId thread = 0;
  std::uint32_t process = 0;
  bool iconic = false;
  bool hasIcon = false;    // a static control showing an icon (STM_GETICON answers non-zero)
  std::int32_t check = 0;  // buttons: BM_GETCHECK
  std::int32_t progress = 0;
  std::vector<std::u16string> items;  // list boxes: the item texts
  std::int32_t selected = -1;         // list boxes: the selected item
  std::unique_ptr<SimEdit> edit;
  std::shared_ptr<SimAccessible> client;  // OBJID_CLIENT
  std::shared_ptr<SimAccessible> window;  // OBJID_WINDOW
  SimMessageHandler handler;
  std::shared_ptr<class SimHtmlDocument> document;
  bool ownProgram = false;  // one of the screen reader's own windows (its messages go to the loop)
  std::uint32_t colorKey = 0;
  std::uint32_t layeredFlags = 0;
};

// ---- What the recording services heard ----
struct SpeakCall {
  std::u16string text;
  std::uint32_t flags = 0;
  std::int64_t at = 0;  // virtual time, microseconds
};
struct MessageBoxCall {
  Hwnd owner = 0;
  std::u16string text;
  std::u16string caption;
  std::uint32_t type = 0;
};

// A web document: plain text laid out in fixed cells (charWidth x lineHeight pixels, one line
// per "\n"-separated line) starting at the window's client origin; the caret is a text index.
class SimHtmlDocument : public HtmlDocument, public std::enable_shared_from_this<SimHtmlDocument> {
 public:
  struct Element {
    std::u16string tag = u"P";
    Rect rect;  // client coordinates
    std::int32_t clientLeft = 0;
    std::int32_t clientWidth = 0;
  };
  std::u16string text;
  std::int32_t selStart = 0;
  std::int32_t selEnd = 0;
  std::int32_t charWidth = 8;
  std::int32_t lineHeight = 16;
  std::vector<Element> elements;  // hit by ElementFromPoint, last added first; else a "BODY"

  std::unique_ptr<HtmlElement> ElementFromPoint(std::int32_t x, std::int32_t y) override;
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override;
  std::int32_t IndexAtPoint(std::int32_t x, std::int32_t y) const;
  Rect CaretRect() const;  // client coordinates of the caret at selEnd
};

// ---- The ports, each a thin face of the desktop ----
class SimWindowSystem : public WindowSystem {
 public:
  explicit SimWindowSystem(SimDesktop& d) : d_(d) {}
  bool IsWindow(Hwnd w) override;
  bool IsWindowVisible(Hwnd w) override;
  bool IsIconic(Hwnd w) override;
  std::u16string GetClassName(Hwnd w, std::int32_t maxCount) override;
  std::u16string GetWindowText(Hwnd w) override;
  std::int32_t GetWindowTextLength(Hwnd w) override;
  Hwnd GetParent(Hwnd w) override;
  std::int32_t GetWindowLong(Hwnd w, std::int32_t index) override;
  std::int32_t SetWindowLong(Hwnd w, std::int32_t index, std::int32_t value) override;
  bool GetWindowRect(Hwnd w, Rect& rect) override;
  void EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& callback) override;
  ThreadId GetWindowThreadProcessId(Hwnd w, std::uint32_t* processId) override;
  ThreadId GetCurrentThreadId() override;
  bool GetGUIThreadInfo(ThreadId thread, GuiThreadInfo& info) override;
  Hwnd GetForegroundWindow() override;
  bool SetForegroundWindow(Hwnd w) override;
  bool ShowWindow(Hwnd w, std::int32_t command) override;
  bool SetWindowPos(Hwnd w, Hwnd insertAfter, std::int32_t x, std::int32_t y, std::int32_t cx,
                    std::int32_t cy, std::uint32_t flags) override;
  bool SetLayeredWindowAttributes(Hwnd w, std::uint32_t colorKey, std::uint8_t alpha,
                                  std::uint32_t flags) override;
  LResult SendMessage(Hwnd w, std::uint32_t message, WParam wParam, LParam lParam) override;
  LResult SendGetSel(Hwnd w, std::int32_t* start, std::int32_t* end) override;
  std::u16string SendGetText(Hwnd w, std::int32_t bufferSize) override;
  std::uint32_t RegisterWindowMessage(const std::u16string& name) override;
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t action) override;
  bool GetCursorPos(Point& p) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool MessageBeep(std::uint32_t type) override;
  std::int32_t MessageBox(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                          std::uint32_t type) override;
  bool StartProcess(const std::u16string& commandLine) override;
  OsVersion GetVersion() override;

 private:
  SimDesktop& d_;
};

class SimAccessibility : public Accessibility {
 public:
  explicit SimAccessibility(SimDesktop& d) : d_(d) {}
  AccessibleChild ObjectFromEvent(Hwnd w, std::int32_t idObject, std::int32_t idChild) override;
  AccessiblePtr ObjectFromWindow(Hwnd w, std::int32_t idObject) override;
  AccessibleChild ObjectFromPoint(std::int32_t x, std::int32_t y) override;
  Hwnd WindowFromObject(const AccessiblePtr& object) override;
  std::u16string RoleText(std::int32_t role) override;
  std::u16string StateText(std::uint32_t stateBit) override;
  WinEventHook SetWinEventHook(std::uint32_t eventMin, std::uint32_t eventMax,
                               WinEventProc proc) override;
  bool UnhookWinEvent(WinEventHook hook) override;

 private:
  SimDesktop& d_;
};

class SimKeyboard : public Keyboard {
 public:
  explicit SimKeyboard(SimDesktop& d) : d_(d) {}
  KeyboardHook SetLowLevelHook(KeyboardHookProc proc) override;
  bool Unhook(KeyboardHook hook) override;
  std::uint32_t SendInput(const std::vector<Input>& inputs) override;
  std::int16_t GetAsyncKeyState(std::uint32_t vk) override;
  std::int16_t GetKeyState(std::uint32_t vk) override;
  bool GetKeyboardState(KeyboardState& state) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::int32_t ToAsciiEx(std::uint32_t vk, std::uint32_t scan, const KeyboardState& state,
                         std::uint16_t& ch, std::uint32_t flags, KeyboardLayout layout) override;
  KeyboardLayout GetKeyboardLayout(ThreadId thread) override;
  bool AttachThreadInput(ThreadId attach, ThreadId attachTo, bool attachIt) override;
  bool GetMouseParams(MouseParams& params) override;
  bool SetMouseParams(const MouseParams& params) override;

 private:
  SimDesktop& d_;
  std::uint16_t pendingDead_ = 0;  // the dead key ToAsciiEx keeps for the next call
};

class SimClipboard : public Clipboard {
 public:
  std::optional<std::u16string> GetText() override { return text_; }
  bool SetText(const std::u16string& text) override {
    text_ = text;
    return true;
  }
  void Clear() { text_.reset(); }

 private:
  std::optional<std::u16string> text_;
};

// The system voice: records every call; speech lasts `microsPerChar` of virtual time per
// character (0: it ends at once).
class SimSystemVoice : public SystemVoice, public SystemVoiceFactory {
 public:
  explicit SimSystemVoice(SimEventLoop& loop) : loop_(loop) {}
  // Tests: which voices are installed (none: CreateVoice gives nullptr, as without SAPI).
  void Install(std::vector<std::u16string> voices) { voices_ = std::move(voices); }
  void SetMicrosPerChar(std::int64_t micros) { microsPerChar_ = micros; }
  const std::vector<SpeakCall>& Calls() const { return calls_; }
  std::vector<std::u16string> Spoken() const;  // texts of the calls, empty ones left out
  std::optional<std::size_t> Selected() const { return selected_; }
  bool Speaking() const { return loop_.Now() < speakingUntil_; }
  void ClearRecord() { calls_.clear(); }

  std::unique_ptr<SystemVoice> CreateVoice() override;
  std::vector<std::u16string> GetVoices() override { return voices_; }
  std::int32_t SetVoice(std::size_t index) override;
  std::int32_t Speak(const std::u16string& text, std::uint32_t flags) override;
  std::int32_t SetRate(std::int32_t rate) override;
  std::int32_t SetVolume(std::int32_t volume) override;
  std::int32_t Rate() override { return rate_; }
  std::int32_t Volume() override { return volume_; }
  bool WaitUntilDone(std::uint32_t milliseconds) override;

 private:
  SimEventLoop& loop_;
  std::vector<std::u16string> voices_;
  std::optional<std::size_t> selected_;
  std::vector<SpeakCall> calls_;
  std::int64_t microsPerChar_ = 0;
  std::int64_t speakingUntil_ = 0;
  std::int32_t rate_ = 0;
  std::int32_t volume_ = 100;
};

// sndPlaySound: records the file; a synchronous play spends the sound's length of virtual time
// (the thread is blocked meanwhile). A file that does not exist is not played (false).
class SimSoundPlayer : public SoundPlayer {
 public:
  explicit SimSoundPlayer(SimEventLoop& loop) : loop_(loop) {}
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) override;
  const std::vector<std::filesystem::path>& Played() const { return played_; }
  // The cue names: the file names without folder and extension, in order.
  std::vector<std::u16string> Cues() const;
  void ClearRecord() { played_.clear(); }

 private:
  SimEventLoop& loop_;
  std::vector<std::filesystem::path> played_;
};

// The shell's application bars on the simulated screen: bars registered at an edge take their
// strip out of the proposals of bars registered later at the same edge.
class SimShell : public Shell {
 public:
  explicit SimShell(SimDesktop& d) : d_(d) {}
  std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
  struct Bar {
    std::uint32_t edge = 0;
    Rect rect;
    bool placed = false;
  };
  const std::map<Hwnd, Bar>& Bars() const { return bars_; }

 private:
  Rect Shrink(Hwnd self, std::uint32_t edge, Rect proposal) const;
  SimDesktop& d_;
  std::map<Hwnd, Bar> bars_;
};

class SimHtmlPlatform : public HtmlPlatform {
 public:
  explicit SimHtmlPlatform(SimDesktop& d) : d_(d) {}
  std::shared_ptr<HtmlDocument> GetHtmlDocument(Hwnd w, std::uint32_t timeoutMs) override;
  std::vector<std::shared_ptr<BrowserWindow>> ShellWindows() override;

 private:
  SimDesktop& d_;
};

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

  Hwnd NewWindow(Hwnd parent, std::u16string className, std::u16string text, std::uint32_t style,
                 Rect rect);
  void MakeStandardAccessible(SimWindow& w);
  bool KeyEventInput(std::uint32_t vk, bool up, bool injected);
  void DeliverToFocus(std::uint32_t vk, bool up);
  void UpdateCaret();
  void DeliverEvents();
  void ProcessQueuedInput();
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
  static constexpr std::uint32_t kDeliverMessage = 0x803F;  // WM_APP + 0x3F, to deliveryWindow_
  Hwnd deliveryWindow_ = 0;  // the loop's window through which events and input are delivered
  bool deliveryPosted_ = false;

  std::map<KeyboardHook, KeyboardHookProc> keyboardHooks_;
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
};

}  // namespace quellon::platform
