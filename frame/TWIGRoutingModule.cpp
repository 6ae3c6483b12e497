#include "frame/TWIGRoutingModule.h"

#include "frame/PropertyList.h"
#include "frame/Resources.h"

namespace twig {

TWIGRoutingModule::TWIGRoutingModule(Json routingData, const ScreenRegistry& registry)
    : routingData_(routingData.is_object() ? std::move(routingData) : Json::object()), registry_(registry) {}

TWIGRoutingModule& TWIGRoutingModule::sharedRouting() {
  static TWIGRoutingModule shared(loadShippedRoutingData(), ScreenRegistry::shared());
  return shared;
}

Json TWIGRoutingModule::loadShippedRoutingData() {
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

ScreenPtr TWIGRoutingModule::instantiate(const Json& entry) const {
  if (!entry.is_object() || !entry.contains("storyboardName") || !entry["storyboardName"].is_string() ||
      !entry.contains("storyboardID") || !entry["storyboardID"].is_string()) {
    ScreenRegistry::reportPackagingError("a routing entry lacks storyboardName or storyboardID: " +
                                         entry.dump());
    return nullptr;
  }
  return registry_.make(entry["storyboardName"].get<std::string>(), entry["storyboardID"].get<std::string>());
}

ScreenPtr TWIGRoutingModule::fromEntry(const char* key) const {
  auto it = routingData_.find(key);
  if (it == routingData_.end()) {
    ScreenRegistry::reportPackagingError(std::string("the routing list has no entry '") + key + "'");
    return nullptr;
  }
  return instantiate(*it);
}

ScreenPtr TWIGRoutingModule::fetchHomePageController() const {
  return fromEntry("_HomePage");
}

Json TWIGRoutingModule::fetchHomePageButtons() const {
  auto home = routingData_.find("_HomePage");
  if (home == routingData_.end() || !home->is_object()) return Json::array();
  auto buttons = home->find("_HomePageBtns");
  if (buttons == home->end() || !buttons->is_array()) return Json::array();
  return *buttons;
}

ScreenPtr TWIGRoutingModule::fecthLockController() const {
  return fromEntry("_Lock");
}

ScreenPtr TWIGRoutingModule::fetchLoginController() const {
  return registry_.make("Login", "LoginID");
}

ScreenPtr TWIGRoutingModule::fetchServiceAgreement() const {
  return registry_.make("Setting", "ClicenseAgreementID");
}

}  // namespace twig
