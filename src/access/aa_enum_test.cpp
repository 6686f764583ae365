// The item list on the simulated desktop: what a walk lists and how items read (the filter and
// the web-page rules, sentences), navigation and search, cancelling a walk, pointing at items
// and activating them.
#include "access/aa_enum.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ini_profile.h"
#include "engine/fake_engine.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_wave_mapper.h"
#include "testing/sim_program.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;

constexpr Rect kBox{20, 100, 220, 120};

// A browser window showing a page whose accessible tree the test builds, and the list made as
// window reading mode makes it (web-page rules, filter, invisible objects kept).
struct Rig : testing::SimProgram {
  Rig() {
    page->window = top;
    desk.SetClientAccessible(top, page);
    list.SetIEprofile(true);
    list.SetFilter(true);
    list.SetReadInvisible(true);
  }
  std::shared_ptr<SimAccessible> Add(std::int32_t role, std::u16string name,
                                     std::u16string value = {}, std::uint32_t bits = 0,
                                     Rect where = kBox) {
    return page->Add(SimAccessible::Make(role, std::move(name), std::move(value), bits, where));
  }
  std::vector<std::u16string> Items() {
    list.DoUpdate(top, false);
    std::vector<std::u16string> out;
    for (std::int32_t i = 1; i <= list.Count(); ++i) out.push_back(list.GetItem(i));
    return out;
  }
  std::vector<std::int32_t> Roles() {
    std::vector<std::int32_t> out;
    for (std::int32_t i = 1; i <= list.Count(); ++i) out.push_back(list.GetItemRole(i));
    return out;
  }

  Hwnd top = desk.AddTopWindow(u"IEFrame", u"Stránka", {0, 0, 800, 600});
  std::shared_ptr<SimAccessible> page =
      SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"Stránka", u"", 0, {0, 0, 800, 600});
  clsAAenum list{program};
};

