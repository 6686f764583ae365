// Builds without the engine: no coverage or join checks.
#include "voice_builder.h"

namespace quellon::voicebuild {
EngineHooks DefaultEngineHooks() {
  return {};
}
}  // namespace quellon::voicebuild
