// Reading a DirectUI view on the simulated desktop: a view that draws three lines of text, its
// accessible text object under the caret, and the caret the view draws. The reader must find the
// line by the caret's height and the character by the width table.
#include "access/mod_gui_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/sim/sim_desktop.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;

// The view's window at (100, 130) on the screen; its text object at (120, 150), three lines of
// 16 pixels. Widths of the second line: Ú 7, p 7, r 4, a 6, v 6, y 6, space 3, z 5 ...
constexpr std::int32_t kViewLeft = 100;
constexpr std::int32_t kViewTop = 130;
constexpr std::int32_t kTextLeft = 120;
constexpr std::int32_t kTextTop = 150;
constexpr std::int32_t kLine = 16;

// A stand-in for the caret readers' WordAt: the word from `start` with the blanks after it.
std::u16string WordFrom(std::u16string_view text, std::size_t start) {
  if (start < 1 || start > text.size()) return {};
  std::size_t end = start - 1;
  while (end < text.size() && text[end] != u' ') ++end;
  while (end < text.size() && text[end] == u' ') ++end;
  return std::u16string(text.substr(start - 1, end - (start - 1)));
}

struct View {
  explicit View(std::u16string value = u"Soubor\rÚpravy zobrazit okna\rNápověda") {
    top = desk.AddTopWindow(u"CabinetWClass", u"Dokumenty", {kViewLeft, kViewTop - 30, 700, 500});
    view = desk.AddDirectUIView(top, {kViewLeft, kViewTop, 600, 400});
    auto client =
        SimAccessible::Make(ROLE_SYSTEM_PANE, u"", u"", 0, {kViewLeft, kViewTop, 600, 400});
    text = client->Add(SimAccessible::Make(ROLE_SYSTEM_TEXT, u"Nabídka", std::move(value), 0,
                                           {kTextLeft, kTextTop, 420, kTextTop + 3 * kLine}));
    desk.SetClientAccessible(view, client);
    desk.Focus(view);
  }
  // Puts the caret `offset` pixels right of the text's left edge on line `line` (from 0).
  void Caret(std::int32_t offset, std::int32_t line) {
    const std::int32_t left = kTextLeft - kViewLeft + offset;
    const std::int32_t ctop = kTextTop - kViewTop + line * kLine;
    desk.SetDrawnCaret(view, {left, ctop, left + 1, ctop + kLine});
  }
  std::u16string Read(std::uint32_t vk, std::uint32_t modifierCode = 6) {
    return reader.ReadDirectUIText(vk, modifierCode);
  }

  SimEventLoop loop;
  SimDesktop desk{loop};
  Hwnd top = 0;
  Hwnd view = 0;
  std::shared_ptr<SimAccessible> text;
  modGUIText reader{desk.Windows(), desk.Access(), WordFrom};
};

TEST(GuiTextTest, TheWidthTableIsKeptAsGiven) {
  EXPECT_EQ(kCandaraWidths[31], 0);
  EXPECT_EQ(kCandaraWidths[32], 3);
  EXPECT_EQ(kCandaraWidths[64], 11);
  EXPECT_EQ(kCandaraWidths[94], 0);
  EXPECT_EQ(kCandaraWidths[96], 0);
  EXPECT_EQ(kCandaraWidths[127], -19);
  EXPECT_EQ(kCandaraWidths[137], 15);
  EXPECT_EQ(kCandaraWidths[218], 7);  // Ú
  EXPECT_EQ(kCandaraWidths[255], 0);
  std::int32_t sum = 0;
  for (std::int32_t w : kCandaraWidths) sum += w;
  EXPECT_EQ(sum, 1333);
}

TEST(GuiTextTest, CharIndexAtOffsetCountsWidthsAndCarriesAFirstCharacterOffset) {
  View v;
  modGUIText& r = v.reader;
  EXPECT_EQ(r.CharIndexAtOffset(u"", 40), 0);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 0), 0);
  // a 6, b 7, c 6: an offset on a boundary counts the characters up to it; inside a character,
  // the ones before it; beyond the end, one past the last.
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 13), 2);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 15), 2);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 7), 1);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 19), 3);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 20), 4);
  EXPECT_EQ(r.WidthCarry(), 0);
  // The odd entries are data: DEL takes 19 pixels back, the grave accent takes none.
  EXPECT_EQ(r.CharIndexAtOffset(u"ab\u007fcd", 20), 6);
  EXPECT_EQ(r.CharIndexAtOffset(u"`a", 6), 2);
  // Czech letters by their ANSI codes: č 6, ř 4.
  EXPECT_EQ(r.CharIndexAtOffset(u"čř", 10), 2);
  // An offset inside the first character is remembered and taken off the next offset: 14 then
  // stands for 11, inside the second character.
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 3), 0);
  EXPECT_EQ(r.WidthCarry(), 3);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 14), 1);
  EXPECT_EQ(r.WidthCarry(), 3);
  // An exact hit clears it.
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", 16), 2);
  EXPECT_EQ(r.WidthCarry(), 0);
  // A character the code page has no place for is an error.
  EXPECT_THROW(r.CharIndexAtOffset(u"a中", 20), std::out_of_range);
}