TEST(ItemListWalk, FilterAndWebPageRules) {
  Rig r;
  // A link whose text carries the linked state: listed once, as a link; the address is never
  // read, and the link's own name comes first when it differs.
  auto link = r.Add(ROLE_SYSTEM_LINK, u"Zprávy", u"http://x.cz/zpravy",
                    STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE);
  link->Add(SimAccessible::Make(ROLE_SYSTEM_STATICTEXT, u"Zprávy", u"http://x.cz/zpravy",
                                STATE_SYSTEM_LINKED, kBox));
  auto other = r.Add(ROLE_SYSTEM_LINK, u"Sport", u"http://x.cz/sport", STATE_SYSTEM_LINKED);
  other->Add(SimAccessible::Make(ROLE_SYSTEM_STATICTEXT, u"dnes", u"http://x.cz/sport",
                                 STATE_SYSTEM_LINKED, kBox));
  // A linked text without a name reads as the end of its address.
  r.Add(ROLE_SYSTEM_GRAPHIC, u"", u"http://x.cz/a/domu.html", STATE_SYSTEM_LINKED);
  // Texts with nothing to say.
  r.Add(ROLE_SYSTEM_STATICTEXT, u"|");
  r.Add(ROLE_SYSTEM_STATICTEXT, u"\u00A0");
  r.Add(ROLE_SYSTEM_STATICTEXT, u"   ");
  r.Add(ROLE_SYSTEM_STATICTEXT, u"  Text  ");
  r.Add(ROLE_SYSTEM_STATICTEXT, u"|", u"hodnota");
  // Structure, and an image without a name.
  r.Add(ROLE_SYSTEM_SEPARATOR, u"čára");
  r.Add(ROLE_SYSTEM_TABLE, u"tabulka");
  r.Add(ROLE_SYSTEM_GRAPHIC, u"", u"http://x.cz/img/logo.png");
  // A check box and a radio button, checked; an unchecked one.
  r.Add(ROLE_SYSTEM_CHECKBUTTON, u"Souhlas", u"", STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE);
  r.Add(ROLE_SYSTEM_RADIOBUTTON, u"Ano", u"", STATE_SYSTEM_CHECKED);
  r.Add(ROLE_SYSTEM_CHECKBUTTON, u"Novinky", u"");
  // Editable text that cannot take the focus is plain text; a real field stays one.
  r.Add(ROLE_SYSTEM_TEXT, u"Popisek", u"");
  r.Add(ROLE_SYSTEM_TEXT, u"Hledat", u"kola", STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
  // Zero-size objects, a thin one, and an invisible one.
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Nulový", u"", 0, {50, 50, 50, 50});
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Tenký", u"", 0, {50, 50, 50, 60});
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Skrytý", u"", STATE_SYSTEM_INVISIBLE);
  // A frame.
  r.Add(ROLE_SYSTEM_PANE, u"Rám", u"http://x.cz/ram");

  EXPECT_EQ(r.Items(), (std::vector<std::u16string>{
                           u"Zprávy", u"Sport dnes", u"domu.html", u"  Text  ", u"|, hodnota",
                           u"Souhlas, zatrženo", u"Ano, zatrženo", u"Novinky", u"Popisek",
                           u"Hledat, kola", u"Tenký", u"Skrytý", u"Rám"}));
  EXPECT_EQ(r.Roles(),
            (std::vector<std::int32_t>{
                ROLE_SYSTEM_LINK, ROLE_SYSTEM_LINK, ROLE_SYSTEM_LINK, ROLE_SYSTEM_STATICTEXT,
                ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_CHECKBUTTON, ROLE_SYSTEM_RADIOBUTTON,
                ROLE_SYSTEM_CHECKBUTTON, ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_TEXT,
                ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_PANE}));
  // The linked objects listed are counted (the link containers are dropped before that); one
  // frame; the focused field.
  EXPECT_EQ(r.list.NoLinks(), 3);
  EXPECT_EQ(r.list.NoFrames(), 1);
  EXPECT_EQ(r.list.Focused(), 10);
  EXPECT_EQ(r.list.GetItemState(10), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);

  // With NoTextGraph the unnamed image is kept and named after its file.
  r.list.SetNoTextGraph(true);
  const std::vector<std::u16string> withImages = r.Items();
  ASSERT_EQ(withImages.size(), 14u);
  EXPECT_EQ(withImages[5], u"logo.png");

  // Invisible objects only when asked for; zero-size ones never, not even without the filter.
  r.list.SetReadInvisible(false);
  r.list.SetFilter(false);
  const std::vector<std::u16string> plain = r.Items();
  EXPECT_EQ(std::count(plain.begin(), plain.end(), u"Skrytý"), 0);
  EXPECT_EQ(std::count(plain.begin(), plain.end(), u"Nulový"), 0);
  EXPECT_EQ(std::count(plain.begin(), plain.end(), u"čára"), 1);
  EXPECT_EQ(plain.front(), u"Stránka");  // the client object itself

  // Without the web-page rules nothing is re-classified or counted.
  r.list.SetFilter(true);
  r.list.SetIEprofile(false);
  r.Items();
  EXPECT_EQ(r.list.GetItemRole(1), ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(r.list.GetItem(1), u"Zprávy, http://x.cz/zpravy");
  EXPECT_EQ(r.list.NoLinks(), 0);
  EXPECT_EQ(r.list.NoFrames(), 0);
}

TEST(ItemListWalk, ComboBoxContentsAreSkippedUntilTheGrip) {
  Rig r;
  auto combo = r.Add(ROLE_SYSTEM_COMBOBOX, u"Země", u"Česko", STATE_SYSTEM_FOCUSABLE);
  combo->Add(SimAccessible::Make(ROLE_SYSTEM_LISTITEM, u"Česko", u"", 0, kBox));
  combo->Add(SimAccessible::Make(ROLE_SYSTEM_LISTITEM, u"Slovensko", u"", 0, kBox));
  combo->Add(SimAccessible::Make(4, u"", u"", 0, kBox));
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Odeslat");
  EXPECT_EQ(r.Items(), (std::vector<std::u16string>{u"Země, Česko", u"Odeslat"}));

  // A combo box that is the last thing of a page does not swallow the next list.
  r.page->ClearChildren();
  r.Add(ROLE_SYSTEM_COMBOBOX, u"Město", u"Brno");
  EXPECT_EQ(r.Items(), (std::vector<std::u16string>{u"Město, Brno"}));
  r.page->ClearChildren();
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Další");
  EXPECT_EQ(r.Items(), (std::vector<std::u16string>{u"Další"}));
}

TEST(ItemListWalk, LongStaticTextsAreListedSentenceBySentence) {
  // The sentences: text up to a delimiter, then the delimiters and spaces after it.
  EXPECT_EQ(NextSentence(u"Ahoj. Jak se máš?  Dobře", 0), u"Ahoj. ");
  EXPECT_EQ(NextSentence(u"Ahoj. Jak se máš?  Dobře", 6), u"Jak se máš?  ");
  EXPECT_EQ(NextSentence(u"Ahoj. Jak se máš?  Dobře", 19), u"Dobře");
  EXPECT_EQ(NextSentence(u"Cože?!.. :\r\nNic", 0), u"Cože?!.. :\r\n");
  EXPECT_EQ(NextSentence(u"bez konce", 0), u"bez konce");
  EXPECT_EQ(NextSentence(u"abc", 3), u"");
  EXPECT_EQ(NextSentence(u"abc", 99), u"");

  Rig r;
  const std::u16string first = std::u16string(60, u'a') + u". ";
  const std::u16string second = std::u16string(70, u'b') + u"? ";
  const std::u16string third = std::u16string(200 - 62 - 72, u'c');
  ASSERT_EQ((first + second + third).size(), 200u);
  r.Add(ROLE_SYSTEM_STATICTEXT, first + second + third, u"", STATE_SYSTEM_FOCUSED);
  const std::u16string exact = std::u16string(40, u'd') + u". " + std::u16string(37, u'e');
  ASSERT_EQ(exact.size(), 79u);
  r.Add(ROLE_SYSTEM_STATICTEXT, exact);
  // The text is trimmed before it is measured: 79 characters with the spaces round it. Not
  // cut, it is read live as the object gives it.
  r.Add(ROLE_SYSTEM_STATICTEXT, u"  " + exact + u"  ");
  // Editable text that is plain text is cut as well.
  r.Add(ROLE_SYSTEM_TEXT, first + second);

  EXPECT_EQ(r.Items(),
            (std::vector<std::u16string>{
                first, second, third, exact, u"  " + exact + u"  ", first,
                u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb?"}));
  EXPECT_EQ(r.list.GetItemRole(2), ROLE_SYSTEM_STATICTEXT);
  // Each piece is its own item of the same object; Focused is the last piece.
  EXPECT_EQ(r.list.AAos.Item(1)->pAcc, r.list.AAos.Item(3)->pAcc);
  EXPECT_EQ(r.list.AAos.Item(4)->name, u"");  // a short text is read live
  EXPECT_EQ(r.list.Focused(), 3);

  // A text of endless sentences fills the list up to its limit, no further.
  r.page->ClearChildren();
  std::u16string endless;
  for (std::int32_t i = 0; i <= clsAAenum::kMaxItems; ++i) endless += u"a.";
  r.Add(ROLE_SYSTEM_STATICTEXT, endless);
  r.list.DoUpdate(r.top, false);
  EXPECT_EQ(r.list.Count(), clsAAenum::kMaxItems);
  EXPECT_EQ(r.list.AAos.Item(clsAAenum::kMaxItems)->name, u"a.");
}

TEST(ItemListWalk, AddWinExtendsAndClearEmpties) {
  Rig r;
  r.Add(ROLE_SYSTEM_PUSHBUTTON, u"První", u"", STATE_SYSTEM_FOCUSED);
  const Hwnd second = r.desk.AddTopWindow(u"IEFrame", u"Druhá", {0, 0, 800, 600});
  auto other = SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"Druhá", u"", 0, {0, 0, 800, 600});
  other->window = second;
  other->Add(SimAccessible::Make(ROLE_SYSTEM_PUSHBUTTON, u"Druhý", u"", 0, kBox));
  r.desk.SetClientAccessible(second, other);

  r.list.DoUpdate(r.top, false);
  r.list.DoUpdate(second, true);
  EXPECT_EQ(r.list.Count(), 2);
  EXPECT_EQ(r.list.GetItem(2), u"Druhý");
  EXPECT_EQ(r.list.Focused(), 1);

  // A hidden window or no window changes nothing.
  r.desk.SetVisible(second, false);
  r.list.DoUpdate(second, false);
  r.list.DoUpdate(0, false);
  EXPECT_EQ(r.list.Count(), 2);

  r.list.Clear();
  EXPECT_EQ(r.list.Count(), 0);
  EXPECT_EQ(r.list.Focused(), 1);  // Clear leaves the counters
  r.list.DoUpdate(r.top, false);
  EXPECT_EQ(r.list.Count(), 1);
  r.list.ReleaseItemList();
  EXPECT_EQ(r.list.Count(), 0);
}

TEST(ItemListReading, DetailsRangesRefreshAndVanishedObjects) {
  Rig r;
  r.desk.SetRoleText(ROLE_SYSTEM_LINK, u"odkaz");
  r.desk.SetRoleText(ROLE_SYSTEM_STATICTEXT, u"text");
  r.desk.SetRoleText(ROLE_SYSTEM_PUSHBUTTON, u"tlačítko");
  auto link = r.Add(ROLE_SYSTEM_TEXT, u"Domů", u"http://x.cz/", STATE_SYSTEM_LINKED);
  auto label = r.Add(ROLE_SYSTEM_TEXT, u"Jméno", u"Jan");
  auto button = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"OK", u"", STATE_SYSTEM_FOCUSABLE);
  r.list.DoUpdate(r.top, false);
  ASSERT_EQ(r.list.Count(), 3);
  EXPECT_EQ(r.list.GetDetails(1), u" Domů  odkaz");
  EXPECT_EQ(r.list.GetDetails(2), u" Jméno Jan text");
  EXPECT_EQ(r.list.GetDetails(3), u" OK  tlačítko");

  // Outside 1..Count: nothing.
  for (std::int32_t i : {0, -1, 4, INT32_MAX}) {
    EXPECT_EQ(r.list.GetItem(i), u"") << i;
    EXPECT_EQ(r.list.GetDetails(i), u"") << i;
    EXPECT_EQ(r.list.GetItemRole(i), 0) << i;
    EXPECT_EQ(r.list.GetItemState(i), 0u) << i;
    r.list.RefreshItem(i);
    r.list.Target(i);
    r.list.DoAction(i);
  }
  r.loop.PumpPending();
  EXPECT_TRUE(r.desk.Clicks().empty());

  // Names and values are read live; a refresh stores what the object says now.
  button->props.name = u"Zrušit";
  button->props.state = STATE_SYSTEM_LINKED;
  EXPECT_EQ(r.list.GetItem(3), u"Zrušit");
  r.list.RefreshItem(3);
  EXPECT_EQ(r.list.GetItemRole(3), ROLE_SYSTEM_LINK);
  EXPECT_EQ(r.list.GetItemState(3), STATE_SYSTEM_LINKED);
  EXPECT_EQ(r.list.AAos.Item(3)->name, u"Zrušit");
  EXPECT_EQ(r.list.AAos.Item(3)->value, u"");
  button->props.name = u"Později";
  EXPECT_EQ(r.list.GetItem(3), u"Zrušit");  // the stored name now

  // The window's objects go away: the items read empty, nothing fails.
  label->Destroy();
  link->Destroy();
  EXPECT_EQ(r.list.GetItem(2), u"");
  EXPECT_EQ(r.list.GetDetails(2), u"   " + r.desk.Access().RoleText(0));
  EXPECT_EQ(r.list.GetItem(1), u"");
  r.list.RefreshItem(2);
  EXPECT_EQ(r.list.GetItemRole(2), 0);
}

TEST(ItemListNavigation, NextFocusNextFrameFocusedAndFirstVisible) {
  Rig r;
  EXPECT_EQ(r.list.FindFocused(), 0);
  EXPECT_EQ(r.list.FindFirstVisible(), 0);
  std::int32_t start = 0;
  EXPECT_EQ(r.list.FindNextFocus(start, 1), 0);
  EXPECT_EQ(start, 0);  // an empty list: nothing moves

  auto frame = r.Add(ROLE_SYSTEM_PANE, u"Rám");                                         // 1
  auto hidden = r.Add(ROLE_SYSTEM_STATICTEXT, u"Skrytý", u"", STATE_SYSTEM_INVISIBLE);  // 2
  auto a = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"A", u"", STATE_SYSTEM_FOCUSABLE);            // 3
  r.Add(ROLE_SYSTEM_STATICTEXT, u"Text");                                               // 4
  r.Add(ROLE_SYSTEM_PANE, u"Rám 2");                                                    // 5
  auto b = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"B", u"", STATE_SYSTEM_FOCUSABLE);            // 6
  r.list.DoUpdate(r.top, false);
  ASSERT_EQ(r.list.Count(), 6);

  start = 0;
  EXPECT_EQ(r.list.FindNextFocus(start, 1), 3);
  EXPECT_EQ(start, 1);
  start = 3;
  EXPECT_EQ(r.list.FindNextFocus(start, 1), 6);
  start = r.list.Count();
  EXPECT_EQ(r.list.FindNextFocus(start, 1), 0);  // no wrap-around
  EXPECT_EQ(start, r.list.Count() + 1);
  start = 6;
  EXPECT_EQ(r.list.FindNextFocus(start, -1), 3);
  EXPECT_EQ(start, 5);
  start = 3;
  EXPECT_EQ(r.list.FindNextFocus(start, -1), 0);
  start = 100;  // beyond the end: the walk starts at the last item
  EXPECT_EQ(r.list.FindNextFocus(start, -1), 6);
  start = INT32_MAX;  // the step would overflow: nothing, and the start stays
  EXPECT_EQ(r.list.FindNextFocus(start, 1), 0);
  EXPECT_EQ(start, INT32_MAX);

  start = 0;
  EXPECT_EQ(r.list.FindNextFrame(start, 1), 1);
  start = 1;
  EXPECT_EQ(r.list.FindNextFrame(start, 1), 5);
  start = 5;
  EXPECT_EQ(r.list.FindNextFrame(start, -1), 1);
  start = 5;
  EXPECT_EQ(r.list.FindNextFrame(start, 1), 0);

  // Live state: the focus, the first visible non-frame item.
  EXPECT_EQ(r.list.FindFocused(), 0);
  b->props.state |= STATE_SYSTEM_FOCUSED;
  EXPECT_EQ(r.list.FindFocused(), 6);
  a->props.state |= STATE_SYSTEM_FOCUSED;
  EXPECT_EQ(r.list.FindFocused(), 3);
  EXPECT_EQ(r.list.FindFirstVisible(), 3);
  hidden->props.state = 0;
  EXPECT_EQ(r.list.FindFirstVisible(), 2);
  frame->props.role = ROLE_SYSTEM_STATICTEXT;
  EXPECT_EQ(r.list.FindFirstVisible(), 1);
  for (auto* o : {frame.get(), hidden.get(), a.get(), b.get()})
    o->props.state = STATE_SYSTEM_INVISIBLE;
  frame->props.role = ROLE_SYSTEM_PANE;
  r.page->ClearChildren();
  r.Add(ROLE_SYSTEM_PANE, u"Jen rám");
  r.list.DoUpdate(r.top, false);
  EXPECT_EQ(r.list.FindFirstVisible(), 1);  // none qualifies: Count
}

TEST(ItemListNavigation, FindItemForwardBackwardAndAgain) {
  Rig r;
  r.Add(ROLE_SYSTEM_STATICTEXT, u"Kolo a kolo");  // 1
  r.Add(ROLE_SYSTEM_STATICTEXT, u"Nic");          // 2
  r.Add(ROLE_SYSTEM_STATICTEXT, u"KOLOBĚŽKA");    // 3
  r.list.DoUpdate(r.top, false);

  std::int32_t pos = 0;
  EXPECT_EQ(r.list.FindItem(1, 1, false, u"kolo", pos), 1);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(r.list.FindItem(1, 1, false, u"kolo", pos), 1);
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(r.list.FindAgain(1, pos), 3);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(r.list.FindAgain(3, pos), 0);
  EXPECT_EQ(r.list.LastSearchText(), u"kolo");
  EXPECT_EQ(r.list.LastSearchDir(), 1);
  EXPECT_FALSE(r.list.LastCaseMatch());

  // Case matters when asked; upper case covers Czech letters.
  pos = 0;
  EXPECT_EQ(r.list.FindItem(1, 1, true, u"kolo", pos), 1);
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(r.list.FindAgain(2, pos), 0);
  pos = 0;
  EXPECT_EQ(r.list.FindItem(1, 1, false, u"koloběž", pos), 3);

  // Backward: from the end of an item, the last match first, then the ones before it.
  pos = 0;
  EXPECT_EQ(r.list.FindItem(3, -1, false, u"kolo", pos), 3);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(r.list.FindAgain(3, pos), 1);
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(r.list.FindAgain(1, pos), 1);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(r.list.FindAgain(1, pos), 0);
  EXPECT_EQ(r.list.LastSearchDir(), -1);
  pos = 0;
  EXPECT_EQ(r.list.FindItem(99, -1, false, u"nic", pos), 2);

  // Nothing to find, and an empty text that is not remembered.
  pos = 5;
  EXPECT_EQ(r.list.FindItem(1, 1, false, u"auto", pos), 0);
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(r.list.FindItem(1, 1, false, u"", pos), 0);
  EXPECT_EQ(r.list.LastSearchText(), u"auto");
}

TEST(ItemListWalk, CancelMessageEndsTheWalkAndTheNextWalkListsAgain) {
  Rig r;
  std::vector<bool> runningSeen;
  for (int i = 0; i < 5; ++i) {
    auto o = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"B" + std::u16string(1, char16_t(u'0' + i)));
    if (i == 1) {
      // The user presses Escape while the second button is being listed.
      o->refresh = [&](SimAccessible&) {
        runningSeen.push_back(r.list.WalkRunning().load());
        if (runningSeen.size() == 1) r.loop.PostMessage(r.mainWindow, MSG_CANCEL_WALK, 2, 27);
      };
    }
  }
  // A cancel message for another window, and another message, are not looked at.
  const Hwnd elsewhere = r.loop.CreateHiddenWindow();
  r.loop.PostMessage(elsewhere, MSG_CANCEL_WALK, 2, 27);
  r.loop.PostMessage(r.mainWindow, MSG_CANCEL_WALK + 1, 2, 27);

  EXPECT_FALSE(r.list.WalkRunning().load());
  r.list.DoUpdate(r.top, false);
  EXPECT_TRUE(r.list.Cancelled());
  EXPECT_FALSE(r.list.WalkRunning().load());
  ASSERT_FALSE(runningSeen.empty());
  EXPECT_TRUE(runningSeen.front());
  EXPECT_EQ(r.Roles().size(), 2u);  // B0 and B1; the walk stopped after B1
  EXPECT_EQ(r.list.GetItem(2), u"B1");
  EXPECT_EQ(r.loop.MessagesDispatched(), 0u);

  // The next walk lists everything again, even with a cancel message left over from before it.
  r.loop.PostMessage(r.mainWindow, MSG_CANCEL_WALK, 2, 27);
  r.list.DoUpdate(r.top, false);
  EXPECT_FALSE(r.list.Cancelled());
  EXPECT_EQ(r.list.Count(), 5);

  // A cancel message with other parameters is taken off the queue but cancels nothing.
  r.loop.PostMessage(r.mainWindow, MSG_CANCEL_WALK, 2, 13);
  r.list.DoUpdate(r.top, false);
  EXPECT_FALSE(r.list.Cancelled());
  EXPECT_EQ(r.list.Count(), 5);
  WParam w = 0;
  LParam l = 0;
  EXPECT_FALSE(r.loop.RemovePostedMessage(r.mainWindow, MSG_CANCEL_WALK, w, l));
  // The other two are still waiting, untouched.
  EXPECT_TRUE(r.loop.RemovePostedMessage(elsewhere, MSG_CANCEL_WALK, w, l));
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(l, 27);
  EXPECT_TRUE(r.loop.RemovePostedMessage(r.mainWindow, MSG_CANCEL_WALK + 1, w, l));
}

