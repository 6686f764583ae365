// The typed-character echo turns released keys into the characters they typed, keeping the Czech
// acute/caron dead key itself. Arbitrary key sequences go through both of its roads (the
// low-level hook's and the fallback hook's) on the simulated desktop's Czech layout.
//
// Input: three bytes a key. Byte 0 is the virtual-key code. Byte 1: bit 0 Shift, bit 1 Ctrl, bit 2
// the fallback road, bit 3 the dead key's scan code (13) instead of the layout's, bits 4-5 the
// fallback's modifier code (0, 2, 4, 6), bit 6 a Caps Lock press before the key. Byte 2 the
// focused object's role.
//
// Checked: the hook's road says at most one thing a key, one character of the code page (or the
// space), by its spoken name; the fallback's at most two; the dead-key translation gives the
// accented letter itself (lower case, capital with Shift, checked against the letters' own names,
// not the code offsets); the echo's state never keeps an unknown dead key; nothing grows without
// bound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "reader/key_echo.h"
#include "speech/dictionary.h"
#include "testing/sim_program.h"
#include "text/text.h"

using namespace quellon;

namespace {

// A broken invariant names itself and stops the run as a crash would.
#define CHECK(ok)                                                             \
  do {                                                                        \
    if (!(ok)) {                                                              \
      std::fprintf(stderr, "invariant broken, line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                           \
    }                                                                         \
  } while (false)

// The letter a dead key makes of a plain letter key: 0 when it has none.
char16_t Accented(std::int32_t dead, std::uint32_t letter) {
  if (dead == reader::kAcute) {
    switch (letter) {
      case 'A':
        return u'á';
      case 'E':
        return u'é';
      case 'I':
        return u'í';
      case 'O':
        return u'ó';
      case 'U':
        return u'ú';
      case 'Y':
        return u'ý';
      default:
        return 0;
    }
  }
  switch (letter) {
    case 'C':
      return u'č';
    case 'D':
      return u'ď';
    case 'E':
      return u'ě';
    case 'N':
      return u'ň';
    case 'R':
      return u'ř';
    case 'S':
      return u'š';
    case 'T':
      return u'ť';
    case 'Z':
      return u'ž';
    default:
      return 0;
  }
}

constexpr std::int32_t kRoles[] = {
    0,
    platform::ROLE_SYSTEM_TEXT,
    platform::ROLE_SYSTEM_PANE,
    platform::ROLE_SYSTEM_CHECKBUTTON,
    platform::ROLE_SYSTEM_RADIOBUTTON,
    platform::ROLE_SYSTEM_LIST,
    platform::ROLE_SYSTEM_PUSHBUTTON,
};

std::size_t Said(const std::vector<std::u16string>& log, std::size_t from, std::u16string* last) {
  std::size_t n = 0;
  for (std::size_t i = from; i < log.size(); ++i) {
    if (log[i].rfind(u"say:", 0) == 0) {
      ++n;
      *last = log[i].substr(4);
    }
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing::SimProgram rig;
  const platform::Hwnd edit = rig.desk.AddTopWindow(u"Edit", u"", {0, 0, 200, 30});
  rig.desk.Focus(edit);
  rig.state.Focus.FocusHwnd = edit;
  reader::KeyEcho echo(rig.state, rig.desk.Keys(), rig.desk.Windows(), rig.loop, rig.table,
                       rig.output, rig.mainWindow);
  platform::WindowSystem& windows = rig.desk.Windows();
  echo.SetMainThread(windows.GetWindowThreadProcessId(rig.mainWindow));

  // What the speech routine hands the engine for each character the echo can say (codes 32 to
  // 255 of the code page): its name, through the pronunciation dictionary. Characters whose
  // names end up alike share an entry.
  static const std::map<std::u16string, std::set<char16_t>> names = [&rig] {
    std::map<std::u16string, std::set<char16_t>> m;
    for (int code = 32; code <= 255; ++code) {
      const char16_t c = text::Cp1250ToChar(static_cast<std::uint8_t>(code));
      m[ApplyDictionary(rig.engine.Dictionary(), rig.table.CharName(std::u16string(1, c)))].insert(
          c);
    }
    return m;
  }();

  // What the hook road left pending: the last key was the dead key, with or without Shift, and
  // nothing but Shift came after it.
  std::int32_t pending = reader::kNoDeadKey;
  for (std::size_t k = 0; k + 3 <= size; k += 3) {
    const std::uint32_t vk = data[k];
    const std::uint8_t flags = data[k + 1];
    const bool shift = flags & 1;
    const bool ctrl = flags & 2;
    rig.state.Focus.FocusRole = kRoles[data[k + 2] % std::size(kRoles)];
    if (flags & 0x40) echo.NoteCapsLock((flags & 0x80) != 0);

    const std::size_t before = rig.log.size();
    std::u16string last;
    if (flags & 4) {
      const std::uint32_t modifier = ((flags >> 4) & 3) * 2;
      echo.EchoFallbackKey(vk, modifier, [] { return std::u16string(u"zaškrtnuto"); });
      CHECK(rig.state.FallbackDeadKey >= reader::kNoDeadKey &&
            rig.state.FallbackDeadKey <= reader::kCaron);
      CHECK(Said(rig.log, before, &last) <= 2);
      continue;
    }
    platform::KeyMoment moment;
    moment.key.vkCode = vk;
    moment.key.scanCode = (flags & 8)
                              ? reader::KeyEcho::kDeadKeyScan
                              : rig.desk.Keys().MapVirtualKey(vk, platform::MAPVK_VK_TO_VSC);
    moment.key.flags = platform::LLKHF_UP;
    moment.shift = shift;
    moment.ctrl = ctrl;
    echo.EchoKey(moment, shift ? 4 : (ctrl ? 2 : 0));
    const std::size_t said = Said(rig.log, before, &last);
    CHECK(said <= 1);
    // One character is said by its name.
    const std::set<char16_t>* characters = nullptr;
    if (said == 1) {
      const auto it = names.find(last);
      CHECK(it != names.end());
      characters = &it->second;
    }

    const bool deadKey =
        moment.key.scanCode == reader::KeyEcho::kDeadKeyScan && vk == reader::KeyEcho::kDeadKeyVk;
    if (pending != reader::kNoDeadKey && vk >= 'A' && vk <= 'Z') {
      const char16_t expected = Accented(pending, vk);
      if (expected != 0) {
        CHECK(characters != nullptr &&
              characters->count(shift ? text::ToUpper(expected) : expected) == 1);
      }
    }
    const auto c =
        static_cast<std::int32_t>(rig.desk.Keys().MapVirtualKey(vk, platform::MAPVK_VK_TO_CHAR));
    if (c >= 255 || c <= 0) {
      if (deadKey) {
        pending = shift ? reader::kCaron : reader::kAcute;
      } else if (vk != platform::VK_SHIFT && vk != platform::VK_LSHIFT &&
                 vk != platform::VK_RSHIFT) {
        pending = reader::kNoDeadKey;
      }
    } else {
      pending = reader::kNoDeadKey;
    }
  }
  // Space on a check or radio button is handed to the main window: one message a key at most.
  platform::WParam w = 0;
  platform::LParam l = 0;
  std::size_t posted = 0;
  while (rig.loop.RemovePostedMessage(rig.mainWindow, platform::MSG_TOGGLE_KEY, w, l)) {
    CHECK(w == platform::VK_SPACE);
    ++posted;
  }
  CHECK(posted <= size / 3);
  return 0;
}
