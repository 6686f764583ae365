// Sounds on Windows (winmm PlaySound).
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/sound.h"

namespace quellon::platform {

class Win32SoundPlayer : public SoundPlayer {
 public:
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) override;
};

}  // namespace quellon::platform
