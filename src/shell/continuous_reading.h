// Continuous reading (the main window's ReadTimer): while it runs, the Down key is pressed each
// time the voice has finished the line it was given, and the line reader of the command keys
// speaks the next one. With the built-in engine, Down comes on the second tick after speech
// ended; with a system voice, as soon as the voice has finished, or when it has gone on speaking
// for kSapiWaitMs since the wait began. The wait never blocks the thread: while it lasts, the
// voice is asked every kSapiPollMs and the regular ticks do nothing. It never stops by itself:
// at the end of a document Down keeps being pressed until a Ctrl press stops it.
#pragma once

#include <cstdint>

#include "core/program_state.h"
#include "engine/built_in_engine.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"

namespace quellon::shell {

class ContinuousReading {
 public:
  static constexpr std::uint32_t kTickMs = 500;
  static constexpr std::uint32_t kSapiWaitMs = 5000;
  static constexpr std::uint32_t kSapiPollMs = 50;

  ContinuousReading(platform::EventLoop& loop, platform::Keyboard& keyboard,
                    const core::ProgramState& state, BuiltInEngine& engine)
      : loop_(loop), keyboard_(keyboard), state_(state), engine_(engine) {}
  ~ContinuousReading() { Stop(); }
  ContinuousReading(const ContinuousReading&) = delete;
  ContinuousReading& operator=(const ContinuousReading&) = delete;

  void Start();
  void Stop();
  bool Running() const { return timer_ != 0; }
  std::int16_t Countdown() const { return countdown_; }

 private:
  void Tick();
  void Poll();
  void EndWait();
  void PressDownWhenDue();

  platform::EventLoop& loop_;
  platform::Keyboard& keyboard_;
  const core::ProgramState& state_;
  BuiltInEngine& engine_;
  platform::TimerId timer_ = 0;
  platform::TimerId poll_ = 0;  // the wait for the system voice
  std::uint32_t waited_ = 0;    // ms of it so far
  std::int16_t countdown_ = 0;
};

}  // namespace quellon::shell
