#include "speech/letter_to_sound.h"

#include "text/text.h"

namespace quellon {
namespace {

bool OneOf(char16_t c, std::u16string_view set) {
  return c != 0 && set.find(c) != std::u16string_view::npos;
}

}  // namespace

std::u16string Assimilate(std::u16string_view word) {
  const std::size_t n = word.size();
  std::u16string out;
  out.reserve(n + 8);
  // 0 stands for "no character" (before the first and after the last); a NUL inside the word is
  // never one of the letters the rules look at, so it behaves the same way.
  char16_t prev = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t cur = text::ToLower(word[i]);
    const bool last = i + 1 == n;
    const char16_t next = last ? 0 : text::ToLower(word[i + 1]);
    switch (cur) {
      case u'y':
        out += OneOf(prev, u"tdn") ? u'y' : u'i';
        break;
      case u'w':
        out += u'v';
        break;
      case u'z':
        out += OneOf(next, u"pkt") ? u's' : u'z';
        break;
      case u'ž':
        out += (last || OneOf(next, u"pkt")) ? u'š' : u'ž';
        break;
      case u'd':
        out += (last || OneOf(next, u"pkc")) ? u't' : u'd';
        break;
      case u'ď':
        out += OneOf(next, u"pk") ? u'ť' : u'ď';
        break;
      case u'h':
        if (prev != u'c' && (last || OneOf(next, u"kčc"))) {
          out += u"ch";
        } else {
          out += u'h';
        }
        break;
      case u'v':
        out += (OneOf(next, u"skšctčp") || (last && n > 1)) ? u'f' : u'v';
        break;
      case u'k':
        out += next == u'd' ? u'g' : u'k';
        break;
      case u'ü':
        out += u'i';
        break;
      case u'ä':
      case u'ö':
        out += u'e';
        break;
      case u'+':
        out += u"plus";
        break;
      default:
        out += cur;
        break;
    }
    prev = cur;
  }
  return out;
}

}  // namespace quellon
