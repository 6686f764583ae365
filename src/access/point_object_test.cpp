#include "access/point_object.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace quellon::access {
namespace {

using namespace quellon::platform;

TEST(AnsiStringStore, AddressesCopiesAndLimits) {
  EXPECT_EQ(AnsiBufferText(u"abc", 0), u"");
  EXPECT_EQ(AnsiBufferText(u"abc", 1), u"");
  EXPECT_EQ(AnsiBufferText(u"abc", 3), u"ab");
  EXPECT_EQ(AnsiBufferText(std::u16string(u"ab\0cd", 5), 10), u"ab");
  EXPECT_EQ(AnsiBufferText(u"žluťoučký kůň", 100), u"žluťoučký kůň");
  // A character outside the code page is one '?', even when it takes two UTF-16 units.
  EXPECT_EQ(AnsiBufferText(u"a\U0001F600b中", 100), u"a?b?");

  AnsiStringStore store;
  EXPECT_EQ(store.dwGetStringFromLPSTR(0), u"");
  EXPECT_EQ(store.dwGetStringFromLPSTR(12345), u"");  // never handed out: no read of memory
  EXPECT_FALSE(store.Write(12345, u"x"));
  EXPECT_FALSE(store.Write(0, u"x"));
  const AnsiStringStore::Address first = store.dwGetAddressForObject(u"první");
  EXPECT_NE(first, 0u);
  EXPECT_EQ(store.dwGetStringFromLPSTR(first), u"první");
  EXPECT_TRUE(store.Write(first, u"jiný"));
  EXPECT_EQ(store.dwGetStringFromLPSTR(first), u"jiný");

  // A long string is cut; many strings do not pile up: the oldest is forgotten.
  const AnsiStringStore::Address big =
      store.dwGetAddressForObject(std::u16string(AnsiStringStore::kMaxLength + 10, u'x'));
  EXPECT_EQ(store.dwGetStringFromLPSTR(big).size(), AnsiStringStore::kMaxLength);
  for (std::size_t i = 0; i < AnsiStringStore::kMaxStrings; ++i) store.dwGetAddressForObject(u"n");
  EXPECT_EQ(store.Size(), AnsiStringStore::kMaxStrings);
  EXPECT_EQ(store.dwGetStringFromLPSTR(first), u"");
  EXPECT_FALSE(store.Write(first, u"x"));
}

TEST(PointObjectLibrary, LocationAndValueAtAPoint) {
  SimEventLoop loop;
  SimDesktop desk(loop);
  const Hwnd view = desk.AddTopWindow(u"DirectUIHWND", u"Průzkumník", {0, 0, 400, 300});
  auto client = SimAccessible::Make(ROLE_SYSTEM_CLIENT, u"", u"", 0, {0, 0, 400, 300});
  auto text = client->Add(
      SimAccessible::Make(ROLE_SYSTEM_TEXT, u"Adresa", u"Soubor\rÚpravy 中", 0, {40, 50, 240, 82}));
  desk.SetClientAccessible(view, client);
  AnsiStringStore strings;
  PointObjectLibrary points(desk.Access(), strings);

  Rect rect{9, 9, 9, 9};
  EXPECT_TRUE(points.zibGetObjectLocationByPOINT(45, 60, rect));
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 50);

  // A primed record: the value goes into the primed string, its address stays.
  PointValueRecord record;
  record.address = strings.dwGetAddressForObject(std::u16string(255, u' '));
  const AnsiStringStore::Address primed = record.address;
  EXPECT_TRUE(points.zibGetObjectValueByPOINT(45, 60, record));
  EXPECT_EQ(record.address, primed);
  EXPECT_EQ(strings.dwGetStringFromLPSTR(record.address), u"Soubor\rÚpravy ?");
  // An unprimed record gets a string of its own.
  PointValueRecord fresh;
  EXPECT_TRUE(points.zibGetObjectValueByPOINT(45, 60, fresh));
  EXPECT_NE(fresh.address, 0u);
  EXPECT_EQ(strings.dwGetStringFromLPSTR(fresh.address), u"Soubor\rÚpravy ?");
  // The client around the text answers for points beside it (with its empty value).
  EXPECT_TRUE(points.zibGetObjectValueByPOINT(300, 200, fresh));
  EXPECT_EQ(strings.dwGetStringFromLPSTR(fresh.address), u"");

  // No object at the point: false, rect zeroed, record and primed string untouched.
  strings.Write(primed, u"před");
  EXPECT_FALSE(points.zibGetObjectLocationByPOINT(900, 900, rect));
  EXPECT_EQ(rect, Rect{});
  EXPECT_FALSE(points.zibGetObjectValueByPOINT(900, 900, record));
  EXPECT_EQ(record.address, primed);
  EXPECT_EQ(strings.dwGetStringFromLPSTR(primed), u"před");

  // The objects go away: both queries fail.
  text->Destroy();
  client->Destroy();
  EXPECT_FALSE(points.zibGetObjectLocationByPOINT(45, 60, rect));
  EXPECT_FALSE(points.zibGetObjectValueByPOINT(45, 60, record));
  EXPECT_EQ(strings.dwGetStringFromLPSTR(primed), u"před");
}

}  // namespace
}  // namespace quellon::access
