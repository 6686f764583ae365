// The simple-sound port: sndPlaySound of a WAV file.
#pragma once

#include <cstdint>
#include <filesystem>

namespace quellon::platform {

inline constexpr std::uint32_t SND_SYNC = 0x0;
inline constexpr std::uint32_t SND_ASYNC = 0x1;

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays a WAV file; with SND_SYNC it returns when the sound has ended. False when the file
  // cannot be played.
  virtual bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) = 0;
};

}  // namespace quellon::platform
