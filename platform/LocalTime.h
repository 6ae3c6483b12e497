#pragma once

#include <optional>

#include "platform/Clock.h"

namespace twig {

// A wall-clock instant broken down in the process's time zone (the TZ rules in force).
struct LocalTime {
  int year = 1970;
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..60
  int weekday = 4;  // 0 Sunday .. 6 Saturday
  long utcOffsetSeconds = 0;
};

LocalTime toLocalTime(WallTime t);
// The instant that the given local calendar fields name (daylight saving resolved by the C library);
// nothing when the fields name no representable instant. Weekday and offset are ignored.
std::optional<WallTime> fromLocalTime(const LocalTime& fields);

}  // namespace twig
