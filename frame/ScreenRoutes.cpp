#include "frame/ScreenRoutes.h"

#include "frame/PropertyList.h"
#include "frame/Resources.h"
#include "frame/RouteNames.h"

namespace twig {

ScreenRoutes::ScreenRoutes(Json routingData, const ScreenRegistry& registry)
    : routingData_(routingData.is_object() ? std::move(routingData) : Json::object()), registry_(registry) {}

Json ScreenRoutes::loadShippedRoutingData() {
  const auto resource = Resources::find("Routing", "plist");
  if (!resource) {
    ScreenRegistry::reportPackagingError("the resource Routing.plist is missing");
    return Json::object();
  }
  auto data = PropertyList::parseXml(*resource);
  if (!data || !data->is_object()) {
    ScreenRegistry::reportPackagingError("the resource Routing.plist is not a property-list dictionary");
    return Json::object();
  }
  return *data;
}

ScreenPtr ScreenRoutes::instantiate(const Json& entry) const {
  if (!entry.is_object() || !entry.contains(routes::kEntryName) || !entry[routes::kEntryName].is_string() ||
      !entry.contains(routes::kEntryId) || !entry[routes::kEntryId].is_string()) {
    ScreenRegistry::reportPackagingError("a routing entry lacks storyboardName or storyboardID: " +
                                         entry.dump());
    return nullptr;
  }
  return registry_.make(entry[routes::kEntryName].get<std::string>(),
                        entry[routes::kEntryId].get<std::string>());
}

ScreenPtr ScreenRoutes::fromEntry(const char* key) const {
  auto it = routingData_.find(key);
  if (it == routingData_.end()) {
    ScreenRegistry::reportPackagingError(std::string("the routing list has no entry '") + key + "'");
    return nullptr;
  }
  return instantiate(*it);
}

ScreenPtr ScreenRoutes::makeHomeScreen() const {
  return fromEntry(routes::kListHome);
}

Json ScreenRoutes::fetchHomePageButtons() const {
  auto home = routingData_.find(routes::kListHome);
  if (home == routingData_.end() || !home->is_object()) return Json::array();
  auto buttons = home->find(routes::kListHomeButtons);
  if (buttons == home->end() || !buttons->is_array()) return Json::array();
  return *buttons;
}

ScreenPtr ScreenRoutes::makeLockScreen() const {
  return fromEntry(routes::kListLock);
}

ScreenPtr ScreenRoutes::makeBindingScreen() const {
  return registry_.make(routes::kLogin);
}

ScreenPtr ScreenRoutes::fetchServiceAgreement() const {
  return registry_.make(routes::kLicence);
}

}  // namespace twig
