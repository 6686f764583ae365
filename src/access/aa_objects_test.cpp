// The accessible-object wrapper (reads that never fail, parent, children, the dump) and the
// item records with their 1-based collection.
#include <gtest/gtest.h>

#include <stdexcept>

#include "access/aa_objects.h"
#include "access/test_objects.h"
#include "access/vb_accessible.h"
#include "platform/sim/sim_accessible.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;
using testing::TestObject;

TEST(vbAccessible, ReadsObjectsAndSimpleElementsAndNeverFails) {
  auto list = SimAccessible::Make(ROLE_SYSTEM_LIST, u"Seznam", u"", STATE_SYSTEM_FOCUSABLE,
                                  {0, 0, 100, 200});
  list->props.keyboardShortcut = u"Alt+S";
  list->props.defaultAction = u"Otevřít";
  list->props.description = u"Soubory";
  for (int i = 1; i <= 4; ++i) list->AddElement({.name = u"x", .role = ROLE_SYSTEM_LISTITEM});
  const std::int32_t fifth = list->AddElement(
      {.name = u"Pátá", .value = u"5", .role = ROLE_SYSTEM_LISTITEM, .location = {1, 2, 4, 6}});
  ASSERT_EQ(fifth, 5);

  vbAccessible self(list, CHILDID_SELF);
  EXPECT_TRUE(self.isValid());
  EXPECT_EQ(self.name(), u"Seznam");
  EXPECT_EQ(self.Role(), ROLE_SYSTEM_LIST);
  EXPECT_EQ(self.State(), STATE_SYSTEM_FOCUSABLE);
  EXPECT_EQ(self.KeyboardShortcut(), u"Alt+S");
  EXPECT_EQ(self.DefaultAction(), u"Otevřít");
  EXPECT_EQ(self.Description(), u"Soubory");
  EXPECT_EQ(self.ChildCount(), 5);
  EXPECT_EQ(self.AsIAccessibile(), list);

  // A simple element: no children of its own, its container is the parent.
  vbAccessible element(list, fifth);
  EXPECT_EQ(element.name(), u"Pátá");
  EXPECT_EQ(element.value(), u"5");
  EXPECT_EQ(element.ChildCount(), 0);
  EXPECT_FALSE(element.Children().has_value());
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  element.Location(x, y, w, h);
  EXPECT_EQ((std::vector<std::int32_t>{x, y, w, h}), (std::vector<std::int32_t>{1, 2, 3, 4}));
  const std::optional<vbAccessible> container = element.Parent();
  ASSERT_TRUE(container.has_value());
  EXPECT_EQ(container->Acc, list);
  EXPECT_FALSE(container->Child.has_value());
  EXPECT_FALSE(container->isValid());  // an empty child id, though it reads as the object
  EXPECT_EQ(container->name(), u"Seznam");
  element.DoDefaultAction();
  EXPECT_EQ(list->defaultActions, 1);

  // The object goes away: empty texts and 0, nothing raised; the location stays as it was.
  list->Destroy();
  EXPECT_EQ(self.name(), u"");
  EXPECT_EQ(self.Role(), 0);
  EXPECT_EQ(self.State(), 0u);
  EXPECT_EQ(self.ChildCount(), 0);
  x = 7;
  self.Location(x, y, w, h);
  EXPECT_EQ(x, 7);
  EXPECT_FALSE(self.Parent().has_value());

  // No object at all, and after Destroy.
  vbAccessible none;
  EXPECT_FALSE(none.isValid());
  EXPECT_EQ(none.name(), u"");
  EXPECT_EQ(none.Role(), 0);
  EXPECT_FALSE(none.Parent().has_value());
  EXPECT_FALSE(none.Children().has_value());
  none.DoDefaultAction();
  self.Destroy();
  EXPECT_FALSE(self.isValid());
  EXPECT_EQ(self.Acc, nullptr);
  EXPECT_EQ(self.RoleText(), u"");
  EXPECT_EQ(self.StateText(), u"");
}

