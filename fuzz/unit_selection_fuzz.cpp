// Fuzz target: unit selection on arbitrary UTF-16 words (lone surrogates and NUL included) with a
// fixed inventory of Czech units. Byte 0 chooses the pause class and byte 1 the declination.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "synth/unit_selection.h"

using namespace quellon;

namespace {

class FixedUnits : public UnitInventory {
 public:
  FixedUnits() {
    const std::u16string consonants = u"bcčdďfghjklmnňpqrřsštťvwxzžľĺŕ";
    const std::u16string vowels = u"aeiouyěäô";
    for (char16_t v : vowels) {
      Add(std::u16string(1, v), true);
      Add(u"ch" + std::u16string(1, v), true);
      for (char16_t c : consonants) Add(std::u16string{c, v}, (c + v) % 3 != 0);
    }
    for (char16_t c : consonants) Add(std::u16string(1, c), c % 2 == 0);
    Add(u"ch", false);
    Add(u"-", false);
  }
  bool UnitExists(std::u16string_view name) const override {
    return names_.count(std::u16string(name)) != 0;
  }

 private:
  void Add(const std::u16string& name, bool voiced) {
    names_.insert(name);
    if (voiced) names_.insert(u"!" + name);
  }
  std::unordered_set<std::u16string> names_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FixedUnits units;
  if (size < 2) return 0;
  const std::int32_t pauseClass = static_cast<std::int8_t>(data[0]) % 5;
  const std::int32_t pitchDeg = static_cast<std::int8_t>(data[1]) * 1000;
  std::u16string word;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    word.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const bool stop = false;
  const std::u16string list = PhomeneToWave(word, pauseClass, units, pitchDeg, stop);
  // Every phoneme yields at least one item, so a short non-empty word always gives a list.
  if (!word.empty() && word.size() < 1000 && list.empty()) std::abort();
  if (word.empty() && !list.empty()) std::abort();
  return 0;
}
