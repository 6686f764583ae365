#include "platform/win32/win32_windows.h"

#include <mmsystem.h>

#include "platform/win32/win32_sound.h"

namespace quellon::platform {

bool Win32SoundPlayer::PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) {
  // SND_NODEFAULT: a missing file is a failure, not the system's default sound.
  const DWORD how = SND_FILENAME | SND_NODEFAULT | ((flags & SND_ASYNC) != 0 ? SND_ASYNC : 0);
  return PlaySoundW(file.c_str(), nullptr, how) != FALSE;
}

}  // namespace quellon::platform
