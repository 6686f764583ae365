#include "access/ansi_string_store.h"

#include <algorithm>

#include "text/text.h"

namespace quellon::access {

std::u16string AnsiBufferText(std::u16string_view text, std::size_t capacity) {
  if (capacity <= 1) return {};
  if (const std::size_t nul = text.find(u'\0'); nul != std::u16string_view::npos) {
    text = text.substr(0, nul);
  }
  // Converting first: a pair of surrogates is one character of the code page ('?'), so the cut
  // below never splits one.
  std::u16string ansi = text::Cp1250ToUtf16(text::Utf16ToCp1250(text));
  if (ansi.size() > capacity - 1) ansi.resize(capacity - 1);
  return ansi;
}

AnsiStringStore::Address AnsiStringStore::dwGetAddressForObject(std::u16string_view text) {
  if (slots_.size() >= kMaxStrings) slots_.pop_front();
  const Address address = next_;
  next_ = next_ == UINT32_MAX ? 1 : next_ + 1;  // 0 stays "no string"
  slots_.push_back({address, AnsiBufferText(text, kMaxLength + 1)});
  return address;
}

std::u16string AnsiStringStore::dwGetStringFromLPSTR(Address address) const {
  if (address == 0) return {};
  auto it = std::find_if(slots_.begin(), slots_.end(),
                         [address](const Slot& s) { return s.address == address; });
  return it == slots_.end() ? std::u16string{} : it->text;
}

bool AnsiStringStore::Write(Address address, std::u16string_view text) {
  if (address == 0) return false;
  auto it = std::find_if(slots_.begin(), slots_.end(),
                         [address](const Slot& s) { return s.address == address; });
  if (it == slots_.end()) return false;
  it->text = AnsiBufferText(text, kMaxLength + 1);
  return true;
}

}  // namespace quellon::access
