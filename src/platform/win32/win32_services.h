// The smaller ports on Windows: the clipboard (user32), application bars (shell32), sounds
// (winmm PlaySound) and the system voice (SAPI 5 through COM).
#pragma once

#include "platform/clipboard.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system_voice.h"

namespace quellon::platform {

// The clipboard. Opening it fails while another program holds it open; the call then gives
// nullopt / false at once rather than waiting.
class Win32Clipboard : public Clipboard {
 public:
  std::optional<std::u16string> GetText() override;
  bool SetText(const std::u16string& text) override;
};

class Win32Shell : public Shell {
 public:
  std::uintptr_t AppBarMessage(std::uint32_t message, AppBarData& data) override;
};

class Win32SoundPlayer : public SoundPlayer {
 public:
  bool PlaySoundFile(const std::filesystem::path& file, std::uint32_t flags) override;
};

// SAPI 5. Each voice object initialises COM on its thread for its lifetime.
class Win32SystemVoiceFactory : public SystemVoiceFactory {
 public:
  std::unique_ptr<SystemVoice> CreateVoice() override;
};

}  // namespace quellon::platform
