#include "wallet/ExchangeStore.h"

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

void ExchangeStore::requestKidTotalStateCompletion(const WalletContext& context,
                                                   StatisticsCompletion completion) {
  const std::string path = "bills/bonuspoints/statistics/all/device/" + context.child.deviceId();
  context.services.api.requestWithPath(
      path, std::nullopt, HttpMethod::Get,
      [completion, context](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        if (operation->statusCode != 200) return;
        const auto statistics = answer ? Model::fetchModelOfClass<PointsTotal>(*answer) : std::nullopt;
        if (!statistics) {
          // An answer that is no record must not replace the statistics the device has.
          if (completion) completion(std::nullopt, Error{"error", 0, "the statistics answer is no record"});
          return;
        }
        if (completion) completion(statistics, std::nullopt);
        context.services.cache.setObjectValue(CacheObject::model(*statistics), stored::kPointsTotal);
      },
      [](const ApiClient::Operation&, const Error&) {});
}

Json ExchangeStore::defaultRule() {
  return Json{{"appUseIntervalMax", 10}, {"parities", "1:3"}};
}

void ExchangeStore::requestBonuspointsConsumesRulesCompletion(
    const WalletContext& context, std::function<void(const Json& rule)> completion) {
  context.services.host.showOverlay(OverlayKind::Progress, "更新汇率");
  context.services.api.requestWithPath(
      "settings/bonuspoints/consumes/rules", Json{{"thisDeviceId", context.child.deviceId()}},
      HttpMethod::Get,
      [completion, context](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        // The progress message never outlives its request: an answer with nothing to apply ends it.
        if (operation->statusCode != 200 || !completion) {
          context.services.host.dismissOverlay();
          return;
        }
        const bool empty = !answer || answer->is_null() || (answer->is_object() && answer->empty());
        completion(empty ? defaultRule() : *answer);
      },
      [context](const ApiClient::Operation&, const Error&) {
        context.services.host.showOverlay(OverlayKind::Error, "更新失败");
      });
}

std::optional<ExchangeStore::Rate> ExchangeStore::parseParities(const std::string& parities) {
  if (parities.size() < 3) return std::nullopt;
  const char minutes = parities[0];
  if (minutes < '0' || minutes > '9') return std::nullopt;
  const std::string points = parities.substr(2);
  if (points.empty() || points.size() > 12) return std::nullopt;
  for (char digit : points) {
    if (digit < '0' || digit > '9') return std::nullopt;
  }
  return Rate{minutes - '0', std::stoll(points)};
}

}  // namespace twig
