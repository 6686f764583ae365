#include "reader/keyboard_commands.h"

#include <limits>

#include "core/bring_to_front.h"
#include "core/time_and_date.h"
#include "reader/guarded.h"
#include "reader/window_readers.h"

namespace quellon::reader {

using namespace platform;  // the virtual-key codes and message numbers

namespace {

constexpr std::u16string_view kWebView = u"INTERNET EXPLORER_SERVER";
constexpr std::u16string_view kDirectUI = u"DIRECTUIHWND";

bool IsCommandFKey(std::uint32_t vk) {
  return vk == VK_F2 || vk == VK_F5 || vk == VK_F7 || vk == VK_F8 || vk == VK_F9 || vk == VK_F12;
}

bool IsLineKey(std::uint32_t vk) {
  return vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
}

bool IsTextRole(std::int32_t role) {
  return role == ROLE_SYSTEM_TEXT || role == ROLE_SYSTEM_PANE;
}

}  // namespace

KeyVerdict DecideKey(const KeyMoment& moment, KeyGateState& gate) {
  const std::uint32_t vk = moment.key.vkCode;
  const bool up = (moment.key.flags & LLKHF_UP) != 0;
  const bool ctrlShift = moment.ctrl && moment.shift;
  const bool navigation = gate.navigationMode.load(std::memory_order_relaxed);
  if (ctrlShift && IsCommandFKey(vk)) {
    if (!up) return KeyVerdict::kSwallow;
    if (vk == VK_F7) gate.navigationMode.store(!navigation, std::memory_order_relaxed);
    if (vk == VK_F8 && !gate.textRole.load(std::memory_order_relaxed)) return KeyVerdict::kPass;
    return KeyVerdict::kSwallow;
  }
  if (IsLineKey(vk) && navigation) return KeyVerdict::kSwallow;
  if (!up && (vk == VK_DELETE || vk == VK_BACK) && gate.textRole.load(std::memory_order_relaxed) &&
      !gate.webView.load(std::memory_order_relaxed)) {
    return KeyVerdict::kPassAfterHandled;
  }
  return KeyVerdict::kPass;
}

KeyboardCommands::KeyboardCommands(const core::Program& program, KeyboardParts parts)
    : program_(program),
      parts_(std::move(parts)),
      echo_(program.state, program.ports.keyboard, program.ports.windows, program.ports.loop,
            program.strings, program.output, program.mainWindow),
      fallback_(program.ports.keyboard, program.ports.loop) {}

KeyboardCommands::~KeyboardCommands() {
  UnhookKeyboard();
}

void KeyboardCommands::HookKeyboard() {
  if (hook_ != 0 || fallbackActive_) return;
  FocusStateChanged();
  gate_->navigationMode = program_.state.NavigationMode;
  std::shared_ptr<KeyGateState> gate = gate_;
  const std::atomic<bool>* walking = &parts_.itemList.WalkRunning();
  EventLoop* loop = &program_.ports.loop;
  const Hwnd mainWindow = program_.mainWindow;
  hook_ = program_.ports.keyboard.SetLowLevelHook(
      [gate, walking, loop, mainWindow](const KeyMoment& moment) {
        // Escape while the main thread walks a window's objects: the walk sees this message
        // between two objects and ends (the key still goes on to the program).
        if (moment.key.vkCode == VK_ESCAPE && (moment.key.flags & LLKHF_UP) == 0 &&
            walking->load(std::memory_order_relaxed)) {
          loop->PostMessage(mainWindow, MSG_CANCEL_WALK, 2, VK_ESCAPE);
        }
        return DecideKey(moment, *gate);
      },
      [this](const KeyMoment& moment, KeyVerdict) { HandleKey(moment); });
  echo_.SetMainThread(program_.ports.windows.GetWindowThreadProcessId(program_.mainWindow));
  if (hook_ == 0) {
    fallback_.InstallKeyboardHook(program_.mainWindow, 1);
    fallbackActive_ = true;
  }
}

void KeyboardCommands::UnhookKeyboard() {
  if (hook_ != 0) {
    program_.ports.keyboard.Unhook(hook_);
    hook_ = 0;
  } else if (fallbackActive_) {
    fallback_.InstallKeyboardHook(program_.mainWindow, 0);
    fallbackActive_ = false;
  }
}

void KeyboardCommands::FocusStateChanged() {
  gate_->textRole = TextRole();
  gate_->webView = ClassHas(kWebView);
}

bool KeyboardCommands::TextRole() const {
  return IsTextRole(program_.state.Focus.FocusRole);
}

bool KeyboardCommands::ClassHas(std::u16string_view part) const {
  return ClassContains(program_.state.Focus.FocusClassName, part);
}

void KeyboardCommands::Post(std::uint32_t message, std::uint32_t vk, std::uint32_t modifierCode) {
  program_.ports.loop.PostMessage(program_.mainWindow, message, vk, modifierCode);
}

void KeyboardCommands::HandleKey(const KeyMoment& moment) {
  if (program_.state.ShuttingDown) return;
  FocusStateChanged();
  const std::uint32_t vk = moment.key.vkCode;
  const std::uint32_t code = ModifierCode(moment.ctrl, moment.shift);
  if ((moment.key.flags & LLKHF_UP) != 0) {
    if (!EchoSilentRole(program_.state.Focus.FocusRole)) {
      Guarded([&] { echo_.EchoKey(moment, code); });
    }
    Released(vk, code, false);
  } else {
    // Left Ctrl itself counts as Ctrl held: the moment holds the state before the key.
    const std::uint32_t pressCode = vk == VK_LCONTROL ? ModifierCode(true, moment.shift) : code;
    Pressed(vk, pressCode, false, moment.lockToggled);
  }
}

void KeyboardCommands::Released(std::uint32_t vk, std::uint32_t code, bool fallback) {
  const core::Program& p = program_;
  core::ProgramState& state = p.state;
  const bool ctrlShift = code == 0;
  const bool ctrl = code == 0 || code == 2;
  if (ctrlShift && vk == VK_F2) {
    Guarded([&] { p.output.PlaySoundCue(u"tlačítko"); });
    if (!ClassHas(u"_WWG") && !ClassHas(u"EXCEL7")) {
      Guarded([&] { parts_.focus.AnnounceFocusedObject(); });
    }
  }
  if (ctrlShift && vk == VK_F5) {
    Guarded([&] { parts_.focus.ToggleWindowReadingMode(); });
    Guarded([&] { p.output.PlaySoundCue(u"tlačítko"); });
  }
  if (ctrlShift && vk == VK_F7) {
    Guarded([&] {
      if (fallback) {
        parts_.focus.NavigateObject(false);
      } else {
        ToggleNavigationMode();
      }
    });
  }
  if (ctrlShift && vk == VK_F8) {
    Guarded([&] {
      if (TextRole()) {
        if (parts_.startReading) parts_.startReading();
      } else if (fallback) {
        parts_.focus.NavigateObject(true);
      }
    });
  }
  if (ctrlShift && vk == VK_F9) Guarded([&] { parts_.caret.ReadWindow(); });
  if (ctrlShift && vk == VK_F12) {
    Guarded([&] {
      core::BringWindowToFront(p.ports.windows, p.ports.keyboard, p.mainWindow);
      state.Focus.WindowChanged = true;
      state.Focus.FocusChanged = true;
    });
  }
  if (vk == 'C' && (fallback ? code == 2 : ctrl)) {
    Guarded([&] { p.output.Say(p.ports.clipboard.GetText().value_or(u"")); });
  }
  if (ctrlShift && vk == 'T') {
    Guarded([&] { core::SayTimeAndDate(p.output, p.ports.clock, state.IsEnglish); });
  }
  if (vk == VK_ADD && parts_.infoBand.BandVisible()) Guarded([&] { ResizeInfoBand(10); });
  if (vk == VK_SUBTRACT && parts_.infoBand.BandVisible() && p.settings.InfoTextSize() - 10 > 10) {
    Guarded([&] { ResizeInfoBand(-10); });
  }
  if ((vk == VK_LEFT || vk == VK_RIGHT) && TextRole()) {
    Guarded([&] {
      if (!fallback && (ClassHas(kWebView) || ClassHas(kDirectUI))) {
        Post(MSG_CARET_KEY, vk, code);
      } else if (fallback && ClassHas(kWebView)) {
        parts_.web.ReadWebCaret(vk, code);
      } else if (fallback && ClassHas(kDirectUI)) {
        p.output.Say(parts_.directUI.ReadDirectUIText(vk, code));
      } else if (!fallback || (!ClassHas(u"_WWG") && !ClassHas(u"EXCEL7"))) {
        parts_.caret.ReadCaret(state.Focus.FocusHwnd, vk, code);
      }
    });
  }
  if (IsLineKey(vk)) {
    if (!fallback && state.NavigationMode) {
      Guarded([&] { Post(MSG_NAVIGATE_KEY, vk, code); });
      return;
    }
    // In window reading mode the band's text box steps through the item list and speaks the
    // item itself; its line read here would be the item being left.
    const bool bandList = state.ListMode && parts_.infoBand.BandVisible() &&
                          state.Focus.FocusHwnd == parts_.infoBand.BandTextWindow();
    if (TextRole() && !bandList) {
      Guarded([&] {
        if (!fallback && (ClassHas(kWebView) || ClassHas(kDirectUI))) {
          Post(MSG_CARET_KEY, vk, code);
        } else if (fallback && ClassHas(kWebView)) {
          parts_.web.ReadWebLine();
        } else {
          p.output.Say(parts_.caret.CurrentLine(state.Focus.FocusHwnd));
        }
      });
    }
    if (state.Focus.FocusRole == ROLE_SYSTEM_COMBOBOX) {
      Guarded([&] { p.output.Say(parts_.caret.EditText(state.Focus.FocusHwnd)); });
    }
  }
}

void KeyboardCommands::Pressed(std::uint32_t vk, std::uint32_t code, bool fallback,
                               bool lockToggled) {
  const core::Program& p = program_;
  if (vk == (fallback ? VK_CONTROL : VK_LCONTROL)) {
    if (code == 2 || (!fallback && code == 0)) Guarded([&] { StopSpeech(); });
    if ((!fallback || vk == VK_CONTROL) && parts_.reading && parts_.reading()) {
      Guarded([&] { parts_.stopReading(); });
    }
  }
  if ((vk == VK_DELETE || vk == VK_BACK) && TextRole()) {
    Guarded([&] {
      if (ClassHas(kWebView)) {
        if (fallback) {
          parts_.web.ReadWebCaret(vk, code);
        } else {
          Post(MSG_CARET_KEY, vk, code);
        }
      } else {
        parts_.caret.ReadCaret(p.state.Focus.FocusHwnd, vk, code);
      }
    });
  }
  if (vk == VK_CAPITAL || vk == VK_NUMLOCK) {
    const std::u16string& name =
        p.strings.GetString(vk == VK_CAPITAL ? strings::StringTable::kTextCapsLock
                                             : strings::StringTable::kTextNumLock);
    Guarded([&] {
      if (fallback) {
        echo_.AnnounceLockKeyFromState(name, vk);
      } else {
        if (vk == VK_CAPITAL) echo_.NoteCapsLock(lockToggled);
        echo_.AnnounceLockKey(name, lockToggled);
      }
    });
  }
}

void KeyboardCommands::StopSpeech() {
  const core::ProgramState& state = program_.state;
  if (state.SapiActive && state.SapiVoice != nullptr) {
    state.SapiVoice->Speak(u"", SVSFlagsAsync | SVSFPurgeBeforeSpeak);
  } else {
    program_.engine.Reset();
  }
}

void KeyboardCommands::ToggleNavigationMode() {
  core::ProgramState& state = program_.state;
  state.NavigationMode = !state.NavigationMode;
  if (parts_.setNavigationCheck) parts_.setNavigationCheck(state.NavigationMode);
  const strings::StringTable& t = program_.strings;
  program_.output.Say(t.GetString(11) + u" " +
                      t.GetString(state.NavigationMode ? strings::StringTable::kTextOn
                                                       : strings::StringTable::kTextOff));
  if (state.NavigationMode) state.Focus.NavigationRestart = true;
}

void KeyboardCommands::ResizeInfoBand(std::int32_t delta) {
  const std::int32_t size = program_.settings.InfoTextSize();
  if (delta > 0 && size > std::numeric_limits<std::int32_t>::max() - delta) return;
  program_.settings.SetInfoTextSize(size + delta);
  parts_.infoBand.HideBand();
  parts_.infoBand.ShowBand();
}

void KeyboardCommands::CaretKey(std::uint32_t vk, std::uint32_t code) {
  const bool directUI = ClassHas(kDirectUI);
  if (vk == VK_LEFT || vk == VK_RIGHT || IsLineKey(vk)) {
    if (directUI) {
      program_.output.Say(parts_.directUI.ReadDirectUIText(vk, code));
    } else if (IsLineKey(vk)) {
      parts_.web.ReadWebLine();
    } else {
      parts_.web.ReadWebCaret(vk, code);
    }
  } else if (vk == VK_DELETE || vk == VK_BACK) {
    parts_.web.ReadWebCaret(vk, code);
  }
}

void KeyboardCommands::OnKeyMessage(std::uint32_t message, WParam wParam, LParam lParam) {
  if (program_.state.ShuttingDown) return;
  const auto vk = static_cast<std::uint32_t>(wParam);
  const auto code = static_cast<std::uint32_t>(lParam);
  switch (message) {
    case MSG_KEY_RELEASED:
      if (vk == VK_SHIFT) return;  // Shift alone is not looked at on this path
      if (!EchoSilentRole(program_.state.Focus.FocusRole)) {
        Guarded([&] {
          echo_.EchoFallbackKey(vk, code, [this] { return parts_.focus.CheckStateText(); });
        });
      }
      Released(vk, code, true);
      return;
    case MSG_KEY_PRESSED:
      Pressed(vk, code, true, false);
      return;
    case MSG_CARET_KEY:
      Guarded([&] { CaretKey(vk, code); });
      return;
    case MSG_NAVIGATE_KEY:
      if (vk == VK_UP) Guarded([&] { parts_.focus.NavigateObject(false); });
      if (vk == VK_DOWN) Guarded([&] { parts_.focus.NavigateObject(true); });
      return;
    default:
      return;
  }
}

}  // namespace quellon::reader
