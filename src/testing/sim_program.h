// What a part of the screen reader is built from, on the simulated desktop: the ports of one
// desktop, the program state, settings that live only in memory, a recording engine, the UI
// strings, the speech routine and a hidden main window. Parts under test take `program`.
#pragma once

#include <string>
#include <vector>

#include "core/c_setting.h"
#include "core/ini_profile.h"
#include "core/program.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "strings/string_table.h"

namespace quellon::testing {

struct SimProgram {
  struct NoClock : platform::LocalClock {
    platform::LocalTime GetLocalTime() override { return {}; }
  };

  explicit SimProgram(bool english = false) : table(strings::StringTable::Loaded(english)) {}

  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  core::IniProfile profile;
  platform::SimWaveMapper waveOut{loop, 2};
  NoClock clock;
  core::Ports ports{desk.Windows(), desk.Access(), desk.Keys(),         loop,
                    profile,        desk.Sounds(), desk.Voice(),        clock,
                    waveOut,        desk.Html(),   desk.ClipboardPort()};
  core::ProgramState state;
  core::cSetting settings{profile};
  // What the engine was asked: "say:<text>", "reset", ...
  std::vector<std::u16string> log;
  FakeEngine engine{log};
  strings::StringTable table;
  core::SpeechOutput output{state, engine, table, desk.Sounds()};
  platform::Hwnd mainWindow = loop.CreateHiddenWindow();
  core::Program program{ports, state, settings, table, engine, output, mainWindow};
};

}  // namespace quellon::testing
