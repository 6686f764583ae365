// Reading web pages on the simulated desktop: a page in a window of the HTML control moves its
// caret on the keys it gets (a word with Ctrl, the selection with Shift, Delete and Backspace
// remove text), then the reader reads as the main window does when the caret key arrives. What
// is checked is what the user hears, in order: "say:<text>" for each text given to the engine
// ("say:" alone stops speech) and "cue:<name>" for each sound cue.
#include "access/mod_ie.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "speech/dictionary.h"
#include "testing/journal_sound.h"
#include "testing/test_folder.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;
using Heard = std::vector<std::u16string>;

using testing::JournalSound;

// A page whose selection cannot be turned into a range (the page refuses the call).
class RefusingDocument : public SimHtmlDocument {
 public:
  std::unique_ptr<HtmlTextRange> CreateSelectionRange() override {
    if (refuse) return nullptr;
    return SimHtmlDocument::CreateSelectionRange();
  }
  bool refuse = false;
};

// The page window's place on the screen; its text starts at the client origin, 8 x 16 cells.
constexpr Rect kPageRect{50, 100, 690, 500};

struct Page {
  explicit Page(std::u16string text) {
    for (const char* cue : {"select", "del"})
      folder.Write(std::string("snd/") + cue + ".wav", "RIFF");
    state.ProgramFolder = folder.Path();
    doc->text = std::move(text);
    top = desk.AddTopWindow(u"IEFrame", u"Stránka - Internet", {40, 60, 700, 520});
    view = desk.AddWebView(top, doc);
    desk.Find(view)->rect = kPageRect;
    desk.Focus(view);
    state.Focus.FocusHwnd = view;
    state.Focus.FocusClassName = u"INTERNET EXPLORER_SERVER";
  }
  // The page gets the key, then the reader reads the caret.
  Heard Caret(std::uint32_t vk, std::uint32_t modifierCode = 6,
              std::initializer_list<std::uint32_t> modifiers = {}) {
    desk.Tap(vk, modifiers);
    log.clear();
    reader.ReadWebCaret(vk, modifierCode);
    return Take();
  }
  Heard Line(std::uint32_t vk) {
    desk.Tap(vk);
    return ReadLine();
  }
  // Puts the page's caret at text index `i` (as a click would).
  void CaretAt(std::int32_t i) {
    doc->selStart = doc->selEnd = i;
    desk.Focus(view);
  }
  // The line at the caret where it is now (MSG_READ_WEB_LINE).
  Heard ReadLine() {
    log.clear();
    reader.ReadWebLine();
    return Take();
  }
  Heard Take() {
    Heard out;
    for (const auto& l : log) {
      if (l.rfind(u"say:", 0) == 0 || l.rfind(u"cue:", 0) == 0) out.push_back(l);
    }
    log.clear();
    return out;
  }
  // How a text is heard: a single character by its name, everything through the dictionary.
  std::u16string Said(std::u16string_view text) const {
    const std::u16string spoken = text.size() == 1 ? table.CharName(text) : std::u16string(text);
    return u"say:" + ApplyDictionary(engine.Dictionary(), spoken);
  }

  testing::TestFolder folder;
  SimEventLoop loop;
  SimDesktop desk{loop};
  std::vector<std::u16string> log;
  FakeEngine engine{log};
  JournalSound sound{log};
  strings::StringTable table = strings::StringTable::Loaded(false);
  core::ProgramState state;
  core::SpeechOutput output{state, engine, table, sound};
  std::shared_ptr<RefusingDocument> doc = std::make_shared<RefusingDocument>();
  Hwnd top = 0;
  Hwnd view = 0;
  modIE reader{state, desk.Windows(), desk.Html(), output};
};

