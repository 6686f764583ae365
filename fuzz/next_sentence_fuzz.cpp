// The item list cuts long static texts of a web page into sentences. A page's text is whatever the
// page says: arbitrary bytes, read as UTF-8, are cut with NextSentence from every start, and the
// same text is listed by a walk of a page that shows it as one static text.
//
// Checked: a sentence is a piece of the text at its start, never empty before the end; the pieces
// of a text put back together are the text; inside a piece nothing but delimiters and spaces
// follows the first delimiter; a piece ends at the text's end or before a character that starts
// the next sentence. The walk lists exactly those pieces, in order, as items of the one object.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "access/aa_enum.h"
#include "testing/sim_program.h"
#include "text/text.h"

using namespace quellon;

namespace {

bool IsDelimiter(char16_t c) {
  return c == u'.' || c == u':' || c == u'!' || c == u'?' || c == u'\r' || c == u'\n';
}

// A broken invariant names itself and stops the run as a crash would.
#define CHECK(ok)                                                             \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "invariant broken, line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

// The pieces of `text` from 0, each checked on its own.
std::vector<std::u16string_view> Sentences(std::u16string_view text) {
  std::vector<std::u16string_view> pieces;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::u16string_view s = access::NextSentence(text, pos);
    CHECK(!s.empty());
    CHECK(s.data() == text.data() + pos);
    CHECK(s.size() <= text.size() - pos);
    bool delimited = false;
    for (char16_t c : s) {
      if (IsDelimiter(c)) {
        delimited = true;
      } else if (delimited) {
        CHECK(c == u' ');
      }
    }
    const std::size_t end = pos + s.size();
    if (end < text.size()) {
      // Cut only after a delimiter, before a character that is neither one nor a space.
      CHECK(delimited);
      CHECK(!IsDelimiter(text[end]) && text[end] != u' ');
    }
    pieces.push_back(s);
    pos = end;
  }
  CHECK(access::NextSentence(text, text.size()).empty());
  CHECK(access::NextSentence(text, text.size() + 1).empty());
  return pieces;
}

struct Page : testing::SimProgram {
  Page() {
    page->window = top;
    desk.SetClientAccessible(top, page);
    list.SetIEprofile(true);
    list.SetFilter(true);
    list.SetReadInvisible(true);
  }
  platform::Hwnd top = desk.AddTopWindow(u"IEFrame", u"Stránka", {0, 0, 800, 600});
  std::shared_ptr<platform::SimAccessible> page = platform::SimAccessible::Make(
      platform::ROLE_SYSTEM_CLIENT, u"Stránka", u"", 0, {0, 0, 800, 600});
  access::clsAAenum list{program};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text =
      text::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));

  const std::vector<std::u16string_view> pieces = Sentences(text);
  std::u16string joined;
  for (std::u16string_view s : pieces) joined += s;
  CHECK(joined == text);
  CHECK(pieces.size() <= text.size());
  // Every start inside the text gives a piece that is a prefix of the rest.
  for (std::size_t start = 0; start < text.size(); start += 1 + start % 5) {
    const std::u16string_view s = access::NextSentence(text, start);
    CHECK(!s.empty() && s.data() == text.data() + start);
  }

  // The walk: the page shows the text as one static text.
  static Page* rig = new Page;
  rig->page->ClearChildren();
  rig->page->Add(platform::SimAccessible::Make(platform::ROLE_SYSTEM_STATICTEXT, text, u"", 0,
                                               {20, 100, 220, 120}));
  rig->list.DoUpdate(rig->top, false);
  const std::u16string_view trimmed = text::TrimSpaces(text);
  // Static text with nothing to say (empty, a no-break space, a lone bar) is left out.
  if (trimmed.empty() || trimmed == u"\u00A0" || trimmed == u"|") {
    CHECK(rig->list.Count() == 0);
    return 0;
  }
  if (trimmed.size() <= access::clsAAenum::kSentenceSplitLength) {
    // A short text is one item, read live.
    CHECK(rig->list.Count() == 1);
    CHECK(rig->list.AAos.Item(1)->name.empty());
    return 0;
  }
  const std::vector<std::u16string_view> listed = Sentences(trimmed);
  CHECK(rig->list.Count() == static_cast<std::int32_t>(listed.size()));
  for (std::size_t i = 0; i < listed.size(); ++i) {
    CHECK(rig->list.AAos.Item(static_cast<std::int32_t>(i + 1))->name == listed[i]);
  }
  return 0;
}