TEST(GuiTextTest, AnOffsetBeyond32BitArithmeticIsAnErrorAndKeepsTheCarry) {
  View v;
  modGUIText& r = v.reader;
  // The carry of an offset this far left would be 2^31, which 32 bits cannot hold.
  EXPECT_THROW(r.CharIndexAtOffset(u"abc", INT32_MIN), std::out_of_range);
  EXPECT_EQ(r.WidthCarry(), 0);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", INT32_MIN + 1), 0);
  EXPECT_EQ(r.WidthCarry(), INT32_MAX);
  // The next target, offset less the carry, would fall below 32 bits.
  EXPECT_THROW(r.CharIndexAtOffset(u"abc", -5), std::out_of_range);
  EXPECT_EQ(r.WidthCarry(), INT32_MAX);
  EXPECT_EQ(r.CharIndexAtOffset(u"abc", INT32_MAX), 0);
}

TEST(GuiTextTest, GeometryBeyond32BitsReadsNothing) {
  View v;
  // A caret whose screen position (caret plus window) is past the largest 32-bit number.
  v.desk.SetDrawnCaret(v.view, {INT32_MAX - 50, 36, INT32_MAX - 49, 52});
  EXPECT_EQ(v.Read(VK_RIGHT), u"");
  // A caret whose height does not fit 32 bits.
  v.desk.SetDrawnCaret(v.view, {20, INT32_MIN, 21, 52});
  EXPECT_EQ(v.Read(VK_UP), u"");
  // The reader still works for a sane caret afterwards.
  v.Caret(7 + 7, 1);
  EXPECT_EQ(v.Read(VK_RIGHT), u"r");
}

TEST(GuiTextTest, CaretLeftOfTheFirstCharacterReadsTheFirstCharacter) {
  View v;
  v.Caret(0, 1);
  EXPECT_EQ(v.Read(VK_RIGHT), u"Ú");
  EXPECT_EQ(v.Read(VK_LEFT), u"Ú");
  // Inside the first character's width: still the first character.
  v.Caret(3, 1);
  EXPECT_EQ(v.Read(VK_RIGHT), u"Ú");
  EXPECT_EQ(v.reader.WidthCarry(), 3);
}

TEST(GuiTextTest, CharacterAtTheCaretOnTheCaretsLine) {
  View v;
  v.Caret(7 + 7, 1);  // after "Úp"
  EXPECT_EQ(v.Read(VK_RIGHT), u"r");
  v.Caret(6 + 7, 0);  // after "So"
  EXPECT_EQ(v.Read(VK_LEFT), u"u");
  // Nápověda: N 9, á 6, p 7
  v.Caret(9 + 6, 2);
  EXPECT_EQ(v.Read(VK_RIGHT), u"p");
}

TEST(GuiTextTest, CaretBeyondTheLineEndReadsNothingForLeftAndRight) {
  View v;
  // "Soubor" is 38 pixels wide.
  v.Caret(120, 0);
  EXPECT_EQ(v.Read(VK_RIGHT), u"");
  EXPECT_EQ(v.Read(VK_LEFT), u"");
  EXPECT_EQ(v.Read(VK_RIGHT, 2), u"");
  // Just past its last character: nothing is left at the caret either.
  v.Caret(38, 0);
  EXPECT_EQ(v.Read(VK_LEFT), u"");
  EXPECT_EQ(v.Read(VK_UP), u"Soubor");
}

TEST(GuiTextTest, UpAndDownReadOnlyTheCaretsLine) {
  View v;
  v.Caret(20, 1);
  EXPECT_EQ(v.Read(VK_UP), u"Úpravy zobrazit okna");
  EXPECT_EQ(v.Read(VK_DOWN, 2), u"Úpravy zobrazit okna");
  v.Caret(0, 2);
  EXPECT_EQ(v.Read(VK_DOWN), u"Nápověda");
  v.Caret(0, 0);
  EXPECT_EQ(v.Read(VK_UP), u"Soubor");
  // A caret below the text object: the view around it has no value.
  v.Caret(0, 3);
  EXPECT_EQ(v.Read(VK_DOWN), u"");
  // A one-line value is the line wherever the caret's height is.
  View one(u"Hledat");
  one.Caret(0, 2);
  EXPECT_EQ(one.Read(VK_UP), u"Hledat");
}

TEST(GuiTextTest, CtrlRightReadsTheWordThatStartsAtTheCaret) {
  View v;
  v.Caret(39, 1);  // after "Úpravy "
  EXPECT_EQ(v.Read(VK_RIGHT, 2), u"zobrazit ");
  EXPECT_EQ(v.Read(VK_LEFT, 2), u"zobrazit ");
  // Shift or Ctrl+Shift: one character.
  EXPECT_EQ(v.Read(VK_RIGHT, 4), u"z");
  EXPECT_EQ(v.Read(VK_RIGHT, 0), u"z");
}

TEST(GuiTextTest, OtherKeysAndFailuresReadNothing) {
  View v;
  v.Caret(0, 1);
  EXPECT_EQ(v.Read(VK_PRIOR), u"");
  EXPECT_EQ(v.Read(VK_NEXT), u"");
  EXPECT_EQ(v.Read(VK_HOME), u"");
  // A caret of no height on a value of several lines: no line can be picked.
  v.desk.SetDrawnCaret(v.view, {20, 36, 21, 36});
  EXPECT_EQ(v.Read(VK_UP), u"");
  // No object under the caret.
  v.desk.SetDrawnCaret(v.view, {5000, 36, 5001, 52});
  EXPECT_EQ(v.Read(VK_RIGHT), u"");
  // The object is gone.
  v.Caret(0, 1);
  v.text->Destroy();
  EXPECT_EQ(v.Read(VK_RIGHT), u"");
  // No caret at all: another window without one has the focus.
  View w;
  w.desk.Focus(w.top);
  EXPECT_EQ(w.Read(VK_RIGHT), u"");
}

}  // namespace
}  // namespace quellon::access
