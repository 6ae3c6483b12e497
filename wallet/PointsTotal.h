#pragma once

#include <optional>
#include <string>

#include "api/Model.h"
#include "platform/Json.h"

namespace twig {

// The child's points statistics: in total, this month, this week, last month, last week. The
// object cache keeps the last answer under "bonuspointsStatistics".
class PointsTotal final : public Model {
 public:
  std::optional<Json> total;
  std::optional<Json> currentMonth;
  std::optional<Json> currentWeek;
  std::optional<Json> preMonth;
  std::optional<Json> preWeek;

  // Points as the child reads them: a whole number as such (150.0 too), any other number or text as
  // the service wrote it.
  static std::string pointsText(const Json& points);

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
