#include "access/aa_enum.h"

#include <algorithm>

#include "access/vb_accessible.h"
#include "core/synthetic_input.h"
#include "text/text.h"

namespace quellon::access {

using platform::AccessiblePtr;

namespace {

constexpr char16_t kNoBreakSpace = u'\u00A0';
// MSAA role 4 (a grip): the object that ends a combo box's contents in a web page.
constexpr std::int32_t kRoleGrip = 4;

bool IsDelimiter(char16_t c) {
  return c == u'.' || c == u':' || c == u'!' || c == u'?' || c == u'\r' || c == u'\n';
}

// The part of an address after its last "/" (all of it when it has none).
std::u16string FileOf(const std::u16string& address) {
  const std::size_t slash = address.rfind(u'/');
  return slash == std::u16string::npos ? address : address.substr(slash + 1);
}

bool Has(std::uint32_t state, std::uint32_t bit) {
  return (state & bit) != 0;
}

// Clears a flag when it goes out of scope, however the walk ends.
class RunningGuard {
 public:
  explicit RunningGuard(std::atomic<bool>& flag) : flag_(flag) { flag_.store(true); }
  ~RunningGuard() { flag_.store(false); }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;

 private:
  std::atomic<bool>& flag_;
};

}  // namespace

std::u16string_view NextSentence(std::u16string_view text, std::size_t start) {
  if (start >= text.size()) return {};
  bool delimited = false;
  std::size_t i = start;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsDelimiter(c)) {
      delimited = true;
    } else if (delimited && c != u' ') {
      break;
    }
  }
  return text.substr(start, i - start);
}

clsAAenum::clsAAenum(const core::Program& program)
    : access_(program.ports.access),
      windows_(program.ports.windows),
      keyboard_(program.ports.keyboard),
      loop_(program.ports.loop),
      strings_(program.strings),
      mainWindow_(program.mainWindow),
      walker_(program.ports.access, program.ports.windows) {}

void clsAAenum::CreateItemList() {
  AAos.Clear();
}

void clsAAenum::ReleaseItemList() {
  AAos.Clear();
}

// ---- Filling the list ----

void clsAAenum::DoUpdate(platform::Hwnd hwnd, bool addWin) {
  if (hwnd == 0 || !windows_.IsWindowVisible(hwnd)) return;
  if (!addWin) {
    AAos.Clear();
    focused_ = 0;
    noLinks_ = 0;
    noFrames_ = 0;
    // A combo box at the end of the last list must not swallow the start of this one.
    inCombo_ = false;
  }
  // A cancel ends the walk it came in, not every walk after it: the flag starts clear, and a
  // cancel message still waiting from the end of an earlier walk (posted just as it finished)
  // is thrown away before this one is marked as running.
  cancelled_ = false;
  platform::WParam staleW = 0;
  platform::LParam staleL = 0;
  for (int i = 0; i < kMaxStaleCancels &&
                  loop_.RemovePostedMessage(mainWindow_, platform::MSG_CANCEL_WALK, staleW, staleL);
       ++i) {
  }
  RunningGuard running(walkRunning_);
  walker_.FillInList(hwnd, 0, [this](const AccessiblePtr& object, std::int32_t childId) {
    return OnWalkObject(object, childId);
  });
}

std::int32_t clsAAenum::OnWalkObject(const AccessiblePtr& object, std::int32_t childId) {
  if (!cancelled_) AddItem(object, childId);
  platform::WParam wParam = 0;
  platform::LParam lParam = 0;
  if (loop_.RemovePostedMessage(mainWindow_, platform::MSG_CANCEL_WALK, wParam, lParam) &&
      wParam == 2 && lParam == 27) {
    cancelled_ = true;
  }
  return cancelled_ ? 0 : 1;
}

