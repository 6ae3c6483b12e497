#pragma once

#include <functional>
#include <optional>

#include "api/TWIGError.h"
#include "wallet/TWIGTotalModel.h"

namespace twig {

// The exchange of points for play time: what the service says about the child's points.
class TWIGDuiHuanStore {
 public:
  static constexpr const char* kStatisticsKey = "bonuspointsStatistics";
  using StatisticsCompletion = std::function<void(const std::optional<TWIGTotalModel>& statistics,
                                                  const std::optional<TWIGError>& error)>;

  // GET "bills/bonuspoints/statistics/all/device/<device>". A 200 answer is handed to `completion`
  // and then stored under "bonuspointsStatistics"; any other answer, or none, calls nothing and
  // leaves the stored statistics as they were.
  static void requestKidTotalStateCompletion(StatisticsCompletion completion);
};

}  // namespace twig
