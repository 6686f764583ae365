// What the parts of the screen reader are built from: the platform's ports, the program-wide
// state, the settings, the UI strings, the built-in engine and the one speech routine. The main
// window makes it once the engine exists (startup step 6) and hands it to every part it builds.
#pragma once

#include "core/c_setting.h"
#include "core/program_state.h"
#include "core/speech_output.h"
#include "engine/built_in_engine.h"
#include "platform/accessibility.h"
#include "platform/clipboard.h"
#include "platform/event_loop.h"
#include "platform/html_document.h"
#include "platform/keyboard.h"
#include "platform/local_clock.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "platform/system_voice.h"
#include "platform/wave_out.h"
#include "platform/window_system.h"
#include "strings/string_table.h"

namespace quellon::core {

struct Ports {
  platform::WindowSystem& windows;
  platform::Accessibility& access;
  platform::Keyboard& keyboard;
  platform::EventLoop& loop;
  platform::Profile& profile;
  platform::SoundPlayer& sound;
  platform::SystemVoiceFactory& voices;
  platform::LocalClock& clock;
  // The wave-out devices (the wave mapper) for the sounds the parts play themselves.
  platform::WaveOut& waveOut;
  // Web documents and the shell's browser windows.
  platform::HtmlPlatform& html;
  platform::Clipboard& clipboard;
};

struct Program {
  const Ports& ports;
  ProgramState& state;
  cSetting& settings;
  const strings::StringTable& strings;
  BuiltInEngine& engine;
  SpeechOutput& output;
  platform::Hwnd mainWindow;
};

}  // namespace quellon::core
