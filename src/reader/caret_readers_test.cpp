// Scenario tests of the edit caret readers on the simulated desktop: the caret keys move the
// control's caret, then the reader reads as the keyboard handler does on the key's release (and
// before the control acts on Delete and Backspace). What is checked is what the user hears: the
// spoken texts and the cues.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "reader/edit_caret_readers.h"
#include "testing/test_folder.h"
#include "text/text.h"

namespace quellon::reader {
namespace {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::WParam;
using Texts = std::vector<std::u16string>;

// Edit controls of an older kind: EM_GETSEL answers only with its packed result. EM_LINEINDEX
// can be made to fail as a window that vanishes mid-way.
class PackedSelectionWindows : public platform::SimWindowSystem {
 public:
  using SimWindowSystem::SimWindowSystem;
  LResult SendGetSel(Hwnd w, std::int32_t*, std::int32_t*) override {
    return SendMessage(w, platform::EM_GETSEL, 0, 0);
  }
  LResult SendMessage(Hwnd w, std::uint32_t message, WParam wParam, LParam lParam) override {
    if (failLineIndex && message == platform::EM_LINEINDEX) throw std::runtime_error("gone");
    return SimWindowSystem::SendMessage(w, message, wParam, lParam);
  }
  bool failLineIndex = false;
};

class RecordingBand : public core::InfoBandOutput {
 public:
  bool IsShown() const override { return true; }
  void SetText(const std::u16string& text) override { texts.push_back(text); }
  Texts texts;
};

struct Heard {
  Texts said;
  Texts cues;
};

struct Rig {
  explicit Rig(bool packedSelection = false) : packed(packedSelection) {
    for (const char* cue : {"select", "del", "stop"}) {
      folder.Write(std::string("snd/") + cue + ".wav", "RIFF");
    }
    state.ProgramFolder = folder.Path();
  }
  // An edit control of another program holding `text`, focused as the focus tick leaves it.
  Hwnd Open(std::u16string_view text, platform::EditOptions options = {}) {
    top = desk.AddTopWindow(u"Notepad", u"Bez názvu");
    edit = desk.AddEdit(top, text, options);
    desk.Focus(edit);
    state.Focus.FocusClassName = options.rich ? u"RICHEDIT20W" : u"EDIT";
    state.Focus.ForegroundHwnd = top;
    readers.ResetCaretPositions();
    return edit;
  }
  Heard Read(std::uint32_t vk, std::uint32_t modifierCode = 0, Hwnd w = 0) {
    log.clear();
    desk.Sounds().ClearRecord();
    readers.ReadCaret(w != 0 ? w : edit, vk, modifierCode);
    return {engine.Said(), desk.Sounds().Cues()};
  }
  // A caret key: the control moves its caret, then the reader reads.
  Heard Press(std::uint32_t vk, std::initializer_list<std::uint32_t> modifiers = {},
              std::uint32_t modifierCode = 0) {
    desk.Tap(vk, modifiers);
    return Read(vk, modifierCode);
  }
  // Delete and Backspace are read before the control removes anything.
  Heard PressEditing(std::uint32_t vk) {
    Heard heard = Read(vk);
    desk.Tap(vk);
    return heard;
  }
  // What the engine gets for a text of several characters (the dictionary pass lower-cases) and
  // for a single character (its spoken name).
  static std::u16string Text(std::u16string_view text) { return text::ToLower(text); }
  std::u16string Name(std::u16string_view c) const { return text::ToLower(table.CharName(c)); }

