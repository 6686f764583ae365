// The parts of the program that the main window starts and stops but that live elsewhere: each
// is reached through a small interface, and each has an empty stand-in for as long as the part is
// not built (NullComponents), so the startup and shutdown order stays complete.
#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"
#include "shell/speech_output.h"

namespace quellon::shell {

// The low-level keyboard hook with the command keys, and the fallback hook library's messages.
class KeyboardHookComponent {
 public:
  virtual ~KeyboardHookComponent() = default;
  virtual void HookKeyboard() = 0;
  virtual void UnhookKeyboard() = 0;
  // Private messages 0x8000 / 0x8001 (fallback hook), 0x8012 / 0x8013 (caret and navigation keys).
  virtual void OnKeyMessage(std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) = 0;
};

// The accessibility event hook (installed with the focus callback of the main window).
class AccessibilityHookComponent {
 public:
  virtual ~AccessibilityHookComponent() = default;
  virtual void InstallAccessibilityHook() = 0;
  virtual void RemoveAccessibilityHook() = 0;
};

// The item list of a window, used by window reading mode.
class ItemListComponent {
 public:
  virtual ~ItemListComponent() = default;
  virtual void Create() = 0;
  virtual void Release() = 0;
};

// The info band: shown and hidden by the menu; Say writes into it while the menu item is checked.
class InfoBandComponent : public InfoBand {
 public:
  virtual void ShowBand() = 0;  // load and show, text box emptied
  virtual void HideBand() = 0;  // hide and unload
  virtual bool Visible() const = 0;
  virtual void Unload() = 0;
};

// The highlight frame.
class HighlightFrameComponent {
 public:
  virtual ~HighlightFrameComponent() = default;
  virtual void LoadHidden() = 0;
  virtual void Unload() = 0;
};

// The progress tone's sound.
class ProgressSoundComponent {
 public:
  virtual ~ProgressSoundComponent() = default;
  virtual void LoadProgressSound(const std::u16string& relativePath) = 0;
  virtual void CloseProgressSound() = 0;
};

// The settings dialog: loaded hidden at startup (its load applies the stored voice settings to the
// engines and selects the system voice by name), shown from the menu, unloaded at the end.
class SettingsDialogComponent {
 public:
  virtual ~SettingsDialogComponent() = default;
  virtual void LoadHidden() = 0;
  virtual void Show() = 0;
  virtual void Unload() = 0;
};

// Commands of the menu that belong to other parts, and the messages they post.
class ReaderCommandsComponent {
 public:
  virtual ~ReaderCommandsComponent() = default;
  virtual void ToggleWindowReadingMode() = 0;
  virtual void NavigateObject(bool forward) = 0;
  virtual void ReadWindow() = 0;
  virtual void ReadWebLine() = 0;  // private message 0x8010
  virtual void MouseTick() = 0;    // MouseTimer
};

// Empty stand-ins: each does nothing (the info band is never shown).
class NullComponents final : public KeyboardHookComponent,
                             public AccessibilityHookComponent,
                             public ItemListComponent,
                             public InfoBandComponent,
                             public HighlightFrameComponent,
                             public ProgressSoundComponent,
                             public ReaderCommandsComponent {
 public:
  void HookKeyboard() override {}
  void UnhookKeyboard() override {}
  void OnKeyMessage(std::uint32_t, platform::WParam, platform::LParam) override {}
  void InstallAccessibilityHook() override {}
  void RemoveAccessibilityHook() override {}
  void Create() override {}
  void Release() override {}
  bool IsShown() const override { return false; }
  void SetText(const std::u16string&) override {}
  void ShowBand() override {}
  void HideBand() override {}
  bool Visible() const override { return false; }
  void Unload() override {}
  void LoadHidden() override {}
  void LoadProgressSound(const std::u16string&) override {}
  void CloseProgressSound() override {}
  void ToggleWindowReadingMode() override {}
  void NavigateObject(bool) override {}
  void ReadWindow() override {}
  void ReadWebLine() override {}
  void MouseTick() override {}
};

}  // namespace quellon::shell
