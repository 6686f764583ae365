// frmMain: the program's root. Load brings the system up in a fixed order (settings, language,
// strings, engine, voice, window procedure, hooks, first announcement), Unload takes it down again
// and saves the settings. Every step is guarded: one that fails is skipped and the next one runs.
// The window itself (a picture, a status label, the menu bar) is the platform's business
// (MainForm); the parts of the program that live elsewhere are reached through the interfaces of
// components.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/local_clock.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "platform/window_system.h"
#include "shell/c_setting.h"
#include "shell/components.h"
#include "shell/focus_announcement.h"
#include "shell/speech_output.h"
#include "strings/string_table.h"

namespace quellon::reader {
class EventHookLibrary;
}

namespace quellon::shell {

// Private messages of the main window.
inline constexpr std::uint32_t MSG_HOOK_KEY_UP = 0x8000;
inline constexpr std::uint32_t MSG_HOOK_KEY_DOWN = 0x8001;
inline constexpr std::uint32_t MSG_READ_WEB_LINE = 0x8010;
inline constexpr std::uint32_t MSG_ABOUT = 0x8011;
inline constexpr std::uint32_t MSG_CARET_KEY = 0x8012;
inline constexpr std::uint32_t MSG_NAVIGATE_KEY = 0x8013;
inline constexpr std::uint32_t MSG_TOGGLE_KEY = 0x8014;

struct ProgramVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t revision = 0;
};

// " Release: 1.2.3".
std::u16string StatusCaption(const ProgramVersion& version);
// True only for the NT platform, major version 5 and a minor version other than 0 (Windows XP).
bool DetectWindowsVersion(const platform::OsVersion& version);
// The help text: "<folder>\help.txt", or "<folder>\help_en.txt" for the English interface.
std::u16string HelpCommandLine(const std::filesystem::path& programFolder, bool isEnglish);

// The window as the shell sees it. Captions of the menu items arrive by control name
// (strings::CaptionTarget); the form's name is "frmMain".
class MainForm : public strings::CaptionTarget {
 public:
  std::u16string_view FormName() const override { return u"frmMain"; }
  virtual platform::Hwnd Handle() const = 0;
  // 1 minimises the window.
  virtual void SetWindowState(std::int32_t state) = 0;
  virtual void SetStatusCaption(std::u16string_view caption) = 0;
  virtual bool MenuChecked(std::u16string_view item) const = 0;
  virtual void SetMenuChecked(std::u16string_view item, bool checked) = 0;
  // Puts `proc` in as the window procedure; returns the one it replaced (empty on failure).
  virtual platform::WindowProc ReplaceWindowProc(platform::WindowProc proc) = 0;
  virtual void ShowAbout() = 0;
  // Ends the program once the main window has unloaded (destroys the window, ends the loop).
  virtual void Close() = 0;
  virtual ProgramVersion Version() const = 0;
};

// The built-in engine as the main window drives it.
class BuiltInEngine : public SpeechEngine {
 public:
  virtual void SelectVoice(const std::u16string& name) = 0;
  virtual void SetVolume(std::int16_t value) = 0;
  virtual void SetPitch(std::int16_t value) = 0;
  virtual void SetTempo(std::int16_t value) = 0;
  virtual bool IsSpeaking() const = 0;
  // The hidden wave-output window.
  virtual void LoadWaveWindow() = 0;
};
using EngineFactory =
    std::function<std::unique_ptr<BuiltInEngine>(const std::filesystem::path& programFolder)>;

struct ShellPorts {
  platform::WindowSystem& windows;
  platform::Accessibility& access;
  platform::Keyboard& keyboard;
  platform::EventLoop& loop;
  platform::Profile& profile;
  platform::SoundPlayer& sound;
  platform::SystemVoiceFactory& voices;
  platform::LocalClock& clock;
};

