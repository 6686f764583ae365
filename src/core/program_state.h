// The program-wide state of the screen reader: one instance, owned by the main window for the
// whole run and passed to every part that reads or changes it. Everything runs on the main
// thread, so nothing here is locked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/focus_record.h"
#include "platform/system_voice.h"

namespace quellon::core {

struct ProgramState {
  std::filesystem::path ProgramFolder;
  bool IsWinXP = false;
  bool IsEnglish = false;

  // Text spoken in front of the next focus announcement, emptied once spoken.
  std::u16string Greeting;
  // From the start of shutdown on, Say does nothing and the timers do no more work.
  bool ShuttingDown = false;

  // The system voice speaks instead of the built-in engine.
  bool SapiActive = false;
  platform::SystemVoice* SapiVoice = nullptr;  // owned by the main window
  std::u16string SapiPitchTag;                 // prefix of every text given to the system voice

  // The keyboard hook is installed.
  bool KeyboardHookFlag = false;
  // Window reading mode: the focus moves through the item list of the window.
  bool ListMode = false;
  std::int32_t ListIndex = 0;
  // Navigation mode: Up and Down walk the window's objects.
  bool NavigationMode = false;
  // The dead key pending on the fallback keyboard path (0 none, 1 acute, 2 caron); every focus
  // change clears it.
  std::int32_t FallbackDeadKey = 0;

  FocusRecord Focus;
};

}  // namespace quellon::core
