#include "access/object_walker.h"

#include <gtest/gtest.h>

#include "access/test_objects.h"
#include "platform/sim/sim_desktop.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;
using testing::OverrideAccess;
using testing::TestObject;

struct Props {
  std::int32_t ok = 0;
  std::int32_t role = -1;
  std::uint32_t state = 1;
  std::u16string name = u"?";
  std::u16string value = u"?";
};

Props Read(ObjectWalker& w, std::size_t capacity = 1024) {
  Props p;
  p.ok = w.GetObjectProp(p.role, p.state, p.name, capacity, p.value, capacity);
  return p;
}

// A dialog's own accessible tree:
//   client "Dialog"
//     static "Jméno", pane "Skupina" { check "A", element "B" },
//     invisible pane "Skryto" { button "Skrytý" }, button "OK"
struct DialogTree {
  SimEventLoop loop;
  SimDesktop desk{loop};
  Hwnd other = desk.AddTopWindow(u"Other", u"Jiné okno");
  Hwnd top = desk.AddTopWindow(u"Dlg", u"Dialog");
  std::shared_ptr<SimAccessible> client = SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"Dialog");
  std::shared_ptr<SimAccessible> check;
  std::shared_ptr<SimAccessible> ok;
  std::int32_t elementB = 0;

  DialogTree() {
    const Rect r{100, 100, 200, 120};
    client->props.location = {100, 100, 740, 580};
    client->Add(SimAccessible::Make(ROLE_SYSTEM_STATICTEXT, u"Jméno", u"", 0, r));
    auto group = client->Add(SimAccessible::Make(ROLE_SYSTEM_PANE, u"Skupina", u"", 0, r));
    check = group->Add(SimAccessible::Make(ROLE_SYSTEM_CHECKBUTTON, u"A", u"", 0, r));
    elementB = group->AddElement({.name = u"B", .role = ROLE_SYSTEM_LISTITEM, .location = r});
    auto hidden = client->Add(
        SimAccessible::Make(ROLE_SYSTEM_PANE, u"Skryto", u"", STATE_SYSTEM_INVISIBLE, r));
    hidden->Add(SimAccessible::Make(ROLE_SYSTEM_PUSHBUTTON, u"Skrytý", u"", 0, r));
    ok = client->Add(SimAccessible::Make(ROLE_SYSTEM_PUSHBUTTON, u"OK", u"", 0, r));
    desk.SetClientAccessible(top, client);
  }
};