TEST(vbAccessible, ParentChildrenAndTheDump) {
  auto dialog = SimAccessible::Make(ROLE_SYSTEM_DIALOG, u"Dialog");
  auto ok = dialog->Add(SimAccessible::Make(ROLE_SYSTEM_PUSHBUTTON, u"OK", u"",
                                            STATE_SYSTEM_FOCUSABLE, {10, 20, 85, 43}));
  const std::int32_t id = dialog->AddElement({.name = u"Text", .role = ROLE_SYSTEM_STATICTEXT});

  EXPECT_EQ(vbAccessible(ok, CHILDID_SELF).DebugDump(), u"OK  (2B ) (100000 ) 0 {10,20,75,23}");
  const std::optional<vbAccessible> up = vbAccessible(ok, CHILDID_SELF).Parent();
  ASSERT_TRUE(up.has_value());
  EXPECT_EQ(up->Acc, dialog);
  EXPECT_FALSE(up->Child.has_value());
  EXPECT_FALSE(vbAccessible(dialog, CHILDID_SELF).Parent().has_value());  // the top

  const auto kids = vbAccessible(dialog, CHILDID_SELF).Children();
  ASSERT_TRUE(kids.has_value());
  ASSERT_EQ(kids->size(), 2u);
  EXPECT_EQ((*kids)[0].Acc, ok);
  EXPECT_FALSE((*kids)[0].Child.has_value());
  EXPECT_EQ((*kids)[1].Acc, dialog);
  EXPECT_EQ((*kids)[1].Child, id);
  EXPECT_EQ((*kids)[1].name(), u"Text");
  EXPECT_EQ(vbAccessible(dialog, CHILDID_SELF).DebugDump(), u"Dialog  (12 ) (0 ) 2 {0,0,0,0}");

  // An object with no children gives no array at all.
  EXPECT_FALSE(vbAccessible(ok, CHILDID_SELF).Children().has_value());

  // Children that do not come, and a count that lies: n empty wrappers, never more than the cap.
  auto liar = TestObject::Make(u"liar");
  liar->childCount = 3;
  const auto empty = vbAccessible(liar, CHILDID_SELF).Children();
  ASSERT_TRUE(empty.has_value());
  ASSERT_EQ(empty->size(), 3u);
  EXPECT_FALSE((*empty)[0].isValid());
  liar->childCount = INT32_MAX;
  liar->children = [](std::int32_t, std::int32_t n) {
    return std::vector<AccessibleChild>(static_cast<std::size_t>(n) + 5, {TestObject::Make(), 0});
  };
  const auto capped = vbAccessible(liar, CHILDID_SELF).Children();
  ASSERT_TRUE(capped.has_value());
  EXPECT_EQ(capped->size(), static_cast<std::size_t>(vbAccessible::kMaxChildren));
  EXPECT_NE(capped->back().Acc, nullptr);
  liar->childCount = -4;
  EXPECT_EQ(vbAccessible(liar, CHILDID_SELF).ChildCount(), 0);

  // Hexadecimal in upper case, whatever the bits.
  auto odd = TestObject::Make(u"n");
  odd->value = u"v";
  odd->role = 0xAB;
  odd->state = 0xFFFFFFFFu;
  odd->location = std::nullopt;
  EXPECT_EQ(vbAccessible(odd, CHILDID_SELF).DebugDump(), u"n v (AB ) (FFFFFFFF ) 0 {0,0,0,0}");
}

AaObjectPtr Record(std::u16string name) {
  auto r = std::make_shared<AaObject>();
  r->name = std::move(name);
  return r;
}

TEST(AaObjects, OneBasedItemsRemoveClearAndKeys) {
  AaObject fresh;
  EXPECT_EQ(fresh.name, u"");
  EXPECT_EQ(fresh.Role, 0);
  EXPECT_EQ(fresh.State, 0u);
  EXPECT_EQ(fresh.pAcc, nullptr);
  EXPECT_FALSE(fresh.VarT.has_value());

  AaObjects c;
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Item(1), nullptr);
  const AaObjectPtr a = c.Add(Record(u"a"));
  c.Add(Record(u"b"));
  c.Add(Record(u"c"));
  EXPECT_EQ(c.Add(nullptr), nullptr);
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(1), a);
  EXPECT_EQ(c.Item(3)->name, u"c");
  EXPECT_EQ(c.Item(0), nullptr);
  EXPECT_EQ(c.Item(c.Count() + 1), nullptr);
  EXPECT_EQ(c.Item(-1), nullptr);

  c.Remove(1);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1)->name, u"b");
  EXPECT_THROW(c.Remove(3), std::out_of_range);
  EXPECT_THROW(c.Remove(0), std::out_of_range);

  std::vector<std::u16string> order;
  for (const AaObjectPtr& r : c) order.push_back(r->name);
  EXPECT_EQ(order, (std::vector<std::u16string>{u"b", u"c"}));

  // Keys: a second address; a duplicate is refused and adds nothing.
  c.Add(Record(u"k"), u"klíč");
  EXPECT_EQ(c.Item(u"klíč")->name, u"k");
  EXPECT_EQ(c.Item(u"jiný"), nullptr);
  EXPECT_THROW(c.Add(Record(u"k2"), u"klíč"), std::invalid_argument);
  EXPECT_EQ(c.Count(), 3);
  c.Remove(u"klíč");
  EXPECT_EQ(c.Item(u"klíč"), nullptr);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_THROW(c.Remove(u"klíč"), std::out_of_range);
  c.Add(Record(u"again"), u"klíč");  // free again once removed
  EXPECT_EQ(c.Item(3)->name, u"again");

  // Records taken out stay usable after Clear.
  const AaObjectPtr kept = c.Item(1);
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Item(1), nullptr);
  EXPECT_EQ(c.Item(u"klíč"), nullptr);
  EXPECT_EQ(kept->name, u"b");
  EXPECT_EQ(a->name, u"a");
}

}  // namespace
}  // namespace quellon::access
