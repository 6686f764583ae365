// One element of the accessibility tree as the item list looks at it: an accessible object and
// a child id, with reads that never fail (a failed read gives "" or 0), the way up to the
// parent, the children, and a one-line dump for diagnosis.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/accessibility.h"

namespace quellon::access {

class vbAccessible {
 public:
  // Most children Children() gives for one object, whatever it claims to have: an object that
  // says it has two billion children costs no more than this.
  static constexpr std::int32_t kMaxChildren = 50000;

  vbAccessible() = default;
  vbAccessible(platform::AccessiblePtr o, std::optional<std::int32_t> v) {
    Intialize(std::move(o), v);
  }

  // The object and the child id (CHILDID_SELF for the object itself, a positive id for a simple
  // element of `o`, nullopt for none). The name keeps the spelling the rest of the program uses.
  void Intialize(platform::AccessiblePtr o, std::optional<std::int32_t> v);
  // Lets go of the object and empties the child id.
  void Destroy();

  std::u16string name() const;
  std::u16string value() const;
  std::int32_t Role() const;
  std::uint32_t State() const;
  std::u16string KeyboardShortcut() const;
  std::u16string DefaultAction() const;
  std::u16string Description() const;
  // 0 for a simple element (it has no children); otherwise the object's count (0 when it cannot
  // be read or is negative).
  std::int32_t ChildCount() const;
  void DoDefaultAction() const;
  // Always empty; a dump's bracket groups keep their space before the closing bracket.
  std::u16string RoleText() const { return {}; }
  std::u16string StateText() const { return {}; }
  // Screen left, top, width and height; the arguments stay as they were when the read fails.
  void Location(std::int32_t& x, std::int32_t& y, std::int32_t& w, std::int32_t& h) const;
  // A simple element's parent is its container object; an object's is accParent. The parent
  // comes with an empty child id (it reads as the object itself but is not isValid). nullopt
  // when there is none.
  std::optional<vbAccessible> Parent() const;
  // "name value (ROLE ) (STATE ) count {x,y,w,h}", role and state in upper-case hexadecimal.
  std::u16string DebugDump() const;
  // The object is set and the child id is not empty.
  bool isValid() const { return Acc != nullptr && Child.has_value(); }
  // nullopt when ChildCount is 0. Otherwise ChildCount entries (at most kMaxChildren): the
  // children the object gave, a full object as (object, empty child id), a simple element as
  // (this object, its id); entries the object did not give stay empty wrappers.
  std::optional<std::vector<vbAccessible>> Children() const;
  // The object itself (the name keeps the spelling the rest of the program uses).
  const platform::AccessiblePtr& AsIAccessibile() const { return Acc; }

  platform::AccessiblePtr Acc;
  std::optional<std::int32_t> Child;

 private:
  // The child argument of every read: an empty child id reads the object itself.
  std::int32_t Arg() const { return Child.value_or(platform::CHILDID_SELF); }
};

}  // namespace quellon::access
