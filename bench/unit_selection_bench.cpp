// Per-word cost of unit selection (letter-to-sound rules included) on the words of a typical
// Czech sentence, with an inventory held in a hash set, plus the other front-end steps a word
// goes through (digit expansion, dictionary).
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "speech/dictionary.h"
#include "speech/number_words.h"
#include "synth/unit_selection.h"

namespace {

using namespace quellon;

class HashedUnits : public UnitInventory {
 public:
  HashedUnits() {
    const std::u16string consonants = u"bcčdďfghjklmnňpqrřsštťvzžx";
    const std::u16string vowels = u"aeiouyě";
    for (char16_t v : vowels) {
      Add(std::u16string(1, v));
      Add(u"ch" + std::u16string(1, v));
      for (char16_t c : consonants) Add(std::u16string{c, v});
    }
    for (char16_t c : consonants) Add(std::u16string(1, c));
    names_.insert(u"ch");
    names_.insert(u"-");
  }
  bool UnitExists(std::u16string_view name) const override {
    return names_.count(std::u16string(name)) != 0;
  }

 private:
  void Add(const std::u16string& name) {
    names_.insert(name);
    names_.insert(u"!" + name);
  }
  std::unordered_set<std::u16string> names_;
};

const std::vector<std::u16string>& SentenceWords() {
  // "Dobrý den, v dokumentu je 12 stránek a kurzor stojí na třetím řádku."
  static const std::vector<std::u16string> words = {
      u"Dobrý",   u"den",   u"vdokumentu", u"je",     u" dvanáct", u"stránek",
      u"akurzor", u"stojí", u"na",         u"třetím", u"řádku"};
  return words;
}

void BM_PhomeneToWave(benchmark::State& state) {
  const HashedUnits units;
  const bool stop = false;
  const auto& words = SentenceWords();
  std::size_t chars = 0;
  for (auto _ : state) {
    for (const auto& w : words) {
      auto list = PhomeneToWave(w, 0, units, 30, stop);
      chars += list.size();
      benchmark::DoNotOptimize(list);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
  state.counters["words"] = benchmark::Counter(
      static_cast<double>(state.iterations() * words.size()), benchmark::Counter::kIsRate);
  state.counters["ns/word"] =
      benchmark::Counter(static_cast<double>(state.iterations() * words.size()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  benchmark::DoNotOptimize(chars);
}
BENCHMARK(BM_PhomeneToWave);

void BM_LongWord(benchmark::State& state) {
  const HashedUnits units;
  const bool stop = false;
  std::u16string word;
  while (word.size() < static_cast<std::size_t>(state.range(0)))
    word += u"nejneobhospodařovávatelnějšími";
  word.resize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(PhomeneToWave(word, 1, units, 30, stop));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongWord)->Arg(30)->Arg(1000)->Arg(30000)->Complexity();

void BM_ExpandAndDictionary(benchmark::State& state) {
  const auto dict = ParseDictionary("*ing ink\npre* pro\nahoj nazdar\n*ab* x\nkurzor kurzór\n");
  const std::u16string text =
      u"Dobrý den, v dokumentu je 12 stránek a kurzor stojí na třetím řádku.";
  for (auto _ : state) {
    benchmark::DoNotOptimize(ApplyDictionary(dict, text));
    benchmark::DoNotOptimize(ExpandDigits(u"12345"));
  }
}
BENCHMARK(BM_ExpandAndDictionary);

}  // namespace

BENCHMARK_MAIN();
