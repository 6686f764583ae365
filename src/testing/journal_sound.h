// A sound player for tests that writes each cue it is asked to play into a journal, as
// "cue:<file stem>", so that the cues' order against the engine's speech (written into the same
// journal) shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace quellon::testing {

class JournalSound : public platform::SoundPlayer {
 public:
  explicit JournalSound(std::vector<std::u16string>& log) : log_(log) {}
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t) override {
    log_.push_back(u"cue:" + file.stem().u16string());
    return true;
  }

 private:
  std::vector<std::u16string>& log_;
};

}  // namespace quellon::testing
