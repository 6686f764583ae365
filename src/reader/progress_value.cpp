#include "reader/progress_value.h"

#include <string>

#include "text/text.h"

namespace quellon::reader {
namespace {
// Parent chains are never this deep; a chain that loops (a damaged window tree) ends here.
constexpr int kMaxParentSteps = 4096;
}  // namespace

std::optional<std::int32_t> ProgressPercent(std::u16string_view value) {
  std::u16string digits;
  digits.reserve(value.size());
  for (const char16_t c : value) {
    if (c != u'%') digits.push_back(c);
  }
  return text::RoundToInt32(text::LeadingNumber(digits));
}

bool ProgressValueWatcher::IsInForegroundTree(platform::Hwnd hwnd) {
  platform::GuiThreadInfo info;
  if (!windows_.GetGUIThreadInfo(0, info)) info = {};  // no foreground thread: no active window
  const platform::Hwnd active = info.active;
  platform::Hwnd w = hwnd;
  for (int step = 0; step < kMaxParentSteps; ++step) {
    if (!windows_.IsWindow(w)) return false;
    if (w == active) return true;
    const auto style = static_cast<std::uint32_t>(windows_.GetWindowLong(w, platform::GWL_STYLE));
    if (style & platform::WS_CAPTION) return false;
    w = windows_.GetParent(w);
  }
  return false;
}

void ProgressValueWatcher::OnValueChange(platform::Hwnd hwnd, std::int32_t idObject,
                                         std::int32_t idChild) {
  if (!IsInForegroundTree(hwnd)) return;
  const platform::AccessibleChild object = access_.ObjectFromEvent(hwnd, idObject, idChild);
  if (!object) return;
  const std::optional<std::u16string> value = object.object->Value(object.childId);
  if (!value || value->empty()) return;
  const std::optional<std::int32_t> percent = ProgressPercent(*value);
  if (!percent) return;
  if (*percent > 0 && !tone_.ProgressTonePlaying()) tone_.PlayProgressTone(*percent);
}

}  // namespace quellon::reader
