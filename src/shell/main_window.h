// frmMain: the program's root. Load brings the system up in a fixed order (settings, language,
// strings, engine, voice, window procedure, hooks, first announcement), Unload takes it down again
// and saves the settings. Every step is guarded: one that fails is skipped and the next one runs.
// The window itself (a picture, a status label, the menu bar) is the platform's business
// (MainForm); the parts of the program come from the PartFactory once the engine and the speech
// routine exist, and are started and stopped at their own steps. The window procedure and the
// menu dispatch through tables (message number -> handler, control name -> command).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/c_setting.h"
#include "core/program.h"
#include "core/program_state.h"
#include "core/speech_output.h"
#include "engine/built_in_engine.h"
#include "platform/html_document.h"
#include "platform/posted_call.h"
#include "platform/system_voice.h"
#include "shell/about_form.h"
#include "shell/continuous_reading.h"
#include "shell/main_form.h"
#include "shell/part_factory.h"
#include "strings/string_table.h"

namespace quellon::shell {

// " Release: 1.2.3".
std::u16string StatusCaption(const ProgramVersion& version);
// True only for the NT platform, major version 5 and a minor version other than 0 (Windows XP).
bool DetectWindowsVersion(const platform::OsVersion& version);
// The help text: "<folder>\help.txt", or "<folder>\help_en.txt" for the English interface.
std::u16string HelpCommandLine(const std::filesystem::path& programFolder, bool isEnglish);

using EngineFactory =
    std::function<std::unique_ptr<BuiltInEngine>(const std::filesystem::path& programFolder)>;

class frmMain {
 public:
  static constexpr std::uint32_t kFocusTimerMs = 50;
  static constexpr std::uint32_t kMouseTimerMs = 500;

  frmMain(core::Ports ports, MainForm& form, AboutForm& about, EngineFactory engineFactory,
          std::unique_ptr<PartFactory> parts = std::make_unique<PartFactory>());
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // The load event: startup steps 1 to 23 from the folder of the running program.
  void Load(const std::filesystem::path& executableFolder);
  // The unload event: shutdown steps 1 to 11. Runs once; later calls do nothing.
  void Unload();
  bool Loaded() const { return loaded_; }
  bool Unloaded() const { return unloaded_; }

  // A menu item was chosen (by control name, such as u"mnuFileExit").
  void OnMenu(std::u16string_view item);
  // The subclassed window procedure.
  platform::LResult MainWindowProc(platform::Hwnd hwnd, std::uint32_t message,
                                   platform::WParam wParam, platform::LParam lParam);

  // Selects the system voice whose description is `name`; SapiActive tells whether it speaks.
  void SelectSapiVoice(const std::u16string& name);
  // Attaches to the shell's browser window whose handle is `windowHandle` (made visible); no
  // browser when none matches. Its events are not listened to.
  void HookIE(platform::Hwnd windowHandle);
  const std::shared_ptr<platform::BrowserWindow>& AttachedBrowser() const { return myIE_; }
  // Say through the one speech routine (nothing while the engine does not exist).
  void Say(const std::u16string& text, bool suppressInfoBand = false);
  void PlaySoundCue(const std::u16string& name);

  // ---- Program-wide state ----
  const core::ProgramState& State() const { return state_; }
  bool IsWinXP() const { return state_.IsWinXP; }
  const std::filesystem::path& ProgramFolder() const { return state_.ProgramFolder; }
  bool IsEnglish() const { return state_.IsEnglish; }
  bool SapiActive() const { return state_.SapiActive; }
  bool ShuttingDown() const { return state_.ShuttingDown; }
  bool KeyboardHookFlag() const { return state_.KeyboardHookFlag; }
  const std::u16string& Greeting() const { return state_.Greeting; }
  core::cSetting* Settings() { return settings_.get(); }
  const strings::StringTable* Strings() const { return strings_.get(); }
  BuiltInEngine* Engine() { return engine_.get(); }
  core::SpeechOutput* Output() { return output_.get(); }
  reader::FocusAnnouncer& Focus() { return *focus_; }
  // The automation class App as outside callers reach it (the null part before startup step 6
  // and from shutdown step 10 on).
  Automation& AutomationObject() { return *automation_; }
  bool MouseTimerEnabled() const { return mouseTimer_ != 0; }
  bool ReadTimerEnabled() const { return reading_ && reading_->Running(); }
  // Startup or shutdown steps that failed and were skipped ("load 6", "unload 2", ...).
  const std::vector<std::string>& SkippedSteps() const { return skipped_; }