TEST(WebPageTest, CtrlRightSpeaksTheWholeWordAndRightOneCharacter) {
  Page p(u"Dobrý den, vítejte na stránce");
  EXPECT_EQ(p.Caret(VK_RIGHT, 2, {VK_LCONTROL}), (Heard{p.Said(u"den, ")}));
  EXPECT_EQ(p.doc->selEnd, 6);
  EXPECT_EQ(p.Caret(VK_RIGHT), (Heard{p.Said(u"e")}));
  EXPECT_EQ(p.Caret(VK_RIGHT, 2, {VK_LCONTROL}), (Heard{p.Said(u"vítejte ")}));
  EXPECT_EQ(p.Caret(VK_LEFT), (Heard{p.Said(u" ")}));
  EXPECT_EQ(p.Caret(VK_LEFT, 2, {VK_LCONTROL}), (Heard{p.Said(u"den, ")}));
  // At the end of the page there is nothing at the caret: speech only stops.
  for (int i = 0; i < 8; ++i) p.Caret(VK_RIGHT, 2, {VK_LCONTROL});
  EXPECT_EQ(p.Caret(VK_RIGHT), (Heard{u"say:"}));
}

TEST(WebPageTest, ShiftRightPlaysTheSelectCueAndSpeaksTheSelectionLessItsLastCharacter) {
  Page p(u"Praha je hlavní město");
  // One character selected: the cue, and nothing to say.
  EXPECT_EQ(p.Caret(VK_RIGHT, 4, {VK_LSHIFT}), (Heard{u"cue:select", u"say:"}));
  EXPECT_EQ(p.Caret(VK_RIGHT, 4, {VK_LSHIFT}), (Heard{u"cue:select", p.Said(u"P")}));
  EXPECT_EQ(p.Caret(VK_RIGHT, 4, {VK_LSHIFT}), (Heard{u"cue:select", p.Said(u"Pr")}));
  // Ctrl+Shift selects a word at a time; the same rule.
  EXPECT_EQ(p.Caret(VK_RIGHT, 0, {VK_LCONTROL, VK_LSHIFT}),
            (Heard{u"cue:select", p.Said(u"Praha")}));
  EXPECT_EQ(p.doc->selStart, 0);
  EXPECT_EQ(p.doc->selEnd, 6);
}

TEST(WebPageTest, BackspaceAndDeleteSpeakWhatTheLastMoveRemembered) {
  Page p(u"abcd");
  p.Caret(VK_RIGHT);
  p.Caret(VK_RIGHT);
  p.Caret(VK_RIGHT);
  EXPECT_EQ(p.reader.CaretChars()[0], u"c");
  EXPECT_EQ(p.reader.CaretChars()[1], u"d");
  // The page has already removed the "c" when the key is read: the remembered one is spoken.
  EXPECT_EQ(p.Caret(VK_BACK), (Heard{u"cue:del", p.Said(u"c")}));
  EXPECT_EQ(p.doc->text, u"abd");
  // The call remembered the new neighbours of the caret.
  EXPECT_EQ(p.reader.CaretChars()[0], u"b");
  EXPECT_EQ(p.reader.CaretChars()[1], u"d");
  EXPECT_EQ(p.Caret(VK_DELETE), (Heard{u"cue:del", p.Said(u"d")}));
  EXPECT_EQ(p.doc->text, u"ab");
  EXPECT_EQ(p.Caret(VK_BACK), (Heard{u"cue:del", p.Said(u"b")}));
  // Nothing was remembered before the first move: the cue, then speech stops.
  Page fresh(u"xyz");
  EXPECT_EQ(fresh.Caret(VK_DELETE), (Heard{u"cue:del", u"say:"}));
}

TEST(WebPageTest, DownInATextAreaSpeaksItsVisualLineBoundedByItsWidth) {
  Page p(u"Vzkaz\nToto je dlouhý řádek textové oblasti\nKonec stránky");
  // The text area takes the second line, 15 cells wide inside a border of 2 pixels.
  SimHtmlDocument::Element area;
  area.tag = u"TEXTAREA";
  area.rect = {0, 16, 124, 32};
  area.clientLeft = 2;
  area.clientWidth = 120;
  p.doc->elements.push_back(area);
  EXPECT_EQ(p.Line(VK_DOWN), (Heard{p.Said(u"Toto je dlouhý ")}));
  // Outside it, the page's line from the element's left edge to the window's right edge, with
  // the pointer put at the line's start.
  EXPECT_EQ(p.Line(VK_DOWN), (Heard{p.Said(u"Konec stránky")}));
  EXPECT_EQ(p.desk.Cursor(), (Point{kPageRect.left, kPageRect.top + 40}));
  EXPECT_EQ(p.Line(VK_UP), (Heard{p.Said(u"Toto je dlouhý ")}));
  EXPECT_EQ(p.Line(VK_UP), (Heard{p.Said(u"Vzkaz")}));
  EXPECT_EQ(p.desk.Cursor(), (Point{kPageRect.left, kPageRect.top + 8}));
}

