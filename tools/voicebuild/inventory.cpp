#include "inventory.h"

#include <algorithm>

namespace quellon::voicebuild {
namespace {

struct ConsonantInfo {
  std::u16string letter;
  std::vector<SourcePhone> phones;
  bool voiced;
};

// Consonant letters, the source phones that speak them and their durations inside a carrier.
// "ľ" has no phone of its own in the source voice: l followed by j gives its palatal colour.
const std::vector<ConsonantInfo>& Consonants() {
  static const std::vector<ConsonantInfo> table = {
      {u"b", {{"b", 0.065}}, true},
      {u"c", {{"c", 0.10}}, false},
      {u"č", {{"c~", 0.10}}, false},
      {u"d", {{"d", 0.06}}, true},
      {u"ď", {{"d~", 0.065}}, true},
      {u"f", {{"f", 0.09}}, false},
      {u"g", {{"g", 0.065}}, true},
      {u"h", {{"h", 0.07}}, true},
      {u"ch", {{"ch", 0.09}}, false},
      {u"j", {{"j", 0.06}}, true},
      {u"k", {{"k", 0.085}}, false},
      {u"l", {{"l", 0.06}}, true},
      {u"ľ", {{"l", 0.045}, {"j", 0.035}}, true},
      {u"m", {{"m", 0.07}}, true},
      {u"n", {{"n", 0.06}}, true},
      {u"ň", {{"n~", 0.07}}, true},
      {u"p", {{"p", 0.085}}, false},
      {u"r", {{"r", 0.05}}, true},
      {u"ř", {{"r~", 0.08}}, true},
      {u"s", {{"s", 0.10}}, false},
      {u"š", {{"s~", 0.10}}, false},
      {u"t", {{"t", 0.08}}, false},
      {u"ť", {{"t~", 0.085}}, false},
      {u"v", {{"v", 0.06}}, true},
      {u"z", {{"z", 0.08}}, true},
      {u"ž", {{"z~", 0.08}}, true},
  };
  return table;
}

constexpr std::u16string_view kVowelClass = u"aeuioáéíóúůýyěôä";
constexpr std::u16string_view kPairVowels = u"aeiouô";

bool IsVowel(char16_t c) {
  return kVowelClass.find(c) != std::u16string_view::npos;
}

// Source phones of a vowel letter inside a unit: ô is the glide u into o.
std::vector<SourcePhone> Glide(char16_t vowel) {
  if (vowel == u'ô') return {{"u", 0.07}};
  return {};
}
std::string VowelPhone(char16_t vowel) {
  switch (vowel) {
    case u'ô':
      return "o";
    case u'y':
    case u'ě':
      return vowel == u'y' ? "i" : "e";
    default:
      return std::string(1, static_cast<char>(vowel));
  }
}

}  // namespace

std::vector<UnitSpec> DesignInventory() {
  std::vector<UnitSpec> units;
  units.push_back({u"-", UnitKind::kPause, {}, "", false, false});
  for (char16_t v : kPairVowels) {
    const auto glide = Glide(v);
    units.push_back({std::u16string(1, v), UnitKind::kVowel, glide, VowelPhone(v), true, true});
  }
  for (const ConsonantInfo& c : Consonants()) {
    UnitSpec single{c.letter, UnitKind::kConsonant, c.phones, "", c.voiced, c.voiced};
    if (c.letter == u"p" || c.letter == u"t") {
      single.kind = UnitKind::kPlosive;
      single.onset[0].seconds = 0.11;  // a closure of at least 40 ms before the burst
    }
    // "g" and "ď" fall in the unit-selection group that keeps the voiced-unit duration factor
    // (0.3); with pitch marks they would be squeezed to a third, so they are stored unvoiced.
    if (c.letter == u"g" || c.letter == u"ď") single.keepMarks = false;
    units.push_back(single);
    if (c.letter == u"l") {
      units.push_back({u"ĺ", UnitKind::kConsonant, {{"l", 0.14}}, "", true, true});
    }
    if (c.letter == u"r") {
      units.push_back({u"ŕ", UnitKind::kConsonant, {{"r", 0.12}}, "", true, true});
    }
  }
  for (const ConsonantInfo& c : Consonants()) {
    const bool alveolar = c.letter == u"d" || c.letter == u"t" || c.letter == u"n";
    const bool palatal = c.letter == u"ď" || c.letter == u"ť" || c.letter == u"ň";
    for (char16_t v : kPairVowels) {
      if (palatal && v == u'i') continue;  // written di, ti, ni
      UnitSpec pair{c.letter + v, UnitKind::kPair, c.phones, VowelPhone(v), c.voiced, true};
      if (alveolar && v == u'i') pair.onset[0].phone += "~";  // di, ti, ni are palatal
      for (const SourcePhone& g : Glide(v)) pair.onset.push_back(g);
      units.push_back(pair);
    }
    if (alveolar) {
      units.push_back({c.letter + u"y", UnitKind::kPair, c.phones, "i", c.voiced, true});
      UnitSpec soft{c.letter + u"ě", UnitKind::kPair, c.phones, "e", c.voiced, true};
      soft.onset[0].phone += "~";
      units.push_back(soft);
    }
  }
  return units;
}

std::optional<std::string> AbsenceReason(std::u16string_view name) {
  if (name.size() == 3 && name.substr(0, 2) == u"ch" && !IsVowel(name[2])) {
    return "ch before a consonant: ch and the consonant are separate units";
  }
  if (name == u"chě") return "ě after ch is spoken ch + je by the rules";
  if (name.size() != 2) return std::nullopt;
  const char16_t a = name[0], b = name[1];
  if (IsVowel(a) && IsVowel(b)) return "vowel sequence: each vowel is its own unit";
  if (IsVowel(a)) return "vowel before a consonant: units pair a consonant with the vowel after it";
  if (!IsVowel(b)) return "consonant cluster: each consonant is its own unit";
  // A consonant-like letter before a vowel.
  if (a == u'x') return "x is spoken k + s, then the vowel alone";
  if (a == u'q') return "q is spoken k + v, then the vowel alone";
  if (a == u'ĺ' || a == u'ŕ') return "syllabic ĺ and ŕ stand as units of their own";
  if (b == u'ě') {
    if (a == u'm') return "mě is spoken m + ně by the rules";
    return "ě after this consonant is spoken consonant + je by the rules";
  }
  if ((a == u'ď' || a == u'ť' || a == u'ň') && b == u'i') {
    return "the soft consonant before i is written d, t, n: spoken as the letter + i";
  }
  return std::nullopt;
}

std::vector<std::u16string> UnitNames(std::u16string_view unitList) {
  std::vector<std::u16string> names;
  std::size_t at = 0;
  while (at <= unitList.size()) {
    std::size_t end = unitList.find(u' ', at);
    if (end == std::u16string_view::npos) end = unitList.size();
    const std::u16string_view item = unitList.substr(at, end - at);
    if (!item.empty()) names.emplace_back(item.substr(0, item.find(u',')));
    at = end + 1;
  }
  return names;
}

namespace {

class RecordingInventory : public UnitInventory {
 public:
  explicit RecordingInventory(const std::set<std::u16string>& names) : names_(names) {}
  bool UnitExists(std::u16string_view name) const override {
    probes.emplace(name);
    return names_.count(std::u16string(name)) != 0;
  }
  mutable std::set<std::u16string> probes;