TEST(ItemListActions, TargetScrollsAPageAndPointsDoActionSelectsLinksOrClicks) {
  Rig r;
  std::vector<WParam> scrolls;
  r.desk.SetMessageHandler(r.top, [&](std::uint32_t m, WParam w, LParam) -> std::optional<LResult> {
    if (m == WM_VSCROLL) scrolls.push_back(w);
    return std::nullopt;
  });
  auto inside = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Tady", u"", 0, {40, 300, 140, 320});
  auto below = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Dole", u"", 0, {40, 900, 140, 920});
  auto above = r.Add(ROLE_SYSTEM_PUSHBUTTON, u"Nahoře", u"", 0, {40, -200, 140, -180});
  auto link = r.Add(ROLE_SYSTEM_STATICTEXT, u"Odkaz", u"http://x.cz/", STATE_SYSTEM_LINKED,
                    {300, 50, 380, 70});
  const std::int32_t cell = link->AddElement({.name = u"Prvek",
                                              .role = ROLE_SYSTEM_LINK,
                                              .state = STATE_SYSTEM_LINKED,
                                              .location = {300, 80, 380, 100}});
  r.list.SetFilter(false);
  r.list.DoUpdate(r.top, false);
  ASSERT_EQ(r.list.Count(), 6);  // the page itself first

  r.list.Target(2);
  EXPECT_TRUE(scrolls.empty());
  EXPECT_EQ(r.desk.Cursor(), (Point{42, 302}));
  EXPECT_EQ(r.list.WindowRect(), (Rect{0, 0, 800, 600}));

  // One page toward an item outside the window per call; the pointer goes to where it is now.
  below->refresh = [&](SimAccessible& o) {
    if (!scrolls.empty()) o.props.location = {40, 500, 140, 520};
  };
  r.list.Target(3);
  EXPECT_EQ(scrolls, (std::vector<WParam>{SB_PAGEDOWN}));
  EXPECT_EQ(r.desk.Cursor(), (Point{42, 502}));
  scrolls.clear();
  r.list.Target(4);
  EXPECT_EQ(scrolls, (std::vector<WParam>{SB_PAGEUP}));

  // An invisible item is scrolled toward but not pointed at; a vanished one is left alone.
  above->props.state = STATE_SYSTEM_INVISIBLE;
  r.desk.MoveMouse(5, 5);
  r.list.Target(4);
  EXPECT_EQ(r.desk.Cursor(), (Point{5, 5}));
  scrolls.clear();
  below->Destroy();
  r.list.Target(3);
  EXPECT_TRUE(scrolls.empty());
  EXPECT_EQ(r.desk.Cursor(), (Point{5, 5}));

  // A link: selected with the focus, then its default action; no click.
  r.list.DoAction(5);
  EXPECT_EQ(
      link->selections,
      (std::vector<std::pair<std::int32_t, std::int32_t>>{{SELFLAG_TAKEFOCUS, CHILDID_SELF}}));
  EXPECT_EQ(link->defaultActions, 1);
  r.list.DoAction(6);  // a linked simple element, by its child id
  EXPECT_EQ(link->selections.back(),
            (std::pair<std::int32_t, std::int32_t>{SELFLAG_TAKEFOCUS, cell}));
  EXPECT_EQ(link->defaultActions, 2);
  r.loop.PumpPending();
  EXPECT_TRUE(r.desk.Clicks().empty());

  // A button: a left click where Target put the pointer; its own action is not used.
  r.list.Target(2);
  r.list.DoAction(2);
  r.loop.PumpPending();
  ASSERT_EQ(r.desk.Clicks().size(), 1u);
  EXPECT_EQ(r.desk.Clicks()[0].at, (Point{42, 302}));
  EXPECT_FALSE(r.desk.Clicks()[0].right);
  EXPECT_EQ(inside->defaultActions, 0);
}

}  // namespace
}  // namespace quellon::access
