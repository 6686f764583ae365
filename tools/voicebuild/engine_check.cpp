// The builder's view of the engine: unit selection for the coverage report and the synthesiser
// for the test sentence.
#include <stdexcept>

#include "engine/engine_state.h"
#include "speech/voice_database.h"
#include "synth/psola.h"
#include "synth/unit_selection.h"
#include "text/text.h"
#include "voice_builder.h"

namespace quellon::voicebuild {
namespace {

constexpr bool kNoStop = false;

std::vector<std::u16string> SplitItems(std::u16string_view list) {
  std::vector<std::u16string> items;
  std::size_t at = 0;
  while (at < list.size()) {
    std::size_t end = list.find(u' ', at);
    if (end == std::u16string_view::npos) end = list.size();
    if (end > at) items.emplace_back(list.substr(at, end - at));
    at = end + 1;
  }
  return items;
}

SpokenSentence Speak(const std::filesystem::path& folder, const std::string& voice,
                     std::u16string_view sentence) {
  VoiceDatabase db(folder);
  EngineState state;
  Synthesizer synth(db, state);
  synth.InitSynthesis();
  if (!db.LoadVoice(text::Utf8ToUtf16(voice))) {
    throw std::runtime_error("the engine cannot load the voice from " + folder.string());
  }
  SpokenSentence spoken;
  for (const std::u16string& token : SplitItems(sentence)) {
    std::u16string word = token;
    std::int32_t pauseClass = 0;
    while (!word.empty()) {
      const char16_t last = word.back();
      if (last == u'.' || last == u':') {
        pauseClass = 1;
      } else if (last == u'?') {
        pauseClass = 2;
      } else if (last == u',' || last == u'-') {
        pauseClass = 3;
      } else {
        break;
      }
      word.pop_back();
    }
    std::u16string list =
        PhomeneToWave(word, pauseClass, db, db.Parameters().PitchDegradation, kNoStop);
    // The speaking loop's pause after a full stop or question (70) or a comma (40) at tempo 0.
    const int pause = pauseClass == 1 || pauseClass == 2 ? 70 : pauseClass == 3 ? 40 : 10;
    list += u" -," + text::Ascii16(std::to_string(pause)) + u",0";
    spoken.unitLists += text::Utf16ToUtf8(word) + ": " + text::Utf16ToUtf8(list) + "\n";
    const std::vector<std::u16string> items = SplitItems(list);
    const auto base = static_cast<std::int64_t>(spoken.samples.size());
    spoken.wordStarts.emplace_back(base, text::Utf16ToUtf8(word));
    // Where each unit ends inside the word: the length of the word rendered up to that unit.
    std::u16string prefix;
    for (std::size_t k = 0; k + 1 < items.size(); ++k) {
      if (k) prefix += u' ';
      prefix += items[k];
      spoken.joins.push_back(base + UpperBound(synth.Synthesize(prefix)));
    }
    const SampleArray samples = synth.Synthesize(list);
    spoken.samples.insert(spoken.samples.end(), samples.begin(),
                          samples.begin() + UpperBound(samples));
  }
  return spoken;
}

}  // namespace

EngineHooks DefaultEngineHooks() {
  EngineHooks hooks;
  hooks.requester = [](std::u16string_view word, const UnitInventory& inventory) {
    return PhomeneToWave(word, 0, inventory, kPitchDegradation, kNoStop);
  };
  hooks.speak = &Speak;
  return hooks;
}

}  // namespace quellon::voicebuild