// The parts reached through interfaces; a null pointer gives the empty stand-in (or, for the
// accessibility hook, the focus announcer and the settings dialog, the first versions built here).
struct ShellComponents {
  KeyboardHookComponent* keyboardHook = nullptr;
  AccessibilityHookComponent* accessibilityHook = nullptr;
  ItemListComponent* itemList = nullptr;
  InfoBandComponent* infoBand = nullptr;
  HighlightFrameComponent* highlightFrame = nullptr;
  ProgressSoundComponent* progressSound = nullptr;
  SettingsDialogComponent* settingsDialog = nullptr;
  ReaderCommandsComponent* commands = nullptr;
  FocusAnnouncer* focus = nullptr;
};

class frmMain {
 public:
  static constexpr std::uint32_t kFocusTimerMs = 50;
  static constexpr std::uint32_t kMouseTimerMs = 500;

  frmMain(ShellPorts ports, MainForm& form, EngineFactory engineFactory,
          ShellComponents components = {});
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
  // Say through the one speech routine (nothing while the engine does not exist).
  void Say(const std::u16string& text, bool suppressInfoBand = false);
  void PlaySoundCue(const std::u16string& name);

  // ---- Program-wide state ----
  bool IsWinXP() const { return isWinXP_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }
  bool IsEnglish() const { return isEnglish_; }
  bool SapiActive() const { return output_ && output_->State().SapiActive; }
  bool ShuttingDown() const { return shuttingDown_; }
  bool KeyboardHookFlag() const { return keyboardHookFlag_; }
  const std::u16string& Greeting() const;
  cSetting* Settings() { return settings_.get(); }
  const strings::StringTable* Strings() const { return strings_.get(); }
  BuiltInEngine* Engine() { return engine_.get(); }
  SpeechOutput* Output() { return output_.get(); }
  FocusAnnouncer* Focus() { return focus_; }
  bool MouseTimerEnabled() const { return mouseTimer_ != 0; }
  // Startup or shutdown steps that failed and were skipped ("load 6", "unload 2", ...).
  const std::vector<std::string>& SkippedSteps() const { return skipped_; }

 private:
  template <typename F>
  void Step(const char* phase, int number, F&& f);
  void LoadSettingsDialogHidden();  // the first version of the dialog's load
  void SubclassMainWindow();
  void UnsubclassMainWindow();
  void ToggleInfoBand();

  ShellPorts ports_;
  MainForm& form_;
  EngineFactory engineFactory_;
  NullComponents none_;
  KeyboardHookComponent& keyboardHook_;
  ItemListComponent& itemList_;
  InfoBandComponent& infoBand_;
  HighlightFrameComponent& highlightFrame_;
  ProgressSoundComponent& progressSound_;
  ReaderCommandsComponent& commands_;
  AccessibilityHookComponent* accessibilityHook_;
  SettingsDialogComponent* settingsDialog_;
  FocusAnnouncer* focus_;

  bool loaded_ = false;
  bool unloaded_ = false;
  bool isWinXP_ = false;
  std::filesystem::path programFolder_;
  std::unique_ptr<cSetting> settings_;
  bool isEnglish_ = false;
  std::unique_ptr<strings::StringTable> strings_;
  std::unique_ptr<BuiltInEngine> engine_;
  std::unique_ptr<SpeechOutput> output_;
  std::unique_ptr<platform::SystemVoice> sapiVoice_;
  std::unique_ptr<BasicFocusAnnouncer> ownFocus_;
  std::unique_ptr<reader::EventHookLibrary> eventLibrary_;
  std::unique_ptr<AccessibilityHookComponent> ownAccessibilityHook_;
  bool keyboardHookFlag_ = false;
  bool shuttingDown_ = false;
  platform::WindowProc previousWindowProc_;
  bool subclassed_ = false;
  platform::TimerId focusTimer_ = 0;
  platform::TimerId mouseTimer_ = 0;
  std::vector<std::string> skipped_;
};

}  // namespace quellon::shell
