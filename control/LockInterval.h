#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "api/Model.h"
#include "platform/Clock.h"

namespace twig {

class Clock;

// A lock interval as the home-page store keeps it under "lockTime": when it was made and the window
// it ends with.
class LockInterval final : public Model {
 public:
  std::optional<std::string> commandUuid;
  std::optional<std::string> createTime;  // milliseconds since 1970
  std::optional<std::string> endTime;     // "HH:mm"
  std::optional<std::string> startTime;   // "HH:mm"
  std::optional<std::string> timeIntervalId;
  std::optional<std::string> week;
  std::optional<std::string> day;  // "今天" or "明天", set by fetchTime_end

  WallTime fetchTime_start() const;
  // The moment the interval ends: today at endTime when it ends after it starts, else the day on
  // which (end + 24 h − start) from now falls, at endTime.
  WallTime fetchTime_end(const Clock& clock);
  const std::optional<std::string>& fetchDay() const { return day; }
  // Whole seconds from now until the end; negative once it has passed.
  std::int64_t fetchTimeDifference(const Clock& clock);

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