TEST(ObjectWalker, CurrentObjectPropertiesBuffersAndVanishedObjects) {
  SimEventLoop loop;
  SimDesktop desk(loop);
  ObjectWalker w(desk.Access(), desk.Windows());

  // No current object yet: 0, and the outputs are reset.
  Props none = Read(w);
  EXPECT_EQ(none.ok, 0);
  EXPECT_EQ(none.role, 0);
  EXPECT_EQ(none.state, 0u);
  EXPECT_EQ(none.name, u"");
  EXPECT_EQ(none.value, u"");
  EXPECT_EQ(w.SaveObject(nullptr, 0), 0);
  ObjectLocation loc{1, 2, 3, 4};
  EXPECT_EQ(w.GetObjectLoc(loc), 0);
  EXPECT_EQ(loc, ObjectLocation{});

  auto box = SimAccessible::Make(ROLE_SYSTEM_CHECKBUTTON, u"Souhlas", u"ano", STATE_SYSTEM_CHECKED,
                                 {10, 20, 110, 45});
  const std::int32_t item = box->AddElement({.name = u"Položka", .role = ROLE_SYSTEM_LISTITEM});
  EXPECT_EQ(w.SaveObject(box, CHILDID_SELF), 1);
  Props p = Read(w);
  EXPECT_EQ(p.ok, 1);
  EXPECT_EQ(p.role, ROLE_SYSTEM_CHECKBUTTON);
  EXPECT_EQ(p.state, STATE_SYSTEM_CHECKED);
  EXPECT_EQ(p.name, u"Souhlas");
  EXPECT_EQ(p.value, u"ano");
  EXPECT_EQ(w.GetObjectLoc(loc), 1);
  EXPECT_EQ(loc, (ObjectLocation{10, 20, 100, 25}));

  // The buffers: capacity - 1 characters, cut at a NUL, ANSI characters only.
  box->props.name = std::u16string(300, u'a') + u'\0' + u"tail";
  box->props.value = u"€ž中";
  p = Read(w, 255);
  EXPECT_EQ(p.name, std::u16string(254, u'a'));
  EXPECT_EQ(p.value, u"€ž?");
  EXPECT_EQ(Read(w, 1024).name, std::u16string(300, u'a'));
  EXPECT_EQ(Read(w, 0).name, u"");

  EXPECT_EQ(w.SaveObject(box, item), 1);
  EXPECT_EQ(Read(w).role, ROLE_SYSTEM_LISTITEM);
  EXPECT_EQ(Read(w).name, u"Položka");

  // The object goes away: reads give 0 and empty texts, the location fails.
  box->Destroy();
  p = Read(w);
  EXPECT_EQ(p.ok, 1);
  EXPECT_EQ(p.role, 0);
  EXPECT_EQ(p.state, 0u);
  EXPECT_EQ(p.name, u"");
  EXPECT_EQ(w.GetObjectLoc(loc), 0);
  EXPECT_EQ(loc, ObjectLocation{});

  // A child id the container does not answer for is read through the child's own object.
  auto container = TestObject::Make(u"Seznam");
  auto button = TestObject::Make(u"OK");
  button->role = ROLE_SYSTEM_PUSHBUTTON;
  container->childCount = 1;
  container->children = [button](std::int32_t start, std::int32_t) {
    return start == 0 ? std::vector<AccessibleChild>{{button, CHILDID_SELF}}
                      : std::vector<AccessibleChild>{};
  };
  EXPECT_EQ(w.SaveObject(container, 1), 1);
  p = Read(w);
  EXPECT_EQ(p.role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(p.name, u"OK");
  EXPECT_EQ(w.SaveObject(container, 2), 1);  // no such child: nothing to read
  EXPECT_EQ(Read(w).role, 0);

  // A hostile location does not overflow.
  auto far = TestObject::Make();
  far->location = Rect{INT32_MIN, 0, INT32_MAX, 10};
  w.SaveObject(far, CHILDID_SELF);
  EXPECT_EQ(w.GetObjectLoc(loc), 1);
  EXPECT_EQ(loc, (ObjectLocation{INT32_MIN, 0, INT32_MAX, 10}));
}

TEST(ObjectWalker, NavigationGoesThroughTheTreeInDocumentOrder) {
  DialogTree t;
  ObjectWalker w(t.desk.Access(), t.desk.Windows());
  ASSERT_EQ(w.SaveObject(t.client, CHILDID_SELF), 1);

  std::vector<std::u16string> forward;
  while (w.CurrentObjectNavigateTo(NAVDIR_NEXT) == 1) forward.push_back(Read(w).name);
  // The invisible pane is skipped with its contents.
  EXPECT_EQ(forward, (std::vector<std::u16string>{u"Jméno", u"Skupina", u"A", u"B", u"OK"}));
  EXPECT_EQ(Read(w).name, u"OK");  // at the end the current object stays

  std::vector<std::u16string> back;
  while (w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS) == 1) back.push_back(Read(w).name);
  EXPECT_EQ(back, (std::vector<std::u16string>{u"B", u"A", u"Skupina", u"Jméno", u"Dialog"}));

  // Other directions are plain accNavigate.
  w.SaveObject(t.check, CHILDID_SELF);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 1);
  EXPECT_EQ(w.CurrentObject().childId, t.elementB);
  w.SaveObject(t.ok, CHILDID_SELF);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_FIRSTCHILD), 0);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS), 1);
  EXPECT_EQ(Read(w).name, u"B");

  // The standard objects of a top-level window: navigation never leaves the window's own object
  // for another top-level window.
  AccessiblePtr frame = t.desk.Access().ObjectFromWindow(t.other, OBJID_WINDOW);
  w.SaveObject(frame, CHILDID_SELF);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS), 0);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 1);
  EXPECT_EQ(Read(w).role, ROLE_SYSTEM_CLIENT);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 0);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS), 1);
  EXPECT_EQ(Read(w).role, ROLE_SYSTEM_WINDOW);

  // A current object that has gone cannot move.
  w.SaveObject(t.ok, CHILDID_SELF);
  t.ok->Destroy();
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 0);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS), 0);
}