void clsAAenum::AddItem(const AccessiblePtr& pAcc, std::int32_t pvarT) {
  if (!pAcc) return;
  const std::uint32_t state = pAcc->State(pvarT).value_or(0u);
  if (Has(state, platform::STATE_SYSTEM_INVISIBLE) && !readInvisible_) return;
  std::int32_t role = pAcc->Role(pvarT).value_or(0);
  if (filter_) {
    switch (role) {
      case platform::ROLE_SYSTEM_WINDOW:
      case platform::ROLE_SYSTEM_CLIENT:
      case platform::ROLE_SYSTEM_SEPARATOR:
      case platform::ROLE_SYSTEM_STATUSBAR:
      case platform::ROLE_SYSTEM_TABLE:
      case platform::ROLE_SYSTEM_CELL:
      case platform::ROLE_SYSTEM_LINK:
        return;
      default:
        break;
    }
  }
  std::u16string name = pAcc->Name(pvarT).value_or(std::u16string{});
  const std::u16string value = pAcc->Value(pvarT).value_or(std::u16string{});

  if (ieProfile_) {
    if (Has(state, platform::STATE_SYSTEM_LINKED)) {
      ++noLinks_;
      role = platform::ROLE_SYSTEM_LINK;
    }
    if (role == platform::ROLE_SYSTEM_GRAPHIC && name.empty() && !noTextGraph_) return;
    if (role == platform::ROLE_SYSTEM_TEXT && !Has(state, platform::STATE_SYSTEM_FOCUSABLE)) {
      role = platform::ROLE_SYSTEM_STATICTEXT;
    }
    if (role == platform::ROLE_SYSTEM_STATICTEXT) {
      name = std::u16string(text::TrimSpaces(name));
      if (value.empty() &&
          (name.empty() || name == std::u16string(1, kNoBreakSpace) || name == u"|")) {
        return;
      }
    }
    if (inCombo_) {
      if (role == kRoleGrip) inCombo_ = false;
      return;
    }
    if (role == platform::ROLE_SYSTEM_COMBOBOX) inCombo_ = true;
    if (role == platform::ROLE_SYSTEM_PANE) ++noFrames_;
  }

  const std::optional<platform::Rect> where = pAcc->Location(pvarT);
  const ObjectLocation loc = where ? LocationRecord(*where) : ObjectLocation{};
  if (loc.width == 0 && loc.height == 0) return;

  const std::int32_t before = AAos.Count();
  if (role == platform::ROLE_SYSTEM_STATICTEXT && name.size() > kSentenceSplitLength) {
    for (std::size_t pos = 0; pos < name.size() && AAos.Count() < kMaxItems;) {
      const std::u16string_view sentence = NextSentence(name, pos);
      Append(pAcc, pvarT, role, state, std::u16string(sentence));
      pos += sentence.size();
    }
  } else {
    Append(pAcc, pvarT, role, state, {});
  }
  if (Has(state, platform::STATE_SYSTEM_FOCUSED) && AAos.Count() > before) {
    focused_ = AAos.Count();
  }
}

void clsAAenum::Append(const AccessiblePtr& pAcc, std::int32_t pvarT, std::int32_t role,
                       std::uint32_t state, std::u16string name) {
  if (AAos.Count() >= kMaxItems) return;
  auto item = std::make_shared<AaObject>();
  item->name = std::move(name);
  item->Role = role;
  item->State = state;
  item->pAcc = pAcc;
  item->VarT = pvarT;
  AAos.Add(std::move(item));
}

// ---- Reading items ----

std::int32_t clsAAenum::GetItemRole(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  return item ? item->Role : 0;
}

std::uint32_t clsAAenum::GetItemState(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  return item ? item->State : 0u;
}

std::u16string clsAAenum::GetItem(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item) return {};
  const vbAccessible acc(item->pAcc, item->VarT);
  const std::int32_t role = item->Role;
  std::u16string name = item->name.empty() ? acc.name() : item->name;
  std::u16string value = acc.value();
  const std::uint32_t state = acc.State();

  if (ieProfile_) {
    switch (role) {
      case platform::ROLE_SYSTEM_PANE:
        value.clear();
        break;
      case platform::ROLE_SYSTEM_LINK: {
        if (name.empty()) name = FileOf(value);
        // Text inside a link to the same target reads with the link's own name in front. Only
        // for a real target: an empty value would match any parent without one.
        if (!value.empty()) {
          if (const std::optional<vbAccessible> parent = acc.Parent()) {
            const std::u16string parentName = parent->name();
            if (parent->value() == value && !parentName.empty() && parentName != name) {
              name = parentName + u" " + name;
            }
          }
        }
        value.clear();  // the address itself is never read out
        break;
      }
      case platform::ROLE_SYSTEM_GRAPHIC:
        if (name.empty() && noTextGraph_) name = FileOf(value);
        value.clear();
        break;
      case platform::ROLE_SYSTEM_CHECKBUTTON:
      case platform::ROLE_SYSTEM_RADIOBUTTON:
        if (Has(state, platform::STATE_SYSTEM_CHECKED)) {
          value = strings_.GetString(strings::StringTable::kTextChecked);
        }
        break;
      default:
        break;
    }
  }
  if (!name.empty() && !value.empty()) return name + u", " + value;
  return name.empty() ? value : name;
}

