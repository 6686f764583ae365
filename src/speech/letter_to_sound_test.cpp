#include "speech/letter_to_sound.h"

#include <gtest/gtest.h>

namespace quellon {
namespace {

TEST(Assimilate, Devoicing) {
  EXPECT_EQ(Assimilate(u"kde"), u"gde");
  EXPECT_EQ(Assimilate(u"led"), u"let");
  EXPECT_EQ(Assimilate(u"bůh"), u"bůch");
  EXPECT_EQ(Assimilate(u"mnich"), u"mnich");
  EXPECT_EQ(Assimilate(u"lev"), u"lef");
  EXPECT_EQ(Assimilate(u"v"), u"v");
  EXPECT_EQ(Assimilate(u"vší"), u"fší");
  EXPECT_EQ(Assimilate(u"nůž"), u"nůš");
  EXPECT_EQ(Assimilate(u"raz"), u"raz");
  EXPECT_EQ(Assimilate(u"těžký"), u"těšký");
  EXPECT_EQ(Assimilate(u"kdomu"), u"gdomu");
  EXPECT_EQ(Assimilate(u"zpět"), u"spět");
  EXPECT_EQ(Assimilate(u"ďk"), u"ťk");
  EXPECT_EQ(Assimilate(u"hc"), u"chc");
}

TEST(Assimilate, SoftYForeignLettersAndPlus) {
  EXPECT_EQ(Assimilate(u"ty"), u"ty");
  EXPECT_EQ(Assimilate(u"dy"), u"dy");
  EXPECT_EQ(Assimilate(u"ny"), u"ny");
  EXPECT_EQ(Assimilate(u"my"), u"mi");
  EXPECT_EQ(Assimilate(u"y"), u"i");
  EXPECT_EQ(Assimilate(u"Wagner"), u"vagner");
  EXPECT_EQ(Assimilate(u"TY"), u"ty");
  EXPECT_EQ(Assimilate(u"Müller"), u"miller");
  EXPECT_EQ(Assimilate(u"äö"), u"ee");
  EXPECT_EQ(Assimilate(u" jedna + jedna"), u" jedna plus jedna");
  EXPECT_EQ(Assimilate(u""), u"");
}

}  // namespace
}  // namespace quellon
