#include "access/vb_accessible.h"

#include <algorithm>

#include "access/object_walker.h"

namespace quellon::access {

namespace {

std::u16string Hex(std::uint32_t v) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  do {
    out.insert(out.begin(), kDigits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  return out;
}

std::u16string Decimal(std::int64_t v) {
  const std::string s = std::to_string(v);
  return std::u16string(s.begin(), s.end());
}

}  // namespace

void vbAccessible::Intialize(platform::AccessiblePtr o, std::optional<std::int32_t> v) {
  Acc = std::move(o);
  Child = v;
}

void vbAccessible::Destroy() {
  Acc.reset();
  Child.reset();
}

std::u16string vbAccessible::name() const {
  return Acc ? Acc->Name(Arg()).value_or(std::u16string{}) : std::u16string{};
}

std::u16string vbAccessible::value() const {
  return Acc ? Acc->Value(Arg()).value_or(std::u16string{}) : std::u16string{};
}

std::int32_t vbAccessible::Role() const {
  return Acc ? Acc->Role(Arg()).value_or(0) : 0;
}

std::uint32_t vbAccessible::State() const {
  return Acc ? Acc->State(Arg()).value_or(0u) : 0u;
}

std::u16string vbAccessible::KeyboardShortcut() const {
  return Acc ? Acc->KeyboardShortcut(Arg()).value_or(std::u16string{}) : std::u16string{};
}

std::u16string vbAccessible::DefaultAction() const {
  return Acc ? Acc->DefaultAction(Arg()).value_or(std::u16string{}) : std::u16string{};
}

std::u16string vbAccessible::Description() const {
  return Acc ? Acc->Description(Arg()).value_or(std::u16string{}) : std::u16string{};
}

std::int32_t vbAccessible::ChildCount() const {
  if (!Acc) return 0;
  if (Child.has_value() && *Child != platform::CHILDID_SELF) return 0;
  return std::max(Acc->ChildCount().value_or(0), 0);
}

void vbAccessible::DoDefaultAction() const {
  if (Acc) Acc->DoDefaultAction(Arg());
}

void vbAccessible::Location(std::int32_t& x, std::int32_t& y, std::int32_t& w,
                            std::int32_t& h) const {
  if (!Acc) return;
  const std::optional<platform::Rect> r = Acc->Location(Arg());
  if (!r) return;
  const ObjectLocation loc = LocationRecord(*r);
  x = loc.left;
  y = loc.top;
  w = loc.width;
  h = loc.height;
}

std::optional<vbAccessible> vbAccessible::Parent() const {
  if (!Acc) return std::nullopt;
  if (Child.has_value() && *Child != platform::CHILDID_SELF) {
    return vbAccessible(Acc, std::nullopt);
  }
  platform::AccessiblePtr parent = Acc->Parent();
  if (!parent) return std::nullopt;
  return vbAccessible(std::move(parent), std::nullopt);
}

std::u16string vbAccessible::DebugDump() const {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  Location(x, y, w, h);
  return name() + u" " + value() + u" (" + Hex(static_cast<std::uint32_t>(Role())) + u" " +
         RoleText() + u") (" + Hex(State()) + u" " + StateText() + u") " + Decimal(ChildCount()) +
         u" {" + Decimal(x) + u"," + Decimal(y) + u"," + Decimal(w) + u"," + Decimal(h) + u"}";
}

std::optional<std::vector<vbAccessible>> vbAccessible::Children() const {
  const std::int32_t n = std::min(ChildCount(), kMaxChildren);
  if (n == 0) return std::nullopt;
  std::vector<vbAccessible> out(static_cast<std::size_t>(n));
  // Fetched in batches, and never more than asked for, so neither a lying count nor an object
  // that answers with more than it was asked costs more than the array.
  std::int32_t obtained = 0;
  while (obtained < n) {
    const std::int32_t want = std::min(ObjectWalker::kChildBatch, n - obtained);
    std::vector<platform::AccessibleChild> batch = Acc->Children(obtained, want);
    if (batch.empty()) break;
    if (batch.size() > static_cast<std::size_t>(want)) batch.resize(static_cast<std::size_t>(want));
    for (const platform::AccessibleChild& c : batch) {
      vbAccessible& slot = out[static_cast<std::size_t>(obtained++)];
      if (c.object && c.childId == platform::CHILDID_SELF) {
        slot.Intialize(c.object, std::nullopt);
      } else if (c.childId != platform::CHILDID_SELF) {
        slot.Intialize(Acc, c.childId);
      }
      // A null entry stays an empty wrapper.
    }
  }
  return out;
}

}  // namespace quellon::access