TEST(ObjectWalker, NavigationEndsOnCyclicTrees) {
  SimEventLoop loop;
  SimDesktop desk(loop);
  ObjectWalker w(desk.Access(), desk.Windows());

  // Two invisible siblings that name each other as "next", and a parent cycle above them.
  auto start = TestObject::Make(u"start");
  auto a = TestObject::Make(u"a");
  auto b = TestObject::Make(u"b");
  a->state = b->state = STATE_SYSTEM_INVISIBLE;
  std::weak_ptr<TestObject> wa = a, wb = b;
  start->navigate = [wa](std::int32_t dir, std::int32_t) {
    return dir == NAVDIR_NEXT ? AccessibleChild{wa.lock(), 0} : AccessibleChild{};
  };
  a->navigate = [wb](std::int32_t, std::int32_t) { return AccessibleChild{wb.lock(), 0}; };
  b->navigate = [wa](std::int32_t, std::int32_t) { return AccessibleChild{wa.lock(), 0}; };
  w.SaveObject(start, CHILDID_SELF);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 0);
  EXPECT_EQ(w.CurrentObject().object, start);
  EXPECT_LE(a->calls + b->calls, 4 * static_cast<std::int64_t>(ObjectWalker::kMaxNavigationSteps));

  // An object that is its own next sibling and its own first child; parents that are each
  // other's parent.
  auto self = TestObject::Make(u"self");
  std::weak_ptr<TestObject> ws = self;
  self->childCount = 1;
  self->children = [ws](std::int32_t, std::int32_t) {
    return std::vector<AccessibleChild>{{ws.lock(), 0}};
  };
  self->navigate = [ws](std::int32_t, std::int32_t) { return AccessibleChild{ws.lock(), 0}; };
  auto p1 = TestObject::Make(u"p1");
  auto p2 = TestObject::Make(u"p2");
  p1->state = p2->state = STATE_SYSTEM_INVISIBLE;
  std::weak_ptr<TestObject> w1 = p1, w2 = p2;
  self->parent = [w1] { return w1.lock(); };
  p1->parent = [w2] { return w2.lock(); };
  p2->parent = [w1] { return w1.lock(); };
  w.SaveObject(self, CHILDID_SELF);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_NEXT), 0);
  EXPECT_EQ(w.CurrentObjectNavigateTo(NAVDIR_PREVIOUS), 0);
  EXPECT_EQ(w.CurrentObject().object, self);
}

