// The localised user-interface texts and the spoken names of the 256 single-byte character codes.
// One StringTable serves the whole run in one language (Czech or English), fixed when it is made.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quellon::strings {

// A form that can take captions by control name (the main window, the settings dialog, ...).
class CaptionTarget {
 public:
  virtual ~CaptionTarget() = default;
  // The form's name, such as u"frmMain" or u"frmSet".
  virtual std::u16string_view FormName() const = 0;
  // Sets the caption of the named control; an empty control name means the form's own caption.
  virtual void SetCaption(std::u16string_view controlName, std::u16string_view caption) = 0;
};

class StringTable {
 public:
  static constexpr int kTextCount = 201;  // text numbers 0..200
  static constexpr int kColumnCount = 3;  // column 0 unused, 1 Czech, 2 English
  static constexpr int kCzechColumn = 1;
  static constexpr int kEnglishColumn = 2;
  static constexpr int kCharCount = 256;  // one name per Windows-1250 code

  // Text numbers with a fixed meaning outside the menus and dialogs.
  static constexpr int kGreeting = 1;
  static constexpr int kAboutDescription = 20;
  static constexpr int kAboutMoreInfo = 52;
  // Control states.
  static constexpr int kTextUnchecked = 53;
  static constexpr int kTextExpandable = 54;
  static constexpr int kTextUnavailable = 55;
  static constexpr int kTextChecked = 56;
  static constexpr int kTextExpanded = 57;
  static constexpr int kTextCollapsed = 58;
  // Switches, Caps Lock and Num Lock.
  static constexpr int kTextOn = 61;
  static constexpr int kTextOff = 62;  // 59 and 60 repeat "unavailable" and have no use yet
  static constexpr int kTextCapsLock = 63;
  static constexpr int kTextNumLock = 64;

  // Both tables start empty; FillUiStrings and FillCharNames load them.
  explicit StringTable(bool isEnglish) : isEnglish_(isEnglish) {}

  // A table with both tables filled, ready for use.
  static StringTable Loaded(bool isEnglish);

  bool IsEnglish() const { return isEnglish_; }

  // Fills both language columns of the UI text table; unlisted numbers stay empty.
  void FillUiStrings();
  // Fills the character names of this table's language. The English names cover codes 0..128;
  // codes 129..255 stay empty in English.
  void FillCharNames();

  // The text `number` in this table's language; a number outside 0..200 gives the empty string.
  const std::u16string& GetString(int number) const;
  // The raw table cell; a number or column out of range gives the empty string.
  const std::u16string& UiString(int number, int column) const;

  // The spoken name of the first character of `text` (its Windows-1250 code looked up in the name
  // table); empty text gives the empty string. A character that Windows-1250 cannot represent is
  // taken as '?' (code 63), the default character Windows substitutes in that conversion, so it is
  // announced as a question mark. A surrogate pair counts as one such character.
  const std::u16string& CharName(std::u16string_view text) const;
  // The name of one code.
  const std::u16string& CharNameOfCode(unsigned char code) const { return charNames_[code]; }

  // Puts this language's captions on the main window's menu items and on the settings dialog;
  // any other form is left unchanged.
  void ApplyCaptions(CaptionTarget& form) const;

 private:
  bool isEnglish_;
  std::array<std::array<std::u16string, kColumnCount>, kTextCount> uiStrings_{};
  std::array<std::u16string, kCharCount> charNames_{};
};

}  // namespace quellon::strings
