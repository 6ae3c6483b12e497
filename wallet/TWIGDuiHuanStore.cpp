#include "wallet/TWIGDuiHuanStore.h"

#include "api/TWIGRequest.h"
#include "identity/TWIGChildUser.h"
#include "storage/TWIGCache.h"

namespace twig {

void TWIGDuiHuanStore::requestKidTotalStateCompletion(StatisticsCompletion completion) {
  const std::string path =
      "bills/bonuspoints/statistics/all/device/" + TWIGChildUser::sharedChildUser().user_childDeviceId();
  TWIGRequest::sharedRequest().requestWithPath(
      path, std::nullopt, HttpMethod::Get,
      [completion](const TWIGRequest::Operation& operation, const std::optional<Json>& answer) {
        if (operation->statusCode != 200) return;
        const auto statistics =
            answer ? TWIGBaseModel::fetchModelOfClass<TWIGTotalModel>(*answer) : std::nullopt;
        if (!statistics) {
          // An answer that is no record must not replace the statistics the device has.
          if (completion)
            completion(std::nullopt, TWIGError{"error", 0, "the statistics answer is no record"});
          return;
        }
        if (completion) completion(statistics, std::nullopt);
        TWIGCache::setObjectValue(CacheObject::model(*statistics), kStatisticsKey);
      },
      [](const TWIGRequest::Operation&, const TWIGError&) {});
}

}  // namespace twig
