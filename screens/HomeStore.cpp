#include "screens/HomeStore.h"

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "frame/ScreenRoutes.h"
#include "frame/Services.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "wallet/ExchangeStore.h"

namespace twig {

ScreenPtr HomeStore::featureScreen(const ScreenRoutes& routing, int index) {
  const Json buttons = routing.fetchHomePageButtons();
  if (!buttons.is_array() || index < 0 || static_cast<std::size_t>(index) >= buttons.size()) {
    ScreenRegistry::reportPackagingError("the routing data has no home-page button " + std::to_string(index));
    return nullptr;
  }
  return routing.instantiate(buttons[static_cast<std::size_t>(index)]);
}

void HomeStore::fetchTotalWithComplete(const WalletContext& context,
                                       std::function<void(const std::string& total)> complete) {
  if (!complete) return;
  if (auto stored = context.services.cache.objectForKey(stored::kPointsTotal)) {
    if (auto statistics = stored->modelValue<PointsTotal>(); statistics && statistics->total)
      complete(totalText(*statistics->total));
  }
  ExchangeStore::requestKidTotalStateCompletion(
      context, [complete](const std::optional<PointsTotal>& statistics, const std::optional<Error>& error) {
        if (error || !statistics || !statistics->total) return;
        complete(totalText(*statistics->total));
      });
}

std::string HomeStore::totalText(const Json& total) {
  return PointsTotal::pointsText(total);
}

}  // namespace twig
