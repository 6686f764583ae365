// The DirectUI reader works out the character at the caret from geometry another program reports
// (its caret, its window, its text object's place) and the object's value, by adding up character
// widths. All of them come from the input: a view on the simulated desktop with that caret, window,
// object and value is read for one caret key, and the width reader is asked for the character
// index at a few offsets of the same text, one after the other (the carry goes from call to call).
//
// Input: byte 0 the key (bits 0-1: Left, Right, Up, Down), the modifier code (bits 2-3: 0, 2, 4,
// 6) and the value's encoding (bit 4: UTF-8, else Windows-1250); then nine 32-bit numbers (caret
// left, top, bottom; view left, top; object left, top, right, bottom), four 32-bit offsets, and
// the value.
//
// Checked: no crash and no undefined arithmetic whatever the numbers; Left and Right read at most
// one character of the value, Ctrl the word that starts there (a piece of the value), Up and Down
// one line of it; the index lies in [0, length + 1], the characters left of it are no wider than
// the offset, one past the end only when the whole text is narrower, the carry is never negative
// and a character outside the code page, or an offset beyond 32-bit arithmetic, is an error only
// when there is one.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "access/mod_gui_text.h"
#include "platform/sim/sim_desktop.h"
#include "text/text.h"

using namespace quellon;
using namespace quellon::platform;

namespace {

// A broken invariant names itself and stops the run as a crash would.
#define CHECK(ok)                                                             \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "invariant broken, line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

struct Reader {
  const std::uint8_t* p;
  std::size_t left;
  std::int32_t Next() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      v |= static_cast<std::uint32_t>(left > 0 ? *p : 0) << (8 * i);
      if (left > 0) ++p, --left;
    }
    return static_cast<std::int32_t>(v);
  }
};

// a + b held to the 32-bit range.
std::int32_t Plus(std::int32_t a, std::int32_t b) {
  const std::int64_t v = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

std::u16string WordFrom(std::u16string_view text, std::size_t start) {
  if (start < 1 || start > text.size()) return {};
  std::size_t end = start - 1;
  while (end < text.size() && text[end] != u' ') ++end;
  while (end < text.size() && text[end] == u' ') ++end;
  return std::u16string(text.substr(start - 1, end - (start - 1)));
}

// The index checks for one call: `target` is the offset less the carry the call started with.
void CheckIndex(std::u16string_view text, std::int32_t offset, std::int64_t target,
                std::int32_t index, std::int32_t carry) {
  CHECK(carry >= 0);
  CHECK(index >= 0 && static_cast<std::size_t>(index) <= text.size() + 1);
  if (text.empty() || offset == 0) {
    CHECK(index == 0);
    return;
  }
  std::int64_t sum = 0;
  const std::size_t counted = std::min<std::size_t>(static_cast<std::size_t>(index), text.size());
  for (std::size_t i = 0; i < counted; ++i) {
    sum += access::kCandaraWidths[*text::CharToCp1250(text[i])];
    // Every character counted lies left of the offset (an exact hit at the last one included).
    CHECK(sum < target || (sum == target && i + 1 == counted));
  }
  if (static_cast<std::size_t>(index) == text.size() + 1) CHECK(sum < target);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t flags = data[0];
  Reader in{data + 1, size - 1};
  const std::int32_t caretLeft = in.Next(), caretTop = in.Next(), caretBottom = in.Next();
  const std::int32_t viewLeft = in.Next(), viewTop = in.Next();
  const Rect object{in.Next(), in.Next(), in.Next(), in.Next()};
  std::int32_t offsets[4];
  for (std::int32_t& o : offsets) o = in.Next();
  const std::string_view bytes(reinterpret_cast<const char*>(in.p),
                               std::min<std::size_t>(in.left, 255));
  const std::u16string value =
      (flags & 0x10) ? text::Utf8ToUtf16(bytes) : text::Cp1250ToUtf16(bytes);

  static const std::uint32_t kKeys[4] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
  const std::uint32_t vk = kKeys[flags & 3];
  const std::uint32_t modifier = ((flags >> 2) & 3) * 2;

  SimEventLoop loop;
  SimDesktop desk{loop};
  // The view's window and its client object cover 2000 pixels square from the view's corner.
  const Rect area{viewLeft, viewTop, Plus(viewLeft, 2000), Plus(viewTop, 2000)};
  const Hwnd top = desk.AddTopWindow(u"CabinetWClass", u"Dokumenty", area);
  const Hwnd view = desk.AddDirectUIView(top, area);
  auto client = SimAccessible::Make(ROLE_SYSTEM_PANE, u"", u"", 0, area);
  client->Add(SimAccessible::Make(ROLE_SYSTEM_TEXT, u"Text", value, 0, object));
  desk.SetClientAccessible(view, client);
  desk.Focus(view);
  desk.SetDrawnCaret(view, {caretLeft, caretTop, caretLeft, caretBottom});
  access::modGUIText reader{desk.Windows(), desk.Access(), WordFrom};

  const std::u16string said = reader.ReadDirectUIText(vk, modifier);
  // The view hands its value over in an ANSI buffer: what the code page cannot hold is '?'.
  const std::u16string ansi =
      access::AnsiBufferText(value, access::AnsiStringStore::kMaxLength + 1);
  if (!said.empty()) {
    CHECK(ansi.find(said) != std::u16string::npos);
    if (vk == VK_UP || vk == VK_DOWN) {
      CHECK(said.find(u'\r') == std::u16string::npos);
    } else if (modifier != 2) {
      CHECK(said.size() == 1);
    }
  }

  // The width reader on its own, over the value's first line, with its carry left as the read
  // left it.
  const std::u16string line = value.substr(0, value.find(u'\r'));
  bool encodable = true;
  for (char16_t c : line) encodable = encodable && text::CharToCp1250(c).has_value();
  for (std::int32_t offset : offsets) {
    const std::int32_t carry = reader.WidthCarry();
    CHECK(carry >= 0);
    const std::int64_t target = static_cast<std::int64_t>(offset) - carry;
    try {
      const std::int32_t index = reader.CharIndexAtOffset(line, offset);
      if (encodable) CheckIndex(line, offset, target, index, reader.WidthCarry());
    } catch (const std::out_of_range&) {
      // A character outside the code page, or a target (or the carry it would leave) outside 32
      // bits; the carry is then kept.
      CHECK(!encodable || target <= INT32_MIN || target > INT32_MAX);
      CHECK(reader.WidthCarry() == carry);
    }
  }
  return 0;
}
