#include "platform/win32/win32_windows.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/win32_clipboard.h"

namespace quellon::platform {
namespace {

class OpenedClipboard {
 public:
  OpenedClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// The text of a clipboard block, never read past the block's real size even when the text in
// it lacks its terminating NUL.
template <typename Char>
std::basic_string<Char> ReadBlock(HANDLE handle) {
  std::basic_string<Char> text;
  if (handle == nullptr) return text;
  const SIZE_T bytes = GlobalSize(handle);
  const auto* data = static_cast<const Char*>(GlobalLock(handle));
  if (data == nullptr) return text;
  const std::size_t limit = bytes / sizeof(Char);
  text.assign(data, std::find(data, data + limit, Char{0}));
  GlobalUnlock(handle);
  return text;
}

}  // namespace

std::optional<std::u16string> Win32Clipboard::GetText() {
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) return std::nullopt;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    const std::wstring text = ReadBlock<wchar_t>(GetClipboardData(CF_UNICODETEXT));
    return win32::FromWide(text.data(), text.size());
  }
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    const std::string text = ReadBlock<char>(GetClipboardData(CF_TEXT));
    if (text.empty()) return std::u16string();
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return win32::FromWide(wide.data(), wide.size());
  }
  return std::nullopt;
}

bool Win32Clipboard::SetText(const std::u16string& text) {
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return false;
  void* data = GlobalLock(block);
  if (data == nullptr) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(data, text.c_str(), bytes);
  GlobalUnlock(block);
  if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) {
    GlobalFree(block);  // still ours: the clipboard did not take it
    return false;
  }
  return true;
}

}  // namespace quellon::platform
