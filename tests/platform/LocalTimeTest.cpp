#include "platform/LocalTime.h"

#include <gtest/gtest.h>

#include "tests/fakes/ScopedTimeZone.h"

namespace twig {
namespace {

TEST(LocalTime, BreaksDownInTheProcessTimeZone) {
  test::ScopedTimeZone zone("TST-8");
  // 2016-11-24 15:06:40 UTC is 23:06:40 on a Thursday at UTC+8.
  const LocalTime t = toLocalTime(WallTime(std::chrono::seconds(1480000000)));
  EXPECT_EQ(t.year, 2016);
  EXPECT_EQ(t.month, 11);
  EXPECT_EQ(t.day, 24);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 6);
  EXPECT_EQ(t.second, 40);
  EXPECT_EQ(t.weekday, 4);
  EXPECT_EQ(t.utcOffsetSeconds, 8 * 3600);
}

TEST(LocalTime, RoundTripsThroughCalendarFields) {
  test::ScopedTimeZone zone("TST+5");
  const WallTime instant(std::chrono::seconds(1480000000));
  const auto back = fromLocalTime(toLocalTime(instant));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, instant);
  LocalTime lastSecondBefore1970;
  lastSecondBefore1970.year = 1969;
  lastSecondBefore1970.month = 12;
  lastSecondBefore1970.day = 31;
  lastSecondBefore1970.hour = 18;
  lastSecondBefore1970.minute = 59;
  lastSecondBefore1970.second = 59;
  const auto minusOne = fromLocalTime(lastSecondBefore1970);
  ASSERT_TRUE(minusOne.has_value());
  EXPECT_EQ(minusOne->time_since_epoch(), std::chrono::seconds(-1));
}

}  // namespace
}  // namespace twig
