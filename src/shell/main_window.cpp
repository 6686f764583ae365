#include "shell/main_window.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/bring_to_front.h"
#include "core/time_and_date.h"
#include "text/text.h"

namespace quellon::shell {
namespace {

std::u16string Decimal(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

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
      core::ProgramFile(programFolder, isEnglish ? u"help_en.txt" : u"help.txt")
          .generic_u16string();
  std::u16string native = file;
#ifdef _WIN32
  std::replace(native.begin(), native.end(), u'/', u'\\');
#endif
  return u"notepad.exe " + native;
}

frmMain::frmMain(core::Ports ports, MainForm& form, AboutForm& about, EngineFactory engineFactory,
                 std::unique_ptr<PartFactory> parts)
    : ports_(ports),
      form_(form),
      about_(about),
      engineFactory_(std::move(engineFactory)),
      factory_(parts ? std::move(parts) : std::make_unique<PartFactory>()) {
  ReleaseParts();  // every slot holds its null part until the factory's are built
  AddMessageRows();
  AddMenuRows();
}

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

void frmMain::Load(const std::filesystem::path& executableFolder) {
  if (loaded_) return;
  loaded_ = true;
  // FocusTimer is enabled from the start; its ticks run once the loop runs again. A recorded
  // focus change posts a tick of its own as well (see BuildParts), so the announcement does not
  // wait for the timer; the timer's ticks stay for the retries.
  focusTimer_ = ports_.loop.SetTimer(kFocusTimerMs, [this] { RunFocusTick(); });
  focusTick_ = std::make_unique<platform::PostedCall>(ports_.loop, [this] { RunFocusTick(); });

  Step("load", 1, [&] { state_.IsWinXP = DetectWindowsVersion(ports_.windows.GetVersion()); });
  Step("load", 2, [&] { state_.ProgramFolder = core::ProgramFolderOf(executableFolder); });
  Step("load", 3, [&] {
    settings_ = std::make_unique<core::cSetting>(ports_.profile);
    Need(settings_).Init(core::SettingsFilePath(state_.ProgramFolder), {});
  });
  Step("load", 4, [&] { state_.IsEnglish = Need(settings_).Lang() == u"en"; });
  Step("load", 5, [&] {
    strings_ = std::make_unique<strings::StringTable>(state_.IsEnglish);
    Need(strings_).FillUiStrings();
  });
  Step("load", 6, [&] {
    if (!engineFactory_) throw std::runtime_error("no engine");
    engine_ = engineFactory_(state_.ProgramFolder);
    if (!engine_) throw std::runtime_error("no engine");
    output_ = std::make_unique<core::SpeechOutput>(state_, *engine_, Need(strings_), ports_.sound,
                                                   infoBand_.get());
    program_ = std::make_unique<core::Program>(core::Program{
        ports_, state_, Need(settings_), *strings_, *engine_, *output_, form_.Handle()});
    BuildParts();
  });
  Step("load", 7, [&] { settingsDialog_->LoadDialogHidden(); });
  Step("load", 8, [&] { Need(strings_).FillCharNames(); });
  Step("load", 9, [&] { Need(strings_).ApplyCaptions(form_); });
  Step("load", 10, [&] { Need(engine_).SelectVoice(Need(settings_).VoiceName()); });
  Step("load", 11, [&] { Need(engine_).LoadWaveWindow(); });
  Step("load", 12, [&] { SubclassMainWindow(); });
  Step("load", 13, [&] {
    if (state_.KeyboardHookFlag) {
      keyboard_->UnhookKeyboard();
    } else {
      keyboard_->HookKeyboard();
    }
    state_.KeyboardHookFlag = !state_.KeyboardHookFlag;
  });
  Step("load", 14, [&] {
    if (Need(settings_).TimeWelcome() != 0 && program_) {
      state_.Greeting = Need(strings_).GetString(strings::StringTable::kGreeting) +
                        core::TimeAndDateText(ports_.clock, state_.IsEnglish) + u" ";
    }
  });
  Step("load", 15, [&] { accessibilityHook_->InstallAccessibilityHook(); });
  Step("load", 16, [&] { form_.SetWindowState(1); });
  Step("load", 17, [&] { focus_->AnnounceForegroundWindow(); });
  Step("load", 18, [&] { itemList_->CreateItemList(); });
  Step("load", 19, [&] {
    if (Need(settings_).InfoActive() != 0) ToggleInfoBand();
  });
  Step("load", 20, [&] {
    ports_.windows.ChangeWindowMessageFilter(platform::MSG_KEY_RELEASED, 1);
    ports_.windows.ChangeWindowMessageFilter(platform::MSG_KEY_PRESSED, 1);
  });
  Step("load", 21, [&] {
    highlightFrame_->LoadFrameHidden();
    // Off unless the user asked for it: then it follows what is spoken about.
    frameFollower_.Configure(Need(settings_).ReadFrameSettings());
  });
  Step("load", 22, [&] { form_.SetStatusCaption(StatusCaption(form_.Version())); });
  Step("load", 23, [&] { progressTone_->LoadProgressSound(u"snd\\progress.wav"); });
}

void frmMain::RunFocusTick() {
  try {
    if (state_.ShuttingDown) return;
    focus_->FocusTick();
    keyboard_->FocusStateChanged();
  } catch (...) {
    // A failing tick is retried on the next one.
  }
}

void frmMain::BuildParts() {
  // Each part is asked for once; one that cannot be built keeps its null part.
  auto build = [this](const char* name, auto& slot, auto make) {
    try {
      if (auto part = make()) slot = std::move(part);
    } catch (...) {
      skipped_.push_back(std::string("part ") + name);
    }
  };
  const core::Program& p = *program_;
  eventLibrary_ =
      std::make_unique<reader::EventHookLibrary>(ports_.access, ports_.windows, &ports_.loop);
  objectWalker_ = std::make_unique<access::ObjectWalker>(ports_.access, ports_.windows);
  build("app-bar docking", appBar_, [&] { return factory_->MakeAppBarDocking(p); });
  build("info band", infoBand_,
        [&] { return factory_->MakeInfoBand(p, *appBar_, frameFollower_); });
  Need(output_).SetInfoBand(infoBand_.get());
  build("highlight frame", highlightFrame_, [&] { return factory_->MakeHighlightFrame(p); });
  build("progress tone", progressTone_, [&] { return factory_->MakeProgressTone(p); });
  build("item list", itemList_, [&] { return factory_->MakeItemList(p); });
  build("web reader", webReader_, [&] { return factory_->MakeWebReader(p); });
  build("DirectUI reader", directUI_, [&] { return factory_->MakeDirectUIReader(p); });
  build("caret readers", caret_, [&] { return factory_->MakeCaretReaders(p); });
  build("mouse announcer", mouse_, [&] { return factory_->MakeMouseAnnouncer(p); });
  build("focus tracking", focus_, [&] {
    return factory_->MakeFocusTracking(
        p, reader::FocusTrackingParts{
               *eventLibrary_, *objectWalker_, *caret_, *itemList_, *progressTone_,
               [this](platform::Hwnd foreground) { HookIE(foreground); }, infoBand_.get(),
               &ports_.keyboard, [this] { return form_.MenuChecked(u"mnuShowInfo"); },
               // Posted behind the events already queued: a burst of them gives one tick.
               [this] {
                 if (focusTick_) focusTick_->Post();
               },
               &frameFollower_});
  });
  build("accessibility hook", accessibilityHook_,
        [&] { return factory_->MakeAccessibilityHook(p, *eventLibrary_, *focus_); });
  reading_ = std::make_unique<ContinuousReading>(ports_.loop, ports_.keyboard, state_, *engine_);
  build("keyboard handler", keyboard_, [&] {
    return factory_->MakeKeyboardHandler(
        p, reader::KeyboardParts{
               *focus_, *caret_, *itemList_, *webReader_, *directUI_, *infoBand_,
               [this] { reading_->Start(); }, [this] { reading_->Stop(); },
               [this] { return reading_->Running(); },
               [this](bool checked) { form_.SetMenuChecked(u"mnuNavBack", checked); }});
  });
  build("settings dialog", settingsDialog_, [&] {
    return factory_->MakeSettingsDialog(
        p, [this](const std::u16string& name) { SelectSapiVoice(name); });
  });
  build("automation", automation_, [&] {
    return factory_->MakeAutomation(
        p, AutomationParts{*accessibilityHook_,
                           [this] {
                             ports_.loop.PostMessage(form_.Handle(),
                                                     platform::MSG_AUTOMATION_DESTROY, 0, 0);
                           },
                           [this](std::int32_t mode) {
                             ports_.windows.ShowWindow(
                                 form_.Handle(), mode == 1 ? platform::SW_SHOW : platform::SW_HIDE);
                           }});
  });
}

void frmMain::ReleaseSpeakingParts() {
  automation_ = std::make_unique<NullAutomation>();
  keyboard_ = std::make_unique<reader::NullKeyboardHandler>();
  accessibilityHook_ = std::make_unique<reader::NullAccessibilityHook>();
  focus_ = std::make_unique<reader::NullFocusAnnouncer>();
  mouse_ = std::make_unique<reader::NullMouseAnnouncer>();
  caret_ = std::make_unique<reader::NullCaretReaders>();
  directUI_ = std::make_unique<access::NullDirectUIReader>();
  webReader_ = std::make_unique<access::NullWebReader>();
  itemList_ = std::make_unique<access::NullItemList>();
}

void frmMain::ReleaseParts() {
  ReleaseSpeakingParts();
  settingsDialog_ = std::make_unique<NullSettingsDialog>();
  progressTone_ = std::make_unique<NullProgressTone>();
  highlightFrame_ = std::make_unique<aids::NullHighlightFrame>();
  if (output_) output_->SetInfoBand(nullptr);
  infoBand_ = std::make_unique<aids::NullInfoBand>();
  appBar_ = std::make_unique<aids::NullAppBarDocking>();
}

void frmMain::Unload() {
  if (!loaded_ || unloaded_) return;
  unloaded_ = true;
  Step("unload", 1, [&] { progressTone_->CloseProgressSound(); });
  Step("unload", 2, [&] {
    if (!settings_) throw std::runtime_error("no settings");
    Need(settings_).SetInfoActive(infoBand_->BandVisible() ? -1 : 0);
    const int written = Need(settings_).SaveSetting();
    settings_.reset();
    if (written != 8) throw std::runtime_error("settings not saved");
  });
  Step("unload", 3, [&] { Need(engine_).Reset(); });
  Step("unload", 4, [&] { state_.ShuttingDown = true; });
  Step("unload", 5, [&] { Need(output_).PlaySoundCue(u"close"); });
  Step("unload", 6, [&] { accessibilityHook_->RemoveAccessibilityHook(); });
  Step("unload", 7, [&] { UnsubclassMainWindow(); });
  Step("unload", 8, [&] {
    if (focusTimer_ != 0) ports_.loop.KillTimer(focusTimer_);
    focusTimer_ = 0;
    if (focusTick_) focusTick_->Cancel();
    if (mouseTimer_ != 0) ports_.loop.KillTimer(mouseTimer_);
    mouseTimer_ = 0;
    if (reading_) reading_->Stop();
  });
  Step("unload", 9, [&] {
    if (state_.KeyboardHookFlag) keyboard_->UnhookKeyboard();
  });
  Step("unload", 10, [&] {
    itemList_->ReleaseItemList();
    // What speaks goes with the engine: the parts that announce, the speech routine, the voices.
    ReleaseSpeakingParts();
    reading_.reset();
    output_.reset();
    engine_.reset();
    state_.SapiVoice = nullptr;
    state_.SapiActive = false;
    sapiVoice_.reset();
  });
  Step("unload", 11, [&] {
    frameFollower_.Stop();
    highlightFrame_->UnloadFrame();
    settingsDialog_->UnloadDialog();
    infoBand_->UnloadBand();
  });
  ReleaseParts();
  myIE_.reset();
  eventLibrary_.reset();
  objectWalker_.reset();
  program_.reset();
}

void frmMain::SelectSapiVoice(const std::u16string& name) {
  if (!output_) return;
  state_.SapiActive = false;
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
      state_.SapiVoice = sapiVoice_.get();
      state_.SapiActive = true;
      return;
    }
  } catch (...) {
    state_.SapiActive = false;
  }
}

