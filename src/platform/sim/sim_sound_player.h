// The sound player of the simulated desktop, recording the files it was asked to play.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/sound.h"

namespace quellon::platform {

// sndPlaySound: records the file; a synchronous play spends the sound's length of virtual time
// (the thread is blocked meanwhile). A file that does not exist is not played (false).
class SimSoundPlayer : public SoundPlayer {
 public:
  explicit SimSoundPlayer(SimEventLoop& loop) : loop_(loop) {}
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) override;
  const std::vector<std::filesystem::path>& Played() const { return played_; }
  // The cue names: the file names without folder and extension, in order.
  std::vector<std::u16string> Cues() const;
  void ClearRecord() { played_.clear(); }

 private:
  SimEventLoop& loop_;
  std::vector<std::filesystem::path> played_;
};

}  // namespace quellon::platform
