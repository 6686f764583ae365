// Fuzz target: a pronunciation dictionary file of arbitrary bytes, loaded from disk and applied to
// a text made of the same bytes. The first byte chooses the encoding.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "speech/dictionary.h"
#include "text/text.h"

using namespace quellon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto encoding = (data[0] & 1) ? DictionaryEncoding::Utf8 : DictionaryEncoding::Cp1250;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("quellon_dictionary_fuzz_" + std::to_string(::getpid()) + ".def");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const PronunciationDictionary loaded = LoadDictionary(file, encoding);
  const PronunciationDictionary parsed = ParseDictionary(bytes, encoding);
  if (loaded.size() != parsed.size()) std::abort();
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    if (loaded[i].Key != parsed[i].Key || loaded[i].Replacement != parsed[i].Replacement ||
        loaded[i].Mode != parsed[i].Mode || loaded[i].Mode < 0 || loaded[i].Mode > 3) {
      std::abort();
    }
  }

  const std::u16string text = text::Cp1250ToUtf16(bytes.substr(0, 2048));
  const std::u16string out = ApplyDictionary(loaded, text);
  // Every word and separator is looked up at most once; no rewrite exceeds its limit.
  if (out.size() > text.size() * (kMaxRewriteLength + 1) + 1) std::abort();
  ApplyDictionary(loaded, u"Ahoj, světe. - ; \t\r\n" + std::u16string(bytes.size() % 7, u'*'));
  return 0;
}