TEST(WebPageTest, PageTextStartsAtTheElementsLeftEdge) {
  Page p(u"Úvod\nČlánek o počasí");
  SimHtmlDocument::Element para;
  para.tag = u"P";
  para.rect = {16, 16, 600, 32};  // its text begins two cells in
  p.doc->elements.push_back(para);
  p.CaretAt(7);  // in the paragraph
  EXPECT_EQ(p.ReadLine(), (Heard{p.Said(u"ánek o počasí")}));
  EXPECT_EQ(p.desk.Cursor(), (Point{kPageRect.left + 16, kPageRect.top + 24}));
}

TEST(WebPageTest, AnInputFieldSpeaksItsWholeContent) {
  Page p(u"Hledat: Praha hlavní město\nVýsledky");
  SimHtmlDocument::Element input;
  input.tag = u"INPUT";
  input.rect = {64, 0, 400, 16};
  input.textBegin = 8;
  input.textEnd = 26;
  p.doc->elements.push_back(input);
  p.CaretAt(12);
  const Point pointer = p.desk.Cursor();
  EXPECT_EQ(p.ReadLine(), (Heard{p.Said(u"Praha hlavní město")}));
  EXPECT_EQ(p.desk.Cursor(), pointer);  // the pointer stays where it was
}

TEST(WebPageTest, APageThatDoesNotAnswerWithinASecondEndsTheReadSilently) {
  Page p(u"abc");
  p.Caret(VK_RIGHT);
  p.doc->answerMs = 5000;
  const auto before = p.loop.Now();
  EXPECT_EQ(p.Caret(VK_RIGHT), Heard{});
  EXPECT_TRUE(p.log.empty());  // not even a stop
  EXPECT_EQ(p.loop.Now() - before, 1'000'000);
  EXPECT_EQ(p.Caret(VK_BACK), Heard{});
  EXPECT_EQ(p.Line(VK_DOWN), Heard{});
  EXPECT_EQ(p.doc->requests, 1);
  // The remembered pair is kept for when the page answers again.
  EXPECT_EQ(p.reader.CaretChars()[1], u"b");
  // A slow page that answers in time is read, after its answer.
  p.doc->answerMs = 300;
  const auto slow = p.loop.Now();
  EXPECT_EQ(p.Caret(VK_DELETE), (Heard{u"cue:del", p.Said(u"b")}));
  EXPECT_EQ(p.loop.Now() - slow, 300'000);
}

TEST(WebPageTest, NoDocumentOrARefusedRange) {
  Page p(u"abc");
  // Another window has the focus: nothing at all.
  const Hwnd other = p.desk.AddEdit(p.top, u"x");
  p.state.Focus.FocusHwnd = other;
  EXPECT_EQ(p.Caret(VK_RIGHT), Heard{});
  EXPECT_EQ(p.ReadLine(), Heard{});
  p.state.Focus.FocusHwnd = p.view;
  p.desk.Focus(p.view);
  p.Caret(VK_RIGHT);
  // The page refuses its ranges: speech stops, the cues still play, the remembered pair stays.
  p.doc->refuse = true;
  EXPECT_EQ(p.Caret(VK_RIGHT), (Heard{u"say:"}));
  EXPECT_EQ(p.Caret(VK_RIGHT, 4, {VK_LSHIFT}), (Heard{u"cue:select", u"say:"}));
  EXPECT_EQ(p.Caret(VK_BACK), (Heard{u"cue:del", p.Said(u"b")}));
  EXPECT_EQ(p.Line(VK_DOWN), (Heard{u"say:"}));
}

}  // namespace
}  // namespace quellon::access
