#include "reader/edit_caret_readers.h"

#include <algorithm>
#include <limits>

#include "reader/window_readers.h"

namespace quellon::reader {
namespace {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::WParam;

constexpr std::int64_t kMaxPosition = std::numeric_limits<std::int32_t>::max();
// EM_LINEINDEX and EM_LINELENGTH take -1 for "the line of the caret".
constexpr WParam kCaretLine = static_cast<WParam>(-1);

bool IsSeparator(char16_t c) {
  switch (c) {
    case u' ':
    case u'.':
    case u',':
    case u':':
    case u'!':
    case u'?':
    case u'\\':
    case u'/':
    case u'\r':
    case u'\n':
    case u'\t':
      return true;
    default:
      return false;
  }
}

// The `count` characters after the first `offset` characters of `text`, cut to the text; "" when
// the offset lies outside it.
std::u16string Piece(std::u16string_view text, std::int64_t offset, std::int64_t count) {
  const auto size = static_cast<std::int64_t>(text.size());
  if (offset < 0 || offset >= size || count <= 0) return {};
  return std::u16string(text.substr(static_cast<std::size_t>(offset),
                                    static_cast<std::size_t>(std::min(count, size - offset))));
}

}  // namespace

std::u16string WordAt(std::u16string_view text, std::size_t start) {
  if (start < 1 || start > text.size()) return {};
  const std::size_t first = start - 1;
  bool separatorSeen = false;
  for (std::size_t i = first; i < text.size(); ++i) {
    if (IsSeparator(text[i])) {
      separatorSeen = true;
    } else if (separatorSeen) {
      return std::u16string(text.substr(first, i - first));
    }
  }
  return std::u16string(text.substr(first));
}

std::u16string EditCaretReaders::EditText(Hwnd hwnd) {
  try {
    const LResult length = windows_.SendMessage(hwnd, platform::WM_GETTEXTLENGTH, 0, 0);
    // The buffer holds the text and its terminating NUL.
    if (!state_.IsWinXP && length >= kMaxTextLength) {
      windows_.MessageBeep(0);
      return {};
    }
    if (length <= 0 || length >= kMaxPosition) return {};
    const auto bufferSize = static_cast<std::int32_t>(length + 1);
    std::u16string text = windows_.SendGetText(hwnd, bufferSize);
    // A window that writes past the buffer it was given is cut back to it.
    if (text.size() > static_cast<std::size_t>(length))
      text.resize(static_cast<std::size_t>(length));
    return text;
  } catch (...) {
    return {};
  }
}

std::u16string EditCaretReaders::TextAsPositionsCount(Hwnd hwnd) {
  std::u16string text = EditText(hwnd);
  if (ClassContains(state_.Focus.FocusClassName, u"RICH")) std::erase(text, u'\r');
  return text;
}

std::u16string EditCaretReaders::CurrentLine(Hwnd hwnd) {
  try {
    LResult start = windows_.SendMessage(hwnd, platform::EM_LINEINDEX, kCaretLine, 0);
    const LResult line =
        windows_.SendMessage(hwnd, platform::EM_LINEFROMCHAR, static_cast<WParam>(start), 0);
    const LResult length =
        windows_.SendMessage(hwnd, platform::EM_LINELENGTH, static_cast<WParam>(start), 0);
    start = windows_.SendMessage(hwnd, platform::EM_LINEINDEX, static_cast<WParam>(line), 0);
    return Piece(TextAsPositionsCount(hwnd), start, length);
  } catch (...) {
    return {};
  }
}

void EditCaretReaders::ReadCaret(Hwnd hwnd, std::uint32_t vk, std::uint32_t modifierCode) {
  try {
    ReadCaretAt(hwnd, vk, modifierCode);
  } catch (...) {
    // A control that fails mid-way is not read; the remembered position stays.
  }
}

void EditCaretReaders::ReadCaretAt(Hwnd hwnd, std::uint32_t vk, std::uint32_t modifierCode) {
  // A control that does not fill the pointers is read from the packed result instead.
  std::int32_t filledStart = -1;
  std::int32_t filledEnd = -1;
  const LResult packed = windows_.SendGetSel(hwnd, &filledStart, &filledEnd);
  std::int64_t selStart = filledStart;
  std::int64_t selEnd = filledEnd;
  if (selStart == -1) {
    selStart = (packed & 0xFFFF) & 0x7FFF;
    selEnd = packed / 65536;
  }
  if (selStart < 0 || selEnd < 0 || selStart > kMaxPosition || selEnd > kMaxPosition) return;

  std::int64_t pos = selStart;
  const bool selected = selEnd != selStart;
  std::int64_t selLength = 0;
  std::int64_t lower = 0;
  if (selected) {
    output_.PlaySoundCue(u"select");
    selLength = selEnd > selStart ? selEnd - selStart : selStart - selEnd;
    lower = std::min(selStart, selEnd);
    // The selection grows from the remembered position: the caret is at its other end.
    if (lastCaretPos_ == selStart) {
      lastCaretPos_ = 0;
      pos = selEnd;
    }
  }
  if (!state_.IsWinXP && pos > kMaxTextLength) return;

  const LResult lineStart = windows_.SendMessage(hwnd, platform::EM_LINEINDEX, kCaretLine, 0);
  const LResult lineLength =
      windows_.SendMessage(hwnd, platform::EM_LINELENGTH, static_cast<WParam>(lineStart), 0);
  const std::u16string text = TextAsPositionsCount(hwnd);

  // Delete and Backspace are read before the control acts on them: what they are about to remove.
  if (vk == platform::VK_DELETE) {
    output_.PlaySoundCue(u"del");
  } else if (vk == platform::VK_BACK) {
    output_.PlaySoundCue(u"del");
    --pos;
  }

  const std::int64_t last = lastCaretPos_;
  const std::int64_t lineEnd = static_cast<std::int64_t>(lineStart) + lineLength;
  std::u16string said;
  if (selected) {
    said = Piece(text, lower, selLength);
  } else if (pos < 0) {
    // Backspace at the start of the text removes nothing: nothing is read, and the caret is
    // remembered at the start below.
  } else if (pos == 0) {
    output_.PlaySoundCue(u"stop");
    if (last > 0) {
      said = Piece(text, 0, last);
    } else if (text.empty()) {
      return;
    } else {
      said = Piece(text, 0, 1);
    }
  } else if (pos == lineEnd) {
    if (pos < last) {
      output_.PlaySoundCue(u"stop");
      said = Piece(text, pos, last - pos);
    } else if (pos == last) {
      output_.PlaySoundCue(u"stop");
      return;
    } else if (pos > last + 1) {
      said = WordAt(text, static_cast<std::size_t>(pos) + 1);
    } else {
      said = Piece(text, pos, 1);
    }
  } else if (modifierCode == kCtrlModifier && (pos - last > 1 || last - pos > 1)) {
    said = WordAt(text, static_cast<std::size_t>(pos) + 1);
  } else {
    said = Piece(text, pos, 1);
  }

  // A single character is spoken by its name (Say does that). Nothing to read says nothing, so
  // the speech still running is not cut off by an empty announcement.
  if (said.size() > kMaxSpoken) said.resize(kMaxSpoken);
  if (!said.empty()) output_.Say(said, 0, true);
  lastCaretPos_ = static_cast<std::int32_t>(std::max<std::int64_t>(pos, 0));
}

void EditCaretReaders::ReadWindow() {
  try {
    const std::u16string text = ChildWindowsText(windows_, state_.Focus.ForegroundHwnd);
    output_.Say(text);
    clipboard_.SetText(text);
  } catch (...) {
    // Nothing is read.
  }
}

}  // namespace quellon::reader
