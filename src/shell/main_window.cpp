#include "shell/main_window.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "reader/event_hook_library.h"
#include "shell/time_and_date.h"
#include "text/text.h"

namespace quellon::shell {
namespace {

std::u16string Decimal(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

// nearest(): halves to the even neighbour.
std::int32_t Nearest(double v) {
  return static_cast<std::int32_t>(text::RoundHalfEven(v));
}

// The accessibility event hook through the event library, delivering to the focus announcer.
class EventLibraryHook final : public AccessibilityHookComponent {
 public:
  EventLibraryHook(reader::EventHookLibrary& library, MainForm& form, FocusAnnouncer& focus)
      : library_(library), form_(form), focus_(focus) {}
  void InstallAccessibilityHook() override {
    FocusAnnouncer* focus = &focus_;
    library_.InstallEventHook(form_.Handle(), 0, 0,
                              [focus](std::uint32_t event, platform::Hwnd hwnd,
                                      std::int32_t idObject, std::int32_t idChild) {
                                focus->OnAccessibleEvent(event, hwnd, idObject, idChild);
                              });
  }
  void RemoveAccessibilityHook() override { library_.InstallEventHook(0, 0, 0, nullptr); }

 private:
  reader::EventHookLibrary& library_;
  MainForm& form_;
  FocusAnnouncer& focus_;
};

// The object a step works on; a missing one fails the step.
template <typename T>
T& Need(const std::unique_ptr<T>& object) {
  if (!object) throw std::runtime_error("missing");
  return *object;
}

}  // namespace

std::u16string StatusCaption(const ProgramVersion& version) {
  return u" Release: " + Decimal(version.major) + u"." + Decimal(version.minor) + u"." +
         Decimal(version.revision);
}

bool DetectWindowsVersion(const platform::OsVersion& version) {
  return version.platformId == 2 && version.major == 5 && version.minor != 0;
}

std::u16string HelpCommandLine(const std::filesystem::path& programFolder, bool isEnglish) {
  const std::u16string file =
      ProgramFile(programFolder, isEnglish ? u"help_en.txt" : u"help.txt").generic_u16string();
  std::u16string native = file;
#ifdef _WIN32
  std::replace(native.begin(), native.end(), u'/', u'\\');
#endif
  return u"notepad.exe " + native;
}

frmMain::frmMain(ShellPorts ports, MainForm& form, EngineFactory engineFactory,
                 ShellComponents components)
    : ports_(ports),
      form_(form),
      engineFactory_(std::move(engineFactory)),
      keyboardHook_(components.keyboardHook ? *components.keyboardHook : none_),
      itemList_(components.itemList ? *components.itemList : none_),
      infoBand_(components.infoBand ? *components.infoBand : none_),
      highlightFrame_(components.highlightFrame ? *components.highlightFrame : none_),
      progressSound_(components.progressSound ? *components.progressSound : none_),
      commands_(components.commands ? *components.commands : none_),
      accessibilityHook_(components.accessibilityHook),
      settingsDialog_(components.settingsDialog),
      focus_(components.focus) {}

frmMain::~frmMain() {
  Unload();
}

template <typename F>
void frmMain::Step(const char* phase, int number, F&& f) {
  try {
    f();
  } catch (...) {
    skipped_.push_back(std::string(phase) + " " + std::to_string(number));
  }
}

const std::u16string& frmMain::Greeting() const {
  static const std::u16string none;
  return focus_ ? focus_->Greeting() : none;
}

void frmMain::Load(const std::filesystem::path& executableFolder) {
  if (loaded_) return;
  loaded_ = true;
  // FocusTimer is enabled from the start; its ticks run once the loop runs again.
  focusTimer_ = ports_.loop.SetTimer(kFocusTimerMs, [this] {
    try {
      if (focus_ && !shuttingDown_) focus_->FocusTick();
    } catch (...) {
      // A failing tick is retried on the next one.
    }
  });

  Step("load", 1, [&] { isWinXP_ = DetectWindowsVersion(ports_.windows.GetVersion()); });
  Step("load", 2, [&] { programFolder_ = ProgramFolderOf(executableFolder); });
  Step("load", 3, [&] {
    settings_ = std::make_unique<cSetting>(ports_.profile);
    Need(settings_).Init(SettingsFilePath(programFolder_), {});
  });
  Step("load", 4, [&] { isEnglish_ = Need(settings_).Lang() == u"en"; });
  Step("load", 5, [&] {
    strings_ = std::make_unique<strings::StringTable>(isEnglish_);
    Need(strings_).FillUiStrings();
  });
  Step("load", 6, [&] {
    if (!engineFactory_) throw std::runtime_error("no engine");
    engine_ = engineFactory_(programFolder_);
    if (!engine_) throw std::runtime_error("no engine");
    output_ = std::make_unique<SpeechOutput>(*engine_, *strings_, ports_.sound, &infoBand_);
    Need(output_).State().ProgramFolder = programFolder_;
    if (focus_ == nullptr) {
      ownFocus_ =
          std::make_unique<BasicFocusAnnouncer>(ports_.windows, ports_.access, *strings_, *output_);
      focus_ = ownFocus_.get();
    }
  });
  Step("load", 7, [&] {
    if (settingsDialog_ != nullptr) {
      settingsDialog_->LoadHidden();
    } else {
      LoadSettingsDialogHidden();
    }
  });
  Step("load", 8, [&] { Need(strings_).FillCharNames(); });
  Step("load", 9, [&] { Need(strings_).ApplyCaptions(form_); });
  Step("load", 10, [&] { Need(engine_).SelectVoice(Need(settings_).VoiceName()); });
  Step("load", 11, [&] { Need(engine_).LoadWaveWindow(); });
  Step("load", 12, [&] { SubclassMainWindow(); });
  Step("load", 13, [&] {
    if (keyboardHookFlag_) {
      keyboardHook_.UnhookKeyboard();
    } else {
      keyboardHook_.HookKeyboard();
    }
    keyboardHookFlag_ = !keyboardHookFlag_;
  });
  Step("load", 14, [&] {
    if (Need(settings_).TimeWelcome() != 0 && focus_ != nullptr) {
      focus_->SetGreeting(Need(strings_).GetString(strings::StringTable::kGreeting) +
                          TimeAndDateText(ports_.clock, isEnglish_) + u" ");
    }
  });
  Step("load", 15, [&] {
    if (accessibilityHook_ == nullptr && focus_ != nullptr) {
      eventLibrary_ = std::make_unique<reader::EventHookLibrary>(ports_.access, ports_.windows);
      ownAccessibilityHook_ = std::make_unique<EventLibraryHook>(*eventLibrary_, form_, *focus_);
      accessibilityHook_ = ownAccessibilityHook_.get();
    }
    if (accessibilityHook_ != nullptr) accessibilityHook_->InstallAccessibilityHook();
  });
  Step("load", 16, [&] { form_.SetWindowState(1); });
  Step("load", 17, [&] {
    if (focus_ != nullptr) focus_->AnnounceForegroundWindow();
  });
  Step("load", 18, [&] { itemList_.Create(); });
  Step("load", 19, [&] {
    if (Need(settings_).InfoActive() != 0) ToggleInfoBand();
  });
  Step("load", 20, [&] {
    ports_.windows.ChangeWindowMessageFilter(MSG_HOOK_KEY_UP, 1);
    ports_.windows.ChangeWindowMessageFilter(MSG_HOOK_KEY_DOWN, 1);
  });
  Step("load", 21, [&] { highlightFrame_.LoadHidden(); });
  Step("load", 22, [&] { form_.SetStatusCaption(StatusCaption(form_.Version())); });
  Step("load", 23, [&] { progressSound_.LoadProgressSound(u"snd\\progress.wav"); });
}

void frmMain::Unload() {
  if (!loaded_ || unloaded_) return;
  unloaded_ = true;
  Step("unload", 1, [&] { progressSound_.CloseProgressSound(); });
  Step("unload", 2, [&] {
    if (!settings_) throw std::runtime_error("no settings");
    Need(settings_).SetInfoActive(infoBand_.Visible() ? -1 : 0);
    const int written = Need(settings_).SaveSetting();
    settings_.reset();
    if (written != 8) throw std::runtime_error("settings not saved");
  });
  Step("unload", 3, [&] { Need(engine_).Reset(); });
  Step("unload", 4, [&] {
    shuttingDown_ = true;
    if (output_) Need(output_).State().ShuttingDown = true;
  });
  Step("unload", 5, [&] { Need(output_).PlaySoundCue(u"close"); });
  Step("unload", 6, [&] {
    if (accessibilityHook_ != nullptr) accessibilityHook_->RemoveAccessibilityHook();
  });
  Step("unload", 7, [&] { UnsubclassMainWindow(); });
  Step("unload", 8, [&] {
    if (focusTimer_ != 0) ports_.loop.KillTimer(focusTimer_);
    focusTimer_ = 0;
    if (mouseTimer_ != 0) ports_.loop.KillTimer(mouseTimer_);
    mouseTimer_ = 0;
  });
  Step("unload", 9, [&] {
    if (keyboardHookFlag_) keyboardHook_.UnhookKeyboard();
  });
  Step("unload", 10, [&] {
    itemList_.Release();
    // What speaks goes with the engine: the focus announcer and the speech routine.
    focus_ = nullptr;
    ownFocus_.reset();
    output_.reset();
    engine_.reset();
    sapiVoice_.reset();
  });
  Step("unload", 11, [&] {
    highlightFrame_.Unload();
    if (settingsDialog_ != nullptr) settingsDialog_->Unload();
    infoBand_.Unload();
  });
  ownAccessibilityHook_.reset();
  eventLibrary_.reset();
}

void frmMain::LoadSettingsDialogHidden() {
  // The sliders run from 0 to 100.
  auto slider = [](std::int32_t v) { return std::clamp<std::int32_t>(v, 0, 100); };
  const std::int32_t volume = slider(Need(settings_).VoiceVolume());
  const std::int32_t tempo = slider(Need(settings_).VoiceTempo());
  const std::int32_t pitch = slider(Need(settings_).VoicePitch());
  Step("settings dialog", 7, [&] {
    Need(engine_).SetVolume(static_cast<std::int16_t>(Nearest(volume / 5.0)));
    Need(engine_).SetPitch(static_cast<std::int16_t>(-4 * Nearest((pitch - 50) / 5.0)));
    Need(engine_).SetTempo(static_cast<std::int16_t>(Nearest((tempo - 50) / 5.0)));
  });
  Step("settings dialog", 8, [&] { SelectSapiVoice(Need(settings_).VoiceName()); });
  Step("settings dialog", 9, [&] {
    if (!SapiActive()) return;
    Need(sapiVoice_).SetVolume(Need(settings_).VoiceVolume());
    Need(sapiVoice_).SetRate(Nearest(tempo / 5.0 - 10));
    const std::int32_t n = Nearest(pitch / 5.0 - 10);
    Need(output_).State().SapiPitchTag =
        u"<pitch absmiddle=\"" + std::u16string(n >= 0 ? u" " : u"") + Decimal(n) + u"\">";
  });
}

void frmMain::SelectSapiVoice(const std::u16string& name) {
  if (!output_) return;
  SpeechRoutingState& state = Need(output_).State();
  state.SapiActive = false;
  try {
    if (!sapiVoice_) sapiVoice_ = ports_.voices.CreateVoice();
    if (!sapiVoice_) return;
    const std::vector<std::u16string> voices = Need(sapiVoice_).GetVoices();
    for (std::size_t i = 0; i < voices.size(); ++i) {
      if (voices[i] != name) continue;
      if (Need(sapiVoice_).SetVoice(i) < 0) return;
      // A voice that cannot speak (a system whose speech service only lists voices) leaves the
      // built-in engine speaking: silencing it is the cheapest way to ask.
      if (Need(sapiVoice_).Speak(u"", platform::SVSFlagsAsync | platform::SVSFPurgeBeforeSpeak) <
          0) {
        return;
      }
      state.SapiVoice = sapiVoice_.get();
      state.SapiActive = true;
      return;
    }
  } catch (...) {
    state.SapiActive = false;
  }
}

void frmMain::Say(const std::u16string& text, bool suppressInfoBand) {
  if (output_) Need(output_).Say(text, 0, suppressInfoBand);
}

void frmMain::PlaySoundCue(const std::u16string& name) {
  if (output_) Need(output_).PlaySoundCue(name);
}

void frmMain::SubclassMainWindow() {
  previousWindowProc_ = form_.ReplaceWindowProc(
      [this](platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
             platform::LParam lParam) { return MainWindowProc(hwnd, message, wParam, lParam); });
  subclassed_ = true;
}

void frmMain::UnsubclassMainWindow() {
  if (!subclassed_) return;
  form_.ReplaceWindowProc(previousWindowProc_);
  previousWindowProc_ = nullptr;
  subclassed_ = false;
}

platform::LResult frmMain::MainWindowProc(platform::Hwnd hwnd, std::uint32_t message,
                                          platform::WParam wParam, platform::LParam lParam) {
  try {
    switch (message) {
      case MSG_HOOK_KEY_UP:
      case MSG_HOOK_KEY_DOWN:
      case MSG_CARET_KEY:
      case MSG_NAVIGATE_KEY:
        keyboardHook_.OnKeyMessage(message, wParam, lParam);
        break;
      case MSG_READ_WEB_LINE:
        if (wParam == 1) commands_.ReadWebLine();
        break;
      case MSG_ABOUT:
        form_.ShowAbout();
        break;
      case MSG_TOGGLE_KEY:
        if (focus_ != nullptr) Say(focus_->CheckStateText());
        break;
      default:
        break;
    }
  } catch (...) {
    // Every step of the procedure continues past an error.
  }
  return platform::CallWindowProc(previousWindowProc_, hwnd, message, wParam, lParam);
}

void frmMain::ToggleInfoBand() {
  const bool checked = !form_.MenuChecked(u"mnuShowInfo");
  form_.SetMenuChecked(u"mnuShowInfo", checked);
  if (checked) {
    infoBand_.ShowBand();
  } else {
    infoBand_.HideBand();
  }
}

void frmMain::OnMenu(std::u16string_view item) {
  if (!loaded_ || unloaded_) return;
  try {
    if (item == u"mnuSetShow") {
      if (settingsDialog_ != nullptr) settingsDialog_->Show();
    } else if (item == u"mnuSndMouse") {
      const bool checked = !form_.MenuChecked(item);
      form_.SetMenuChecked(item, checked);
      if (checked && mouseTimer_ == 0) {
        mouseTimer_ = ports_.loop.SetTimer(kMouseTimerMs, [this] {
          try {
            commands_.MouseTick();
          } catch (...) {
            // The next tick tries again.
          }
        });
      } else if (!checked && mouseTimer_ != 0) {
        ports_.loop.KillTimer(mouseTimer_);
        mouseTimer_ = 0;
      }
    } else if (item == u"mnuShowInfo") {
      ToggleInfoBand();
    } else if (item == u"mnuFileExit") {
      Unload();
      form_.Close();
    } else if (item == u"mnuActiveObject") {
      if (focus_ != nullptr) focus_->AnnounceFocusedObject();
    } else if (item == u"mnuWuxExp") {
      commands_.ToggleWindowReadingMode();
    } else if (item == u"mnuNavBack") {
      commands_.NavigateObject(false);
    } else if (item == u"mnuNavForward") {
      commands_.NavigateObject(true);
    } else if (item == u"mnuReadWin") {
      commands_.ReadWindow();
    } else if (item == u"mnuActivatePR") {
      BringWindowToFront(ports_.windows, ports_.keyboard, form_.Handle());
    } else if (item == u"mnuTime") {
      if (output_) SayTimeAndDate(*output_, ports_.clock, isEnglish_);
    } else if (item == u"mnuAbout") {
      ports_.loop.PostMessage(form_.Handle(), MSG_ABOUT, 1, 0);
    } else if (item == u"mnuHelpOpen") {
      ports_.windows.StartProcess(HelpCommandLine(programFolder_, isEnglish_));
    }
  } catch (...) {
    // Menu commands report nothing.
  }
}

}  // namespace quellon::shell
