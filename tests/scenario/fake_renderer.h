// A word renderer for the scenario tests: every word sounds as a known number of samples whose
// value tells which rendering it came from, and every pause item as 50 zero samples per
// repetition, so the sound a device played can be checked sample by sample.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/wave_output.h"

namespace quellon::testing {

class FakeRenderer : public WordRenderer {
 public:
  // Words without an entry sound for `defaultLength` samples; an entry of 0 gives an empty unit
  // list (a word with no sound).
  std::map<std::u16string, int> lengths;
  int defaultLength = 4000;
  std::vector<std::u16string> words;      // every word rendered, in order
  std::vector<std::u16string> unitLists;  // every unit list synthesised, in order
  std::vector<std::int16_t> expected;     // the concatenation of every result
  int renders = 0;

  std::u16string WordToUnits(std::u16string_view word, std::int32_t /*pauseClass*/) override {
    words.emplace_back(word);
    auto it = lengths.find(std::u16string(word));
    const int n = it == lengths.end() ? defaultLength : it->second;
    if (n == 0) return {};
    return u"w" + std::u16string(word) + u"," + Digits(n);
  }

  SampleArray Synthesize(std::u16string_view units) override {
    unitLists.emplace_back(units);
    ++renders;
    SampleArray out;
    std::size_t start = 0;
    while (start <= units.size()) {
      std::size_t end = units.find(u' ', start);
      if (end == std::u16string_view::npos) end = units.size();
      const std::u16string_view item = units.substr(start, end - start);
      const std::size_t comma = item.find(u',');
      if (!item.empty() && comma != std::u16string_view::npos) {
        const int count = Number(item.substr(comma + 1));
        if (item[0] == u'-') {
          out.insert(out.end(), static_cast<std::size_t>(count) * 50, 0);
        } else {
          for (int k = 0; k < count; ++k) {
            out.push_back(static_cast<std::int16_t>(renders * 16 + k % 16 + 1));
          }
        }
      }
      start = end + 1;
    }
    expected.insert(expected.end(), out.begin(), out.end());
    out.push_back(0);  // the spare element
    return out;
  }

 private:
  static std::u16string Digits(int n) {
    const std::string d = std::to_string(n);
    return std::u16string(d.begin(), d.end());
  }
  static int Number(std::u16string_view s) {
    int v = 0;
    for (char16_t c : s) {
      if (c < u'0' || c > u'9') break;
      v = v * 10 + (c - u'0');
    }
    return v;
  }
};

}  // namespace quellon::testing
