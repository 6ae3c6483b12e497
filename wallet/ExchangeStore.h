#pragma once

#include "wallet/WalletContext.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "api/Error.h"
#include "wallet/PointsTotal.h"

namespace twig {

// The exchange of points for play time: what the service says about the child's points.
class ExchangeStore {
 public:
  using StatisticsCompletion =
      std::function<void(const std::optional<PointsTotal>& statistics, const std::optional<Error>& error)>;

  // GET "bills/bonuspoints/statistics/all/device/<device>". A 200 answer is handed to `completion`
  // and then stored under "bonuspointsStatistics"; any other answer, or none, calls nothing and
  // leaves the stored statistics as they were.
  static void requestKidTotalStateCompletion(const WalletContext& context, StatisticsCompletion completion);

  static constexpr const char* kParitiesKey = "parities";
  // The rule when the service answers with an empty body.
  static Json defaultRule();
  // Shows "更新汇率", then GET "settings/bonuspoints/consumes/rules". A 200 answer goes to
  // `completion` (the default rule for an empty body), which ends the progress message; a failure
  // shows "更新失败"; any other answer only ends the progress message.
  static void requestBonuspointsConsumesRulesCompletion(const WalletContext& context,
                                                        std::function<void(const Json& rule)> completion);

  // A rate "M:P": M minutes (its first character) for P points (from its third character on).
  struct Rate {
    int minutes = 0;
    std::int64_t points = 0;
  };
  // Nothing for a text shorter than three characters or with parts that are not numbers.
  static std::optional<Rate> parseParities(const std::string& parities);
};

}  // namespace twig
