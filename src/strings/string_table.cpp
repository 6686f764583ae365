#include "strings/string_table.h"

#include <optional>

#include "strings/char_names.h"
#include "text/text.h"

namespace quellon::strings {
namespace {

struct UiText {
  int number;
  std::u16string_view czech;
  std::u16string_view english;
};

// Every text that has a number; the rest of 0..200 stays empty.
constexpr UiText kUiTexts[] = {
    {1, u"dobrý den, je ", u"hello, it is "},
    // Main window menu.
    {2, u"&Program", u"&Program"},
    {3, u"&Ovládání", u"&Control"},
    {4, u"Nápověda", u"Help"},
    {5, u"Nastavení...", u"Settings..."},
    {6, u"Ohlašovat myš", u"Announce mouse"},
    {7, u"Info", u"Show info band"},
    {8, u"U&končit", u"Exit"},
    {9, u"Aktivní prvek", u"Active control"},
    {10, u"Rozbor okna", u"Window info"},
    {11, u"Navigace", u"Navigate"},
    {12, u"Čtení textu", u"Read text"},
    {13, u"Vyčíst okno", u"Read window contens"},
    {14, u"Aktivovat Quellon", u"Activate Quellon"},
    {15, u"Čas a datum", u"Time and date"},
    {16, u"O programu...", u"About..."},
    {17, u"Otevřít", u"Open"},
    // About box.
    {20, u"Quellon – odečítač obrazovky pro nevidomé a slabozraké",
     u"Quellon – a screen reader for blind and partially sighted people"},
    {52, u"Další informace najdete v nápovědě (nabídka Nápověda, Otevřít).",
     u"For further information, see the help (Help menu, Open)."},
    // Settings dialog.
    {25, u"Nastavení", u"Settings"},
    {26, u"Hlasy:", u"Voices:"},
    {27, u"Hlasitost:", u"Volume:"},
    {28, u"Tempo:", u"Tempo:"},
    {29, u"Výška:", u"Pitch:"},
    {30, u"OK", u"OK"},
    {31, u"Storno", u"Cancel"},
    // Control states.
    {53, u"nezatrženo", u"unchecked"},
    {54, u"rozbalovací", u"expandable"},
    {55, u"nedostupné", u"unavailable"},
    {56, u"zatrženo", u"checked"},
    {57, u"rozbaleno", u"expanded"},
    {58, u"sbaleno", u"collapsed"},
    {59, u"nedostupné", u"unavailable"},
    {60, u"nedostupné", u"unavailable"},
    // Switches, Caps Lock and Num Lock.
    {61, u"zapnuto", u"on"},
    {62, u"vypnuto", u"off"},
    {63, u"velká", u"capitals"},
    {64, u"čísla", u"numlock"},
};

struct Caption {
  std::u16string_view control;  // empty: the form's own caption
  int number;
};

constexpr Caption kMainCaptions[] = {
    {u"mnufile", 2},        {u"mnuControl", 3},  {u"mnuHelp", 4},        {u"mnuSetShow", 5},
    {u"mnuSndMouse", 6},    {u"mnuShowInfo", 7}, {u"mnuFileExit", 8},    {u"mnuActiveObject", 9},
    {u"mnuWuxExp", 10},     {u"mnuNavBack", 11}, {u"mnuNavForward", 12}, {u"mnuReadWin", 13},
    {u"mnuActivatePR", 14}, {u"mnuTime", 15},    {u"mnuAbout", 16},      {u"mnuHelpOpen", 17},
};

constexpr Caption kSettingsCaptions[] = {
    {u"", 25},         {u"lblVoices", 26}, {u"lblVolume", 27}, {u"frmVolume", 27},
    {u"lblTempo", 28}, {u"frmTempo", 28},  {u"lblPitch", 29},  {u"frmPitch", 29},
    {u"cmdOK", 30},    {u"cmdCancel", 31},
};

const std::u16string kEmpty;

// What Windows puts in place of a character its ANSI code page cannot represent.
constexpr unsigned char kUnmappableCode = '?';

}  // namespace

StringTable StringTable::Loaded(bool isEnglish) {
  StringTable table(isEnglish);
  table.FillUiStrings();
  table.FillCharNames();
  return table;
}

void StringTable::FillUiStrings() {
  for (auto& row : uiStrings_) {
    for (auto& cell : row) cell.clear();
  }
  for (const UiText& t : kUiTexts) {
    uiStrings_[t.number][kCzechColumn] = t.czech;
    uiStrings_[t.number][kEnglishColumn] = t.english;
  }
}

void StringTable::FillCharNames() {
  for (std::size_t code = 0; code < charNames_.size(); ++code) {
    if (!isEnglish_) {
      charNames_[code] = kCzechCharNames[code];
    } else if (code < kEnglishCharNames.size()) {
      charNames_[code] = kEnglishCharNames[code];
    } else {
      charNames_[code].clear();
    }
  }
}

const std::u16string& StringTable::UiString(int number, int column) const {
  if (number < 0 || number >= kTextCount || column < 0 || column >= kColumnCount) return kEmpty;
  return uiStrings_[number][column];
}

const std::u16string& StringTable::GetString(int number) const {
  return UiString(number, isEnglish_ ? kEnglishColumn : kCzechColumn);
}

const std::u16string& StringTable::CharName(std::u16string_view text) const {
  if (text.empty()) return kEmpty;
  const std::optional<std::uint8_t> code = text::CharToCp1250(text.front());
  return charNames_[code.value_or(kUnmappableCode)];
}

void StringTable::ApplyCaptions(CaptionTarget& form) const {
  const std::u16string_view name = form.FormName();
  auto apply = [&](const auto& captions) {
    for (const Caption& c : captions) form.SetCaption(c.control, GetString(c.number));
  };
  if (name == u"frmMain") {
    apply(kMainCaptions);
  } else if (name == u"frmSet") {
    apply(kSettingsCaptions);
  }
}

}  // namespace quellon::strings
