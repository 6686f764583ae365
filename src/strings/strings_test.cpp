#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "strings/string_table.h"

namespace quellon::strings {
namespace {

// A form that records the captions it is given.
class RecordingForm : public CaptionTarget {
 public:
  explicit RecordingForm(std::u16string name) : name_(std::move(name)) {}
  std::u16string_view FormName() const override { return name_; }
  void SetCaption(std::u16string_view control, std::u16string_view caption) override {
    captions.emplace_back(control, caption);
  }
  std::u16string CaptionOf(std::u16string_view control) const {
    for (const auto& [c, text] : captions)
      if (c == control) return text;
    return u"<unset>";
  }
  std::vector<std::pair<std::u16string, std::u16string>> captions;

 private:
  std::u16string name_;
};

int NonEmptyNames(const StringTable& t) {
  int n = 0;
  for (int code = 0; code < StringTable::kCharCount; ++code)
    n += !t.CharNameOfCode(static_cast<unsigned char>(code)).empty();
  return n;
}

TEST(CharName, CzechLettersAndSymbols) {
  const StringTable cs = StringTable::Loaded(false);
  EXPECT_EQ(cs.CharName(u"A"), u"a velké");
  EXPECT_EQ(cs.CharName(u"a"), u"a");
  EXPECT_EQ(cs.CharName(u" "), u"Mezera");
  EXPECT_EQ(cs.CharName(u"č"), u"čé");          // code 232
  EXPECT_EQ(cs.CharName(u"ě"), u"é s háčkem");  // code 236
  EXPECT_EQ(cs.CharName(u"Ab"), u"a velké");    // only the first character counts
  EXPECT_EQ(cs.CharName(u""), u"");
  EXPECT_EQ(cs.CharName(u"\u20AC"), u"euro");       // code 128
  EXPECT_EQ(cs.CharName(u"\u2019"), u" apostrof");  // code 146, leading space kept
  EXPECT_EQ(cs.CharName(u"\u00A0"), u"mezera");     // no-break space, code 160
  EXPECT_EQ(cs.CharName(u"\u0081"), u"znak 129");   // unassigned code, C1 control
  EXPECT_EQ(cs.CharName(std::u16string(1, u'\0')), u"nul");
}

TEST(CharName, EnglishStopsAtTheEuroSign) {
  const StringTable en = StringTable::Loaded(true);
  EXPECT_EQ(en.CharName(u"A"), u"a. capital");
  EXPECT_EQ(en.CharName(u"z"), u"z");
  EXPECT_EQ(en.CharName(u"\x1B"), u"escape");
  EXPECT_EQ(en.CharName(u"\u20AC"), u"euro");
  EXPECT_EQ(en.CharName(u"č"), u"");
  EXPECT_EQ(en.CharName(u"\u00A0"), u"");
  for (int code = 129; code < 256; ++code)
    EXPECT_EQ(en.CharNameOfCode(static_cast<unsigned char>(code)), u"") << code;
  EXPECT_EQ(NonEmptyNames(en), 129);
  EXPECT_EQ(NonEmptyNames(StringTable::Loaded(false)), 256);
}

TEST(CharName, CharacterOutsideTheCodePageIsAQuestionMark) {
  const StringTable cs = StringTable::Loaded(false);
  const StringTable en = StringTable::Loaded(true);
  for (const char16_t* text : {u"\u4E2D", u"\u00E0", u"\U0001F600", u"\xD800"}) {
    EXPECT_EQ(cs.CharName(text), u"otazník");
    EXPECT_EQ(en.CharName(text), u"question");
  }
}

TEST(CharName, SpotChecksAcrossTheCzechTable) {
  const StringTable cs = StringTable::Loaded(false);
  const std::pair<int, std::u16string_view> expected[] = {
      {1, u"obličej"},
      {6, u"List"},
      {9, u"Tabulátor"},
      {13, u"konec řádku"},
      {19, u"dvojitý vykřičník"},
      {23, u"podtržená dvojšipka"},
      {29, u"vodorovná dvojšipka"},
      {35, u"nambr"},
      {38, u"end"},
      {47, u"lomeno"},
      {57, u"devět"},
      {64, u"zavináč"},
      {87, u"dvojvé velké"},
      {90, u"zed velké"},
      {92, u"zpětné lomítko"},
      {96, u"obrácený apostrof"},
      {122, u"zet"},
      {127, u"znak 127"},
      {133, u"trojtečka"},
      {138, u"eš velké"},
      {142, u"žed velké"},
      {150, u"pomlčka"},
      {153, u"obchodní značka"},
      {165, u"á s ocáskem velké"},
      {169, u"kopyrajt"},
      {176, u"stupeň"},
      {188, u"el s apostrofem velké"},
      {202, u"e s ocáskem"},
      {204, u"é s háčkem velké"},
      {213, u"ó s dvěma čárkami velké"},
      {219, u"ú s dvěma čárkami"},
      {223, u"ostré es"},
      {240, u"dé se stříškou"},
      {245, u"ó se dvěma čarami"},
      {249, u"ů s kroužkem"},
      {255, u"znak 255"},
  };
  for (const auto& [code, name] : expected)
    EXPECT_EQ(cs.CharNameOfCode(static_cast<unsigned char>(code)), name) << code;
}

TEST(CharName, SpotChecksAcrossTheEnglishTable) {
  const StringTable en = StringTable::Loaded(true);
  const std::pair<int, std::u16string_view> expected[] = {
      {6, u"blades"},          {14, u"noudle note"},      {16, u"code 16"},
      {22, u"underscore"},     {23, u"undescored arrow"}, {31, u"code 31"},
      {32, u"space"},          {39, u"apostroph"},        {40, u"Left Parenthesis"},
      {60, u"Less-than"},      {92, u"Reverse Slant"},    {96, u"Grave Accent"},
      {123, u"Opening Brace"}, {127, u"delete"},
  };
  for (const auto& [code, name] : expected)
    EXPECT_EQ(en.CharNameOfCode(static_cast<unsigned char>(code)), name) << code;
}

TEST(CharName, EmptyUntilFilled) {
  StringTable cs(false);
  EXPECT_EQ(cs.CharName(u"A"), u"");
  cs.FillCharNames();
  EXPECT_EQ(cs.CharName(u"A"), u"a velké");
}

TEST(UiStrings, BothLanguagesAndRange) {
  const StringTable cs = StringTable::Loaded(false);
  const StringTable en = StringTable::Loaded(true);
  EXPECT_EQ(cs.GetString(1), u"dobrý den, je ");
  EXPECT_EQ(en.GetString(1), u"hello, it is ");
  EXPECT_EQ(cs.GetString(8), u"U&končit");
  EXPECT_EQ(en.GetString(13), u"Read window contens");
  EXPECT_EQ(cs.GetString(31), u"Storno");
  EXPECT_EQ(en.GetString(64), u"numlock");
  for (int n : {59, 60}) {
    EXPECT_EQ(cs.GetString(n), cs.GetString(55));
    EXPECT_EQ(en.GetString(n), en.GetString(55));
  }
  EXPECT_EQ(en.GetString(55), u"unavailable");
  for (int n : {StringTable::kAboutDescription, StringTable::kAboutMoreInfo}) {
    EXPECT_FALSE(cs.GetString(n).empty());
    EXPECT_FALSE(en.GetString(n).empty());
  }
  for (int n : {300, 201, -1, 200, 0, 18, 65}) {
    EXPECT_EQ(cs.GetString(n), u"") << n;
    EXPECT_EQ(en.GetString(n), u"") << n;
  }
  // Both columns are filled whatever the language; column 0 holds nothing.
  EXPECT_EQ(cs.UiString(3, StringTable::kEnglishColumn), u"&Control");
  EXPECT_EQ(en.UiString(3, StringTable::kCzechColumn), u"&Ovládání");
  EXPECT_EQ(cs.UiString(3, 3), u"");
  int filled = 0;
  for (int n = 0; n < StringTable::kTextCount; ++n) {
    EXPECT_EQ(cs.UiString(n, 0), u"") << n;
    const bool czech = !cs.UiString(n, StringTable::kCzechColumn).empty();
    EXPECT_EQ(czech, !cs.UiString(n, StringTable::kEnglishColumn).empty()) << n;
    filled += czech;
  }
  EXPECT_EQ(filled, 38);  // 1..17, 20, 25..31, 52..64
}

TEST(ApplyCaptions, MainWindowSettingsDialogAndOtherForms) {
  const StringTable cs = StringTable::Loaded(false);
  const StringTable en = StringTable::Loaded(true);

  RecordingForm main(u"frmMain");
  cs.ApplyCaptions(main);
  EXPECT_EQ(main.captions.size(), 16u);
  EXPECT_EQ(main.CaptionOf(u"mnufile"), u"&Program");
  EXPECT_EQ(main.CaptionOf(u"mnuNavBack"), u"Navigace");
  EXPECT_EQ(main.CaptionOf(u"mnuHelpOpen"), u"Otevřít");
  EXPECT_EQ(main.CaptionOf(u""), u"<unset>");  // the main window's own caption stays

  RecordingForm mainEn(u"frmMain");
  en.ApplyCaptions(mainEn);
  for (const auto& [control, caption] : mainEn.captions) EXPECT_FALSE(caption.empty());
  EXPECT_EQ(mainEn.CaptionOf(u"mnuShowInfo"), u"Show info band");
  EXPECT_EQ(mainEn.CaptionOf(u"mnuActivatePR"), u"Activate Quellon");

  RecordingForm set(u"frmSet");
  en.ApplyCaptions(set);
  EXPECT_EQ(set.captions.size(), 10u);
  EXPECT_EQ(set.CaptionOf(u""), u"Settings");
  EXPECT_EQ(set.CaptionOf(u"frmVolume"), u"Volume:");
  EXPECT_EQ(set.CaptionOf(u"lblPitch"), u"Pitch:");
  EXPECT_EQ(set.CaptionOf(u"cmdCancel"), u"Cancel");

  RecordingForm setCs(u"frmSet");
  cs.ApplyCaptions(setCs);
  EXPECT_EQ(setCs.CaptionOf(u"frmPitch"), u"Výška:");

  RecordingForm info(u"frmInfo");
  cs.ApplyCaptions(info);
  EXPECT_TRUE(info.captions.empty());
}

}  // namespace
}  // namespace quellon::strings