 private:
  using MessageHandler =
      std::function<void(std::uint32_t message, platform::WParam wParam, platform::LParam lParam)>;

  template <typename F>
  void Step(const char* phase, int number, F&& f);
  void BuildParts();
  // Puts the null parts back: those that announce (released with the engine), then all.
  void ReleaseSpeakingParts();
  void ReleaseParts();
  void AddMessageRows();
  void AddMenuRows();
  void SubclassMainWindow();
  void UnsubclassMainWindow();
  void ToggleInfoBand();
  void ToggleMouseAnnouncement();
  // The focus tick and what follows it; from the timer and from the posted tick.
  void RunFocusTick();

  core::Ports ports_;
  MainForm& form_;
  AboutForm& about_;
  EngineFactory engineFactory_;
  std::unique_ptr<PartFactory> factory_;

  core::ProgramState state_;
  bool loaded_ = false;
  bool unloaded_ = false;
  std::unique_ptr<core::cSetting> settings_;
  std::unique_ptr<strings::StringTable> strings_;
  std::unique_ptr<BuiltInEngine> engine_;
  std::unique_ptr<core::SpeechOutput> output_;
  std::unique_ptr<core::Program> program_;
  std::unique_ptr<platform::SystemVoice> sapiVoice_;
  std::unique_ptr<reader::EventHookLibrary> eventLibrary_;
  std::unique_ptr<access::ObjectWalker> objectWalker_;
  std::unique_ptr<ContinuousReading> reading_;     // ReadTimer
  std::shared_ptr<platform::BrowserWindow> myIE_;  // My_IE

  // The highlight frame following the focus and the list's items; it reaches the frame part in
  // its slot, so it outlives every part.
  aids::FrameFollower frameFollower_{[this]() -> aids::HighlightFrame& {
    if (highlightFrame_) return *highlightFrame_;
    return noFrame_;
  }};
  aids::NullHighlightFrame noFrame_;

  // The parts: null parts until BuildParts has the factory's.
  std::unique_ptr<aids::AppBarDocking> appBar_;
  std::unique_ptr<aids::InfoBand> infoBand_;
  std::unique_ptr<aids::HighlightFrame> highlightFrame_;
  std::unique_ptr<ProgressTone> progressTone_;
  std::unique_ptr<access::ItemList> itemList_;
  std::unique_ptr<access::WebReader> webReader_;
  std::unique_ptr<access::DirectUIReader> directUI_;
  std::unique_ptr<reader::CaretReaders> caret_;
  std::unique_ptr<reader::MouseAnnouncer> mouse_;
  std::unique_ptr<reader::FocusAnnouncer> focus_;
  std::unique_ptr<reader::AccessibilityHook> accessibilityHook_;
  std::unique_ptr<reader::KeyboardHandler> keyboard_;
  std::unique_ptr<SettingsDialog> settingsDialog_;
  std::unique_ptr<Automation> automation_;

  std::unordered_map<std::uint32_t, MessageHandler> messageTable_;
  std::unordered_map<std::u16string, std::function<void()>> menuTable_;
  platform::WindowProc previousWindowProc_;
  bool subclassed_ = false;
  platform::TimerId focusTimer_ = 0;
  // The tick posted when an event recorded a focus change.
  std::unique_ptr<platform::PostedCall> focusTick_;
  platform::TimerId mouseTimer_ = 0;
  std::vector<std::string> skipped_;
};

}  // namespace quellon::shell
