// Sample sequences as the engine passes them around: signed 16-bit PCM, mono, 22050 Hz.
#pragma once

#include <cstdint>
#include <vector>

namespace quellon {

// A sample sequence holds indices 0..UpperBound(a). The valid samples are 0..UpperBound-1 and the
// element at UpperBound is a spare 0, so a sequence of n samples has n + 1 elements. The empty
// sequence has upper bound 0: one spare element and no sample. A default-constructed (size 0)
// vector is treated as empty too.
using SampleArray = std::vector<std::int16_t>;

inline std::int32_t UpperBound(const SampleArray& a) {
  return a.empty() ? 0 : static_cast<std::int32_t>(a.size()) - 1;
}
inline SampleArray EmptySamples() {
  return SampleArray(1, 0);
}

constexpr int kSampleRate = 22050;

}  // namespace quellon
