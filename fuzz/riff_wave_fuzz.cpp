// Sound files in the program folder may be damaged: any bytes must parse to a defined outcome
// without reading past the end or allocating more than the file holds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/riff_wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  if (auto wave = quellon::platform::ParseRiffWave(bytes)) {
    if (wave->data.size() > size) __builtin_trap();
    (void)quellon::platform::RiffWaveDurationMicros(*wave);
  }
  return 0;
}