  testing::TestFolder folder;
  platform::SimEventLoop loop;
  platform::SimDesktop desk{loop};
  PackedSelectionWindows packedWindows{desk};
  bool packed;
  core::ProgramState state;
  Texts log;
  FakeEngine engine{log};
  strings::StringTable table = strings::StringTable::Loaded(false);
  RecordingBand band;
  core::SpeechOutput output{state, engine, table, desk.Sounds(), &band};
  EditCaretReaders readers{state,
                           packed ? static_cast<platform::WindowSystem&>(packedWindows)
                                  : static_cast<platform::WindowSystem&>(desk.Windows()),
                           desk.ClipboardPort(), output};
  Hwnd top = 0;
  Hwnd edit = 0;
};

TEST(CaretReadersTest, ArrowsHomeAndLeftAtTheStart) {
  Rig r;
  r.Open(u"ahoj světe");
  // The character the caret now stands on, spoken by its name; the info band is left alone.
  Heard h = r.Press(platform::VK_RIGHT);
  EXPECT_EQ(h.said, Texts{r.Name(u"h")});
  EXPECT_TRUE(h.cues.empty());
  EXPECT_TRUE(r.band.texts.empty());
  EXPECT_EQ(r.readers.LastCaretPos(), 1);
  // Left onto the start: the stop cue and the first character.
  h = r.Press(platform::VK_LEFT);
  EXPECT_EQ(h.said, Texts{r.Name(u"a")});
  EXPECT_EQ(h.cues, Texts{u"stop"});
  h = r.Press(platform::VK_LEFT);
  EXPECT_EQ(h.said, Texts{r.Name(u"a")});
  EXPECT_EQ(h.cues, Texts{u"stop"});
  // Home from further in reads everything the caret passed over.
  for (int i = 0; i < 5; ++i) r.Press(platform::VK_RIGHT);
  h = r.Press(platform::VK_HOME);
  EXPECT_EQ(h.said, Texts{Rig::Text(u"ahoj ")});
  EXPECT_EQ(h.cues, Texts{u"stop"});
}

TEST(CaretReadersTest, CtrlRightSpeaksTheWordOrOneCharacter) {
  Rig r;
  r.Open(u"jedna dva. tři");
  // A jump by a word: the word and the separators after it.
  Heard h = r.Press(platform::VK_RIGHT, {platform::VK_LCONTROL}, EditCaretReaders::kCtrlModifier);
  EXPECT_EQ(h.said, Texts{Rig::Text(u"dva. ")});
  EXPECT_EQ(r.readers.LastCaretPos(), 6);
  // A jump of one position (from the space before a word) is read as one character.
  r.Open(u"ahoj světe");
  for (int i = 0; i < 4; ++i) r.Press(platform::VK_RIGHT);
  h = r.Press(platform::VK_RIGHT, {platform::VK_LCONTROL}, EditCaretReaders::kCtrlModifier);
  EXPECT_EQ(h.said, Texts{r.Name(u"s")});
  // Without Ctrl a longer jump inside the line is still one character.
  r.Open(u"ahoj světe");
  r.desk.Tap(platform::VK_RIGHT, {platform::VK_LCONTROL});
  EXPECT_EQ(r.Read(platform::VK_RIGHT).said, Texts{r.Name(u"s")});
}

TEST(CaretReadersTest, SelectionSpeaksTheWholeSelectionUpToFiveHundred) {
  Rig r;
  r.Open(u"ahoj světe");
  const Texts expected[] = {{r.Name(u"a")}, {Rig::Text(u"ah")}, {Rig::Text(u"aho")}};
  for (const Texts& said : expected) {
    const Heard h = r.Press(platform::VK_RIGHT, {platform::VK_LSHIFT});
    EXPECT_EQ(h.said, said);
    EXPECT_EQ(h.cues, Texts{u"select"});
  }
  std::u16string longText;
  for (int i = 0; i < 800; ++i) longText += static_cast<char16_t>(u'a' + i % 26);
  r.Open(longText);
  const Heard h = r.Press('A', {platform::VK_LCONTROL}, EditCaretReaders::kCtrlModifier);
  EXPECT_EQ(h.said, Texts{Rig::Text(longText.substr(0, 500))});
  EXPECT_EQ(r.readers.LastCaretPos(), 800);
}

TEST(CaretReadersTest, BackspaceAndDeleteSpeakWhatTheyRemove) {
  Rig r;
  r.Open(u"ahoj světe");
  for (int i = 0; i < 3; ++i) r.Press(platform::VK_RIGHT);
  Heard h = r.PressEditing(platform::VK_BACK);
  EXPECT_EQ(h.said, Texts{r.Name(u"o")});
  EXPECT_EQ(h.cues, Texts{u"del"});
  EXPECT_EQ(r.readers.LastCaretPos(), 2);

  r.Open(u"ahoj světe");
  for (int i = 0; i < 3; ++i) r.Press(platform::VK_RIGHT);
  h = r.PressEditing(platform::VK_DELETE);
  EXPECT_EQ(h.said, Texts{r.Name(u"j")});
  EXPECT_EQ(h.cues, Texts{u"del"});
  EXPECT_EQ(r.desk.Edit(r.edit)->Internal(), u"aho světe");

  // Backspace at the start removes nothing: only the cue, and the caret is kept at 0.
  r.Open(u"ahoj");
  h = r.PressEditing(platform::VK_BACK);
  EXPECT_TRUE(h.said.empty());
  EXPECT_EQ(h.cues, Texts{u"del"});
  EXPECT_EQ(r.readers.LastCaretPos(), 0);
}

TEST(CaretReadersTest, EndsOfLines) {
  Rig r;
  r.Open(u"ahoj světe");
  // Onto the end of the text nothing is there to read; the second End is only the stop cue.
  Heard h = r.Press(platform::VK_END);
  EXPECT_TRUE(h.said.empty());
  EXPECT_TRUE(h.cues.empty());
  EXPECT_EQ(r.readers.LastCaretPos(), 10);
  h = r.Press(platform::VK_END);
  EXPECT_TRUE(h.said.empty());
  EXPECT_EQ(h.cues, Texts{u"stop"});

  // Up from the end of a long line onto the end of a shorter one reads what lies between.
  r.Open(u"ab\nahoj světe", {.multiline = true});
  r.Press(platform::VK_END, {platform::VK_LCONTROL});
  EXPECT_EQ(r.readers.LastCaretPos(), 14);
  h = r.Press(platform::VK_UP);
  EXPECT_EQ(h.said, Texts{Rig::Text(u"\r\nahoj světe")});
  EXPECT_EQ(h.cues, Texts{u"stop"});
  // One step onto the end of an inner line: the line break's name.
  r.Press(platform::VK_LEFT);
  h = r.Press(platform::VK_RIGHT);
  EXPECT_EQ(h.said, Texts{r.Name(u"\r")});
  EXPECT_TRUE(h.cues.empty());
}

TEST(CaretReadersTest, RichEditCountsALineBreakAsOneCharacter) {
  Rig r;
  r.Open(u"první\ndruhý\ntřetí", {.multiline = true, .rich = true});
  r.desk.Tap(platform::VK_DOWN);
  EXPECT_EQ(r.readers.CurrentLine(r.edit), u"druhý");
  EXPECT_EQ(r.Read(platform::VK_DOWN).said, Texts{r.Name(u"d")});
  EXPECT_EQ(r.Press(platform::VK_RIGHT).said, Texts{r.Name(u"r")});
  // A plain edit control counts CR LF as two and keeps them.
  r.Open(u"první\ndruhý\ntřetí", {.multiline = true});
  r.Press(platform::VK_DOWN);
  r.Press(platform::VK_DOWN);
  EXPECT_EQ(r.readers.CurrentLine(r.edit), u"třetí");
  EXPECT_EQ(r.readers.EditText(r.edit), u"první\r\ndruhý\r\ntřetí");
}

TEST(CaretReadersTest, WordAt) {
  EXPECT_EQ(WordAt(u"ahoj světe", 1), u"ahoj ");
  EXPECT_EQ(WordAt(u"ahoj světe", 6), u"světe");
  EXPECT_EQ(WordAt(u"ahoj světe", 3), u"oj ");
  EXPECT_EQ(WordAt(u"a .,:!?\\/\r\n\tz", 1), u"a .,:!?\\/\r\n\t");
  EXPECT_EQ(WordAt(u"a;b-c d", 1), u"a;b-c ");
  EXPECT_EQ(WordAt(u"a /b", 2), u" /");
  EXPECT_EQ(WordAt(u"slovo  ", 1), u"slovo  ");
  EXPECT_EQ(WordAt(u"x", 0), u"");
  EXPECT_EQ(WordAt(u"x", 2), u"");
  EXPECT_EQ(WordAt(u"", 1), u"");
}

TEST(CaretReadersTest, LongTextsOutsideXpAreBeepedAtAndNotRead) {
  Rig r;
  r.Open(std::u16string(63999, u'x'));
  EXPECT_EQ(r.readers.EditText(r.edit).size(), 63999u);
  r.desk.SetText(r.edit, std::u16string(64000, u'x'));
  EXPECT_EQ(r.readers.EditText(r.edit), u"");
  EXPECT_EQ(r.desk.Beeps(), 1);
  r.state.IsWinXP = true;
  EXPECT_EQ(r.readers.EditText(r.edit).size(), 64000u);
  EXPECT_EQ(r.desk.Beeps(), 1);

  // A caret past 64000 is not read outside XP (the text is not even fetched).
  r.state.IsWinXP = false;
  r.Open(std::u16string(69999, u'x') + u"yz");
  r.Press(platform::VK_END, {platform::VK_LCONTROL});
  Heard h = r.Press(platform::VK_LEFT);
  EXPECT_TRUE(h.said.empty());
  EXPECT_TRUE(h.cues.empty());
  EXPECT_EQ(r.readers.LastCaretPos(), 0);
  EXPECT_EQ(r.desk.Beeps(), 1);
  r.state.IsWinXP = true;
  EXPECT_EQ(r.Press(platform::VK_LEFT).said, Texts{r.Name(u"y")});
  EXPECT_EQ(r.readers.LastCaretPos(), 69999);
}

TEST(CaretReadersTest, ReadWindowSpeaksIntoTheBandAndCopies) {
  Rig r;
  r.top = r.desk.AddTopWindow(u"#32770", u"Dotaz");
  r.desk.AddStatic(r.top, u"Smazat soubor?");
  r.desk.AddButton(r.top, u"Ano");
  r.state.Focus.ForegroundHwnd = r.top;
  r.readers.ReadWindow();
  const std::u16string all = u"\r\nSmazat soubor?\r\nAno";
  EXPECT_EQ(r.engine.Said(), Texts{Rig::Text(all)});
  EXPECT_EQ(r.band.texts, Texts{all});
  EXPECT_EQ(r.desk.ClipboardPort().GetText(), all);
}

TEST(CaretReadersTest, WindowsThatDoNotAnswerOrLie) {
  Rig r;
  r.Open(u"ahoj světe");
  r.Press(platform::VK_RIGHT);
  // No edit control at all: at most the stop cue.
  const Hwnd pane = r.desk.AddChild(r.top, u"Pane", u"");
  for (const Hwnd w : {pane, Hwnd{0xDEAD}}) {
    const Heard h = r.Read(platform::VK_RIGHT, 0, w);
    EXPECT_TRUE(h.said.empty());
    EXPECT_EQ(h.cues, Texts{u"stop"});
    EXPECT_EQ(r.readers.EditText(w), u"");
    EXPECT_EQ(r.readers.CurrentLine(w), u"");
  }
  // Absurd lengths and line positions are cut to the text or read nothing.
  r.state.IsWinXP = true;
  using Answers = std::vector<std::pair<std::uint32_t, LResult>>;
  const auto answer = [&r](Answers answers) {
    r.desk.SetMessageHandler(r.edit, [answers](std::uint32_t m, WParam, LParam) {
      std::optional<LResult> out;
      for (const auto& [message, result] : answers) {
        if (message == m) out = result;
      }
      return out;
    });
  };
  answer({{platform::WM_GETTEXTLENGTH, (LResult{1} << 40) + 100}});
  EXPECT_EQ(r.readers.EditText(r.edit), u"");
  answer({{platform::EM_LINEINDEX, 3}, {platform::EM_LINELENGTH, LResult{1} << 40}});
  EXPECT_EQ(r.readers.CurrentLine(r.edit), u"j světe");
  answer({{platform::EM_LINEINDEX, -5}});
  EXPECT_EQ(r.readers.CurrentLine(r.edit), u"");
}

TEST(CaretReadersTest, PackedSelectionAndFailingControls) {
  Rig r(true);
  r.Open(u"ahoj světe");
  EXPECT_EQ(r.Press(platform::VK_RIGHT).said, Texts{r.Name(u"h")});
  Heard h = r.Press(platform::VK_END, {platform::VK_LSHIFT});
  EXPECT_EQ(h.said, Texts{Rig::Text(u"hoj světe")});
  EXPECT_EQ(h.cues, Texts{u"select"});
  // A negative packed end is no selection to read.
  r.desk.SetMessageHandler(r.edit, [](std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
    if (m == platform::EM_GETSEL) return -0x10000;
    return std::nullopt;
  });
  h = r.Read(platform::VK_RIGHT);
  EXPECT_TRUE(h.said.empty());
  EXPECT_TRUE(h.cues.empty());
  // A control that fails mid-way is not read and the remembered position stays.
  r.desk.SetMessageHandler(r.edit, nullptr);
  r.desk.Tap(platform::VK_HOME);
  r.packedWindows.failLineIndex = true;
  h = r.Read(platform::VK_HOME);
  EXPECT_TRUE(h.said.empty());
  EXPECT_TRUE(h.cues.empty());
  EXPECT_EQ(r.readers.LastCaretPos(), 10);
}

}  // namespace
}  // namespace quellon::reader