std::u16string clsAAenum::GetDetails(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item) return {};
  const vbAccessible acc(item->pAcc, item->VarT);
  std::int32_t role = acc.Role();
  const std::uint32_t state = acc.State();
  if (ieProfile_) {
    if (role == platform::ROLE_SYSTEM_TEXT && !Has(item->State, platform::STATE_SYSTEM_FOCUSABLE)) {
      role = platform::ROLE_SYSTEM_STATICTEXT;
    }
    if (Has(state, platform::STATE_SYSTEM_LINKED)) role = platform::ROLE_SYSTEM_LINK;
  }
  const std::u16string value = role == platform::ROLE_SYSTEM_LINK ? u"" : acc.value();
  return u" " + acc.name() + u" " + value + u" " + access_.RoleText(role);
}

// ---- Pointing and acting ----

void clsAAenum::Target(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item || !item->pAcc) return;
  const std::int32_t child = item->VarT.value_or(platform::CHILDID_SELF);
  // An item whose location cannot be read (its object has gone) is neither scrolled to nor
  // pointed at: the pointer would land in the screen's corner.
  std::optional<platform::Rect> at = item->pAcc->Location(child);
  if (!at) return;
  const platform::Hwnd window = access_.WindowFromObject(item->pAcc);
  platform::Rect rect;
  if (window != 0 && windows_.GetWindowRect(window, rect)) {
    windowRect_ = rect;
    if (at->top < rect.top) {
      windows_.SendMessage(window, platform::WM_VSCROLL, platform::SB_PAGEUP, 0);
    } else if (at->top > rect.bottom) {
      windows_.SendMessage(window, platform::WM_VSCROLL, platform::SB_PAGEDOWN, 0);
    }
  }
  if (Has(item->pAcc->State(child).value_or(0u), platform::STATE_SYSTEM_INVISIBLE)) return;
  at = item->pAcc->Location(child);  // again: the page may have scrolled
  if (!at) return;
  // Two pixels inside the item's corner (a hostile corner does not overflow).
  auto inside = [](std::int32_t v) { return v > INT32_MAX - 2 ? INT32_MAX : v + 2; };
  windows_.SetCursorPos(inside(at->left), inside(at->top));
}

std::optional<platform::Rect> clsAAenum::ItemLocation(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item || !item->pAcc) return std::nullopt;
  const std::int32_t child = item->VarT.value_or(platform::CHILDID_SELF);
  const std::optional<std::uint32_t> state = item->pAcc->State(child);
  if (!state || Has(*state, platform::STATE_SYSTEM_INVISIBLE)) return std::nullopt;
  return item->pAcc->Location(child);
}

void clsAAenum::DoAction(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item) return;
  if (item->Role == platform::ROLE_SYSTEM_LINK) {
    if (item->pAcc) {
      const std::int32_t child = item->VarT.value_or(platform::CHILDID_SELF);
      item->pAcc->Select(platform::SELFLAG_TAKEFOCUS, child);
      item->pAcc->DoDefaultAction(child);
    }
    return;
  }
  // Anything else is clicked where Target put the pointer.
  platform::Point at;
  if (!windows_.GetCursorPos(at)) return;
  core::SendMouseClick(keyboard_, windows_, at.x, at.y, false);
}

void clsAAenum::RefreshItem(std::int32_t index) {
  const AaObjectPtr item = AAos.Item(index);
  if (!item) return;
  const vbAccessible acc(item->pAcc, item->VarT);
  std::int32_t role = acc.Role();
  const std::uint32_t state = acc.State();
  if (ieProfile_ && Has(state, platform::STATE_SYSTEM_LINKED)) role = platform::ROLE_SYSTEM_LINK;
  item->Role = role;
  item->State = state;
  item->name = acc.name();
  item->value = acc.value();
}

// ---- Finding items ----

