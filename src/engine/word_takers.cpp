#include "engine/word_takers.h"

#include <algorithm>
#include <cstddef>

namespace quellon {

void ConsumeDelimiter(EngineState& st, std::int32_t i) {
  if (i >= kMaxTextPosition) {
    // The position cannot pass 32767: the text ends with this word.
    st.SpeakIndex = static_cast<std::int16_t>(kMaxTextPosition);
    st.SpeechPos = 1;
    st.SpeechText.clear();
    return;
  }
  st.SpeechPos = static_cast<std::int16_t>(st.SpeechPos + 1);
  st.SpeakIndex = st.SpeechPos;
}

void FetchNextWord(EngineState& st) {
  if (st.SpeechText.empty() || !st.CurrentWord.empty() || st.StopFlag) return;
  // Positions are 16-bit: a text is read up to its 32767th character and ends there.
  const auto length =
      static_cast<std::int32_t>(std::min<std::size_t>(st.SpeechText.size(), kMaxTextPosition));
  auto endOfText = [&](std::int32_t i) {
    st.PauseClass = 0;
    st.SpeakIndex = static_cast<std::int16_t>(i);
    st.SpeechPos = 1;
    st.SpeechText.clear();
  };
  for (std::int32_t i = st.SpeechPos; i <= length; ++i) {
    if (st.StopFlag) return;
    const char16_t c = st.SpeechText[static_cast<std::size_t>(i - 1)];
    bool finish = false;
    switch (c) {
      case u'?':
        st.PauseClass = 2;
        finish = !st.CurrentWord.empty();
        break;
      case u'.':
      case u':':
        st.PauseClass = 1;
        finish = !st.CurrentWord.empty();
        break;
      case u',':
      case u'-':
        st.PauseClass = 3;
        finish = !st.CurrentWord.empty();
        break;
      case u'"':
      case u'!':
      case u'+':
      case u')':
      case u'(':
        st.PauseClass = 0;
        finish = !st.CurrentWord.empty();
        break;
      case u' ':
      case u'\r':
      case u'\n': {
        st.PauseClass = 0;
        const std::size_t n = st.CurrentWord.size();
        const char16_t last = n > 0 ? st.CurrentWord.back() : u'\0';
        finish = n > 2 || (n >= 1 && last >= u'0' && last <= u'9');
        break;
      }
      default:
        st.CurrentWord += c;
        break;
    }
    if (finish) {
      ConsumeDelimiter(st, i);
      return;
    }
    if (i == length) {
      endOfText(i);
      return;
    }
    st.SpeechPos = static_cast<std::int16_t>(st.SpeechPos + 1);
  }
  st.SpeechText.clear();
}

void TakeFirstWord(EngineState& st) {
  if (!st.CurrentWord.empty() || st.StopFlag || st.SpeechText.empty()) return;
  // Positions are 16-bit: a text is read up to its 32767th character and ends there.
  const auto length =
      static_cast<std::int32_t>(std::min<std::size_t>(st.SpeechText.size(), kMaxTextPosition));
  for (std::int32_t i = st.SpeechPos; i <= length; ++i) {
    if (st.StopFlag) return;
    const char16_t c = st.SpeechText[static_cast<std::size_t>(i - 1)];
    switch (c) {
      case u'?':
        st.PauseClass = 2;
        break;
      case u'.':
      case u':':
        st.PauseClass = 1;
        break;
      case u',':
        st.PauseClass = 3;
        break;
      case u' ':
      case u'\r':
      case u'\n':
      case u'"':
      case u'!':
      case u'-':
      case u'\t':
      case u'+':
        st.PauseClass = 0;
        break;
      default:
        st.CurrentWord += c;
        if (i == length) {
          st.PauseClass = 0;
          st.SpeakIndex = static_cast<std::int16_t>(i);
          st.SpeechPos = 1;
          st.SpeechText.clear();
          return;
        }
        st.SpeechPos = static_cast<std::int16_t>(st.SpeechPos + 1);
        continue;
    }
    // A delimiter ends the step; it is consumed.
    ConsumeDelimiter(st, i);
    return;
  }
  st.SpeechText.clear();
}

}  // namespace quellon