 private:
  const std::set<std::u16string>& names_;
};

}  // namespace

CoverageReport AnalyseCoverage(const std::vector<std::u16string>& words,
                               const std::set<std::u16string>& voiceNames,
                               const UnitRequester& requester) {
  CoverageReport report;
  RecordingInventory inventory(voiceNames);
  for (const std::u16string& word : words) {
    ++report.words;
    inventory.probes.clear();
    const std::vector<std::u16string> emitted = UnitNames(requester(word, inventory));
    for (const std::u16string& name : emitted) {
      if (voiceNames.count(name)) {
        ++report.used[name];
      } else if (!report.missing.count(name)) {
        report.missing[name] = word;
      }
    }
    for (const std::u16string& probe : inventory.probes) {
      if (probe.empty() || probe[0] == u'!' || voiceNames.count(probe)) continue;
      if (std::find(emitted.begin(), emitted.end(), probe) != emitted.end()) continue;
      const auto reason = AbsenceReason(probe);
      if (!reason) {
        if (!report.missing.count(probe)) report.missing[probe] = word;
        continue;
      }
      auto& entry = report.absent[probe];
      if (entry.count++ == 0) {
        entry.reason = *reason;
        entry.example = word;
      }
    }
  }
  for (const std::u16string& name : voiceNames) {
    if (!name.empty() && name[0] != u'!' && !report.used.count(name)) report.unused.push_back(name);
  }
  return report;
}

std::vector<std::u16string> AlphabetSweep() {
  static constexpr std::u16string_view kLetters =
      u"aábcčdďeéěfghiíjklľĺmnňoóôpqrřŕsštťuúůvwxyýzžäöü";
  std::vector<std::u16string> words;
  for (char16_t a : kLetters) {
    words.emplace_back(1, a);
    for (char16_t b : kLetters) {
      words.push_back(std::u16string{a, b});
      words.push_back(std::u16string{u'a', a, b, u'a'});
    }
    words.push_back(std::u16string{u'c', u'h', a});
    words.push_back(std::u16string{u'a', u'c', u'h', a, u'a'});
  }
  return words;
}

}  // namespace quellon::voicebuild