std::int32_t clsAAenum::FindFocused() {
  std::int32_t i = 0;
  for (const AaObjectPtr& item : AAos) {
    ++i;
    if (Has(vbAccessible(item->pAcc, item->VarT).State(), platform::STATE_SYSTEM_FOCUSED)) return i;
  }
  return 0;
}

std::int32_t clsAAenum::FindFirstVisible() {
  std::int32_t i = 0;
  for (const AaObjectPtr& item : AAos) {
    ++i;
    const vbAccessible acc(item->pAcc, item->VarT);
    if (!Has(acc.State(), platform::STATE_SYSTEM_INVISIBLE) &&
        acc.Role() != platform::ROLE_SYSTEM_PANE) {
      return i;
    }
  }
  return AAos.Count();
}

std::int32_t clsAAenum::FindNextFocus(std::int32_t& start, std::int16_t direction) {
  return FindNextStored(start, direction, false);
}

std::int32_t clsAAenum::FindNextFrame(std::int32_t& start, std::int16_t direction) {
  return FindNextStored(start, direction, true);
}

std::int32_t clsAAenum::FindNextStored(std::int32_t& start, std::int16_t direction, bool frames) {
  const std::int32_t count = AAos.Count();
  if (count == 0) return 0;
  const std::int64_t moved = std::int64_t{start} + direction;
  if (moved < INT32_MIN || moved > INT32_MAX) return 0;  // the step overflows: it ends here
  start = static_cast<std::int32_t>(moved);
  auto matches = [&](std::int64_t i) {
    const AaObjectPtr item = AAos.Item(i);
    return frames ? item->Role == platform::ROLE_SYSTEM_PANE
                  : Has(item->State, platform::STATE_SYSTEM_FOCUSABLE);
  };
  if (direction == -1) {
    for (std::int64_t i = std::min<std::int64_t>(moved, count); i >= 1; --i) {
      if (matches(i)) return static_cast<std::int32_t>(i);
    }
  } else {
    for (std::int64_t i = std::max<std::int64_t>(moved, 1); i <= count; ++i) {
      if (matches(i)) return static_cast<std::int32_t>(i);
    }
  }
  return 0;
}

std::int32_t clsAAenum::FindItem(std::int32_t searchFrom, std::int16_t searchDir, bool caseMatch,
                                 const std::u16string& searchText, std::int32_t& inPos) {
  if (searchText.empty()) return 0;
  lastSearchText_ = searchText;
  lastSearchDir_ = searchDir < 0 ? -1 : 1;
  lastCaseMatch_ = caseMatch;
  const std::u16string needle = caseMatch ? searchText : text::ToUpper(searchText);
  auto textOf = [&](std::int32_t i) {
    const std::u16string t = GetItem(i);
    return caseMatch ? t : text::ToUpper(t);
  };
  const std::int32_t count = AAos.Count();
  if (searchDir >= 0) {
    for (std::int32_t i = std::max(searchFrom, 1); i <= count; ++i) {
      const std::u16string hay = textOf(i);
      const std::size_t from = i == searchFrom ? static_cast<std::size_t>(std::max(inPos, 0)) : 0;
      if (from > hay.size()) continue;
      const std::size_t at = hay.find(needle, from);
      if (at != std::u16string::npos) {
        inPos = static_cast<std::int32_t>(at + 1);
        return i;
      }
    }
    return 0;
  }
  for (std::int32_t i = std::min(searchFrom, count); i >= 1; --i) {
    const std::u16string hay = textOf(i);
    std::size_t at = std::u16string::npos;
    if (i == searchFrom && inPos >= 1) {
      // Matches starting before the given position only.
      if (inPos >= 2) at = hay.rfind(needle, static_cast<std::size_t>(inPos - 2));
    } else {
      at = hay.rfind(needle);
    }
    if (at != std::u16string::npos) {
      inPos = static_cast<std::int32_t>(at + 1);
      return i;
    }
  }
  return 0;
}

std::int32_t clsAAenum::FindAgain(std::int32_t searchFrom, std::int32_t& inPos) {
  if (lastSearchText_.empty()) return 0;
  const std::u16string text = lastSearchText_;  // FindItem stores it again
  return FindItem(searchFrom, lastSearchDir_, lastCaseMatch_, text, inPos);
}

}  // namespace quellon::access
