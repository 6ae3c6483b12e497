#include "wallet/TWIGTotalModel.h"

#include <cmath>

#include "api/TWIGUtils.h"

namespace twig {

std::string TWIGTotalModel::pointsText(const Json& points) {
  if (points.is_number_integer()) return std::to_string(points.get<long long>());
  if (points.is_number()) {
    const double value = points.get<double>();
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
      return std::to_string(static_cast<long long>(value));
  }
  return TWIGUtils::stringValue(Json{{"points", points}}, "points");
}

const ModelClass& TWIGTotalModel::staticModelClass() {
  using M = TWIGTotalModel;
  static const ModelClass modelClass("TWIGTotalModel",
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
