// The progress tone: a short sound whose pitch follows the percentage of a progress bar that
// changes in the foreground window. Loaded at startup from the program folder's progress sound,
// closed at shutdown.
#pragma once

#include <cstdint>
#include <string>

namespace quellon {

class ProgressTone {
 public:
  virtual ~ProgressTone() = default;
  // Reads the sound (a path relative to the program folder, such as u"snd\\progress.wav").
  virtual void LoadProgressSound(const std::u16string& relativePath) = 0;
  virtual void CloseProgressSound() = 0;
  // Plays the tone for `percent` (1..100) and returns when it has sounded.
  virtual void PlayProgressTone(std::int32_t percent) = 0;
  // A tone is sounding now (a value change that arrives meanwhile plays nothing).
  virtual bool ProgressTonePlaying() const = 0;
};

// No tone: nothing is loaded and nothing plays.
class NullProgressTone final : public ProgressTone {
 public:
  void LoadProgressSound(const std::u16string&) override {}
  void CloseProgressSound() override {}
  void PlayProgressTone(std::int32_t) override {}
  bool ProgressTonePlaying() const override { return false; }
};

}  // namespace quellon
