// The system voice on Windows: SAPI 5 through COM.
#pragma once

#include <memory>

#include "platform/system_voice.h"

namespace quellon::platform {

// SAPI 5. Each voice object initialises COM on its thread for its lifetime.
class Win32SystemVoiceFactory : public SystemVoiceFactory {
 public:
  std::unique_ptr<SystemVoice> CreateVoice() override;
};

}  // namespace quellon::platform
