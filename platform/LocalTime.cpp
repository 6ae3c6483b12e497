#include "platform/LocalTime.h"

#include <ctime>

namespace twig {

LocalTime toLocalTime(WallTime t) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(t.time_since_epoch()).count();
  const std::time_t tt = static_cast<std::time_t>(seconds);
  std::tm tm{};
  localtime_r(&tt, &tm);
  LocalTime lt;
  lt.year = tm.tm_year + 1900;
  lt.month = tm.tm_mon + 1;
  lt.day = tm.tm_mday;
  lt.hour = tm.tm_hour;
  lt.minute = tm.tm_min;
  lt.second = tm.tm_sec;
  lt.weekday = tm.tm_wday;
  lt.utcOffsetSeconds = tm.tm_gmtoff;
  return lt;
}

std::optional<WallTime> fromLocalTime(const LocalTime& fields) {
  std::tm tm{};
  tm.tm_year = fields.year - 1900;
  tm.tm_mon = fields.month - 1;
  tm.tm_mday = fields.day;
  tm.tm_hour = fields.hour;
  tm.tm_min = fields.minute;
  tm.tm_sec = fields.second;
  tm.tm_isdst = -1;
  const std::time_t tt = std::mktime(&tm);
  if (tt == static_cast<std::time_t>(-1)) {
    // -1 is both the failure value and one real second before 1970; tell them apart.
    std::tm check{};
    localtime_r(&tt, &check);
    if (check.tm_year != tm.tm_year || check.tm_yday != tm.tm_yday || check.tm_hour != tm.tm_hour ||
        check.tm_min != tm.tm_min || check.tm_sec != tm.tm_sec) {
      return std::nullopt;
    }
  }
  return WallTime(std::chrono::seconds(tt));
}

}  // namespace twig
