#include "wallet/PointsTotal.h"

#include <cmath>

#include "api/Utils.h"
#include "storage/StoredNames.h"

namespace twig {

std::string PointsTotal::pointsText(const Json& points) {
  if (points.is_number_integer()) return std::to_string(points.get<long long>());
  if (points.is_number()) {
    const double value = points.get<double>();
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
      return std::to_string(static_cast<long long>(value));
  }
  return Utils::stringValue(Json{{"points", points}}, "points");
}

const ModelClass& PointsTotal::staticModelClass() {
  using M = PointsTotal;
  static const ModelClass modelClass(stored::kPointsTotalClass,
                                     {
                                         numberField("total", &M::total),
                                         numberField("currentMonth", &M::currentMonth),
                                         numberField("currentWeek", &M::currentWeek),
                                         numberField("preMonth", &M::preMonth),
                                         numberField("preWeek", &M::preWeek),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
