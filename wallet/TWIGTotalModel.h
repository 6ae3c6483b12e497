#pragma once

#include <optional>

#include "api/TWIGBaseModel.h"
#include "platform/Json.h"

namespace twig {

// The child's points statistics: in total, this month, this week, last month, last week. The
// object cache keeps the last answer under "bonuspointsStatistics".
class TWIGTotalModel final : public TWIGBaseModel {
 public:
  std::optional<Json> total;
  std::optional<Json> currentMonth;
  std::optional<Json> currentWeek;
  std::optional<Json> preMonth;
  std::optional<Json> preWeek;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
