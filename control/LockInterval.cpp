#include "control/LockInterval.h"

#include <cstdio>

#include "api/Utils.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "storage/StoredNames.h"

namespace twig {

namespace {

// Seconds since midnight of "HH:mm", each part read as a leading decimal number.
long long secondsOfDay(const std::optional<std::string>& hhmm) {
  if (!hhmm) return 0;
  const auto colon = hhmm->find(':');
  const long long hours = static_cast<long long>(Utils::doubleValue(hhmm->substr(0, colon)));
  const long long minutes =
      colon == std::string::npos ? 0 : static_cast<long long>(Utils::doubleValue(hhmm->substr(colon + 1)));
  return hours * 3600 + minutes * 60;
}

}  // namespace

const ModelClass& LockInterval::staticModelClass() {
  using M = LockInterval;
  static const ModelClass modelClass(stored::kLockIntervalClass,
                                     {
                                         textField("commandUuid", &M::commandUuid),
                                         textField("createTime", &M::createTime),
                                         textField("endTime", &M::endTime),
                                         textField("startTime", &M::startTime),
                                         textField("timeIntervalId", &M::timeIntervalId),
                                         textField("week", &M::week),
                                         textField("day", &M::day),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

WallTime LockInterval::fetchTime_start() const {
  const double milliseconds = createTime ? Utils::doubleValue(*createTime) : 0;
  return WallTime(std::chrono::milliseconds(static_cast<long long>(milliseconds)));
}

WallTime LockInterval::fetchTime_end(const Clock& clock) {
  const WallTime now = clock.now();
  const LocalTime local = toLocalTime(now);
  const long long start = secondsOfDay(startTime);
  const long long end = secondsOfDay(endTime);
  const long long current = local.hour * 3600LL + local.minute * 60LL + local.second;
  if (end > start) {
    day = "今天";
    return now + std::chrono::seconds(end - current);
  }
  // The interval crosses midnight (or is empty): the end falls on the day reached after it lasts.
  const LocalTime endDay = toLocalTime(now + std::chrono::seconds(end + 86400 - start));
  LocalTime fields = endDay;
  fields.hour = static_cast<int>(end / 3600);
  fields.minute = static_cast<int>((end % 3600) / 60);
  fields.second = 0;
  day =
      (endDay.year == local.year && endDay.month == local.month && endDay.day == local.day) ? "今天" : "明天";
  return fromLocalTime(fields).value_or(now);
}

std::int64_t LockInterval::fetchTimeDifference(const Clock& clock) {
  const auto difference = fetchTime_end(clock) - clock.now();
  return std::chrono::duration_cast<std::chrono::seconds>(difference).count();
}

}  // namespace twig
