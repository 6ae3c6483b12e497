#include "screens/TWIGHomePageStore.h"

#include "frame/ScreenRegistry.h"
#include "frame/TWIGRoutingModule.h"
#include "storage/TWIGCache.h"
#include "wallet/TWIGDuiHuanStore.h"

namespace twig {

ScreenPtr TWIGHomePageStore::fetchViewControllers(int index) {
  auto& routing = TWIGRoutingModule::sharedRouting();
  const Json buttons = routing.fetchHomePageButtons();
  if (!buttons.is_array() || index < 0 || static_cast<std::size_t>(index) >= buttons.size()) {
    ScreenRegistry::reportPackagingError("the routing data has no home-page button " + std::to_string(index));
    return nullptr;
  }
  return routing.instantiate(buttons[static_cast<std::size_t>(index)]);
}

void TWIGHomePageStore::fetchTotalWithComplete(std::function<void(const std::string& total)> complete) {
  if (!complete) return;
  if (auto stored = TWIGCache::objectForKey(TWIGDuiHuanStore::kStatisticsKey)) {
    if (auto statistics = stored->modelValue<TWIGTotalModel>(); statistics && statistics->total)
      complete(totalText(*statistics->total));
  }
  TWIGDuiHuanStore::requestKidTotalStateCompletion(
      [complete](const std::optional<TWIGTotalModel>& statistics, const std::optional<TWIGError>& error) {
        if (error || !statistics || !statistics->total) return;
        complete(totalText(*statistics->total));
      });
}

void TWIGHomePageStore::saveLockTime(const Json& interval) {
  const auto model = TWIGBaseModel::fetchModelOfClass<TWIGLockModel>(interval);
  if (!model) return;  // not a dictionary: nothing worth keeping
  TWIGCache::setObjectValue(CacheObject::model(*model), kLockTimeKey);
}

std::optional<TWIGLockModel> TWIGHomePageStore::fetchLockTime() {
  const auto stored = TWIGCache::objectForKey(kLockTimeKey);
  return stored ? stored->modelValue<TWIGLockModel>() : std::nullopt;
}

std::string TWIGHomePageStore::totalText(const Json& total) {
  return TWIGTotalModel::pointsText(total);
}

}  // namespace twig