void frmMain::HookIE(platform::Hwnd windowHandle) {
  myIE_.reset();
  try {
    for (const std::shared_ptr<platform::BrowserWindow>& browser : ports_.html.ShellWindows()) {
      if (!browser) continue;
      if (browser->WindowHandle() != windowHandle) continue;
      browser->SetVisible(true);
      myIE_ = browser;
      return;
    }
  } catch (...) {
    myIE_.reset();
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

void frmMain::AddMessageRows() {
  const MessageHandler toKeyboard = [this](std::uint32_t message, platform::WParam wParam,
                                           platform::LParam lParam) {
    keyboard_->OnKeyMessage(message, wParam, lParam);
  };
  messageTable_[platform::MSG_KEY_RELEASED] = toKeyboard;
  messageTable_[platform::MSG_KEY_PRESSED] = toKeyboard;
  messageTable_[platform::MSG_CARET_KEY] = toKeyboard;
  messageTable_[platform::MSG_NAVIGATE_KEY] = toKeyboard;
  messageTable_[platform::MSG_READ_WEB_LINE] = [this](std::uint32_t, platform::WParam wParam,
                                                      platform::LParam) {
    if (wParam == 1) webReader_->ReadWebLine();
  };
  messageTable_[platform::MSG_ABOUT] = [this](std::uint32_t, platform::WParam, platform::LParam) {
    about_.ShowAbout();
  };
  messageTable_[platform::MSG_AUTOMATION_DESTROY] =
      [this](std::uint32_t, platform::WParam, platform::LParam) { OnMenu(u"mnuFileExit"); };
  messageTable_[platform::MSG_TOGGLE_KEY] =
      [this](std::uint32_t, platform::WParam, platform::LParam) { Say(focus_->CheckStateText()); };
}

platform::LResult frmMain::MainWindowProc(platform::Hwnd hwnd, std::uint32_t message,
                                          platform::WParam wParam, platform::LParam lParam) {
  try {
    if (const auto row = messageTable_.find(message); row != messageTable_.end()) {
      row->second(message, wParam, lParam);
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
    infoBand_->ShowBand();
  } else {
    infoBand_->HideBand();
  }
}

void frmMain::ToggleMouseAnnouncement() {
  const bool checked = !form_.MenuChecked(u"mnuSndMouse");
  form_.SetMenuChecked(u"mnuSndMouse", checked);
  if (checked && mouseTimer_ == 0) {
    mouseTimer_ = ports_.loop.SetTimer(kMouseTimerMs, [this] {
      try {
        mouse_->MouseTick();
      } catch (...) {
        // The next tick tries again.
      }
    });
  } else if (!checked && mouseTimer_ != 0) {
    ports_.loop.KillTimer(mouseTimer_);
    mouseTimer_ = 0;
  }
}

void frmMain::AddMenuRows() {
  menuTable_ = {
      {u"mnuSetShow", [this] { settingsDialog_->ShowDialog(); }},
      {u"mnuSndMouse", [this] { ToggleMouseAnnouncement(); }},
      {u"mnuShowInfo", [this] { ToggleInfoBand(); }},
      {u"mnuFileExit",
       [this] {
         Unload();
         form_.Close();
       }},
      {u"mnuActiveObject", [this] { focus_->AnnounceFocusedObject(); }},
      {u"mnuWuxExp", [this] { focus_->ToggleWindowReadingMode(); }},
      {u"mnuNavBack", [this] { focus_->NavigateObject(false); }},
      {u"mnuNavForward", [this] { focus_->NavigateObject(true); }},
      {u"mnuReadWin", [this] { caret_->ReadWindow(); }},
      {u"mnuActivatePR",
       [this] { core::BringWindowToFront(ports_.windows, ports_.keyboard, form_.Handle()); }},
      {u"mnuTime",
       [this] {
         if (output_) core::SayTimeAndDate(*output_, ports_.clock, state_.IsEnglish);
       }},
      {u"mnuAbout", [this] { ports_.loop.PostMessage(form_.Handle(), platform::MSG_ABOUT, 1, 0); }},
      {u"mnuHelpOpen",
       [this] {
         ports_.windows.StartProcess(HelpCommandLine(state_.ProgramFolder, state_.IsEnglish));
       }},
  };
}

void frmMain::OnMenu(std::u16string_view item) {
  if (!loaded_ || unloaded_) return;
  try {
    if (const auto row = menuTable_.find(std::u16string(item)); row != menuTable_.end()) {
      row->second();
    }
  } catch (...) {
    // Menu commands report nothing.
  }
}

}  // namespace quellon::shell
