// The recording sound player of the simulated desktop.
#include "platform/sim/sim_sound_player.h"

#include "platform/riff_wave.h"

namespace quellon::platform {

bool SimSoundPlayer::PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  played_.push_back(file);
  if (!(flags & SND_ASYNC)) {
    if (auto wave = ReadRiffWave(file)) loop_.Spend(RiffWaveDurationMicros(*wave));
  }
  return true;
}

std::vector<std::u16string> SimSoundPlayer::Cues() const {
  std::vector<std::u16string> out;
  for (const auto& p : played_) out.push_back(p.stem().u16string());
  return out;
}

}  // namespace quellon::platform
