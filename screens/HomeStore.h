#pragma once

#include "wallet/WalletContext.h"

#include <functional>
#include <optional>
#include <string>

#include "frame/ScreenHost.h"
#include "platform/Json.h"

namespace twig {

class ObjectCache;
class ScreenRoutes;

// What the home page asks for: the screens behind its feature buttons and the child's balance.
class HomeStore {
 public:
  // The screen of the routing data's feature button `index` ("_HomePage" → "_HomePageBtns"); null
  // (and a packaging report) when there is no such entry or nothing is registered under its name.
  static ScreenPtr featureScreen(const ScreenRoutes& routes, int index);
  // Calls `complete` with the stored total at once when there is one, then again with the fresh
  // total when the service answers: so possibly twice, the first time on the calling thread.
  static void fetchTotalWithComplete(const WalletContext& context,
                                     std::function<void(const std::string& total)> complete);
  // A points total as the balance label shows it: a whole number, or the number as the service
  // wrote it.
  static std::string totalText(const Json& total);
};

}  // namespace twig