TEST(ObjectWalker, WalkReportsEveryObjectOnceInTreeOrder) {
  DialogTree t;
  ObjectWalker w(t.desk.Access(), t.desk.Windows());
  std::vector<std::u16string> names;
  std::vector<std::int32_t> ids;
  auto collect = [&](const AccessiblePtr& o, std::int32_t id) {
    names.push_back(o->Name(id).value_or(u"<gone>"));
    ids.push_back(id);
    return 1;
  };
  EXPECT_EQ(w.FillInList(t.top, 0, collect), 8);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Dialog", u"Jméno", u"Skupina", u"A", u"B",
                                                u"Skryto", u"Skrytý", u"OK"}));
  EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 0, 0, 0, t.elementB, 0, 0, 0}));

  // The callback's 0 ends the walk at once.
  names.clear();
  EXPECT_EQ(w.FillInList(t.top, 0,
                         [&](const AccessiblePtr& o, std::int32_t id) {
                           names.push_back(o->Name(id).value_or(u""));
                           return names.back() == u"A" ? 0 : 1;
                         }),
            4);
  EXPECT_EQ(names.back(), u"A");

  // No window, no callback, a window that has gone: nothing is reported.
  names.clear();
  EXPECT_EQ(w.FillInList(0, 0, collect), 0);
  EXPECT_EQ(w.FillInList(t.top, 0, nullptr), 0);
  t.desk.DestroyWindow(t.other);
  EXPECT_EQ(w.FillInList(t.other, 0, collect), 0);
  EXPECT_TRUE(names.empty());

  // A standard window without its own tree: its client object alone.
  const Hwnd plain = t.desk.AddTopWindow(u"Plain", u"Prosté");
  EXPECT_EQ(w.FillInList(plain, 0, collect), 1);
}

TEST(ObjectWalker, WalkIsBoundedOnHostileTrees) {
  SimEventLoop loop;
  SimDesktop desk(loop);
  OverrideAccess access(desk.Access());
  ObjectWalker w(access, desk.Windows());
  std::int64_t reported = 0;
  auto count = [&](const AccessiblePtr&, std::int32_t) {
    ++reported;
    return 1;
  };

  // Cycles: the root lists itself; its child lists the root again. Each is reported once.
  auto root = TestObject::Make(u"root");
  auto child = TestObject::Make(u"child");
  std::weak_ptr<TestObject> wr = root, wc = child;
  root->childCount = 3;
  root->children = [wr, wc](std::int32_t, std::int32_t) {
    return std::vector<AccessibleChild>{{wr.lock(), 0}, {nullptr, 0}, {wc.lock(), 0}};
  };
  child->childCount = 1;
  child->children = [wr](std::int32_t, std::int32_t) {
    return std::vector<AccessibleChild>{{wr.lock(), 0}};
  };
  access.clients[0x1234] = root;
  EXPECT_EQ(w.FillInList(0x1234, 0, count), 2);

  // A million children, made on demand: the walk stops at its limit, fetching in small batches.
  auto huge = TestObject::Make(u"huge");
  huge->childCount = 1'000'000;
  huge->children = [](std::int32_t, std::int32_t n) {
    std::vector<AccessibleChild> out;
    for (std::int32_t i = 0; i < n; ++i) out.push_back({TestObject::Make(), 0});
    return out;
  };
  access.clients[0x1238] = huge;
  reported = 0;
  EXPECT_EQ(w.FillInList(0x1238, 0, count),
            static_cast<std::int32_t>(ObjectWalker::kMaxWalkEntries) + 1);
  EXPECT_EQ(huge->largestChildRequest, ObjectWalker::kChildBatch);

  // A count that lies (children never come) and a count that cannot be read.
  auto liar = TestObject::Make(u"liar");
  liar->childCount = INT32_MAX;
  access.clients[0x123C] = liar;
  EXPECT_EQ(w.FillInList(0x123C, 0, count), 1);
  liar->childCount = std::nullopt;
  EXPECT_EQ(w.FillInList(0x123C, 0, count), 1);

  // An endless chain, each object with one new child: opened down to the depth limit only.
  std::function<std::shared_ptr<TestObject>()> link = [&link] {
    auto o = TestObject::Make();
    o->childCount = 1;
    o->children = [&link](std::int32_t, std::int32_t) {
      return std::vector<AccessibleChild>{{link(), 0}};
    };
    return o;
  };
  access.clients[0x1240] = link();
  EXPECT_EQ(w.FillInList(0x1240, 0, count), static_cast<std::int32_t>(ObjectWalker::kMaxDepth) + 1);
}

}  // namespace
}  // namespace quellon::access
