#include "frame/ScreenRegistry.h"

#include <cstdio>

#include "frame/ViewModel.h"

namespace twig {

void ScreenRegistry::add(const std::string& routeName, const std::string& routeId, Factory factory) {
  std::lock_guard lock(mutex_);
  factories_[{routeName, routeId}] = std::move(factory);
}

bool ScreenRegistry::contains(const std::string& routeName, const std::string& routeId) const {
  std::lock_guard lock(mutex_);
  return factories_.count({routeName, routeId}) > 0;
}

ScreenPtr ScreenRegistry::make(const std::string& routeName, const std::string& routeId) const {
  Factory factory;
  {
    std::lock_guard lock(mutex_);
    auto it = factories_.find({routeName, routeId});
    if (it != factories_.end()) factory = it->second;
  }
  if (!factory) {
    reportPackagingError("no screen '" + routeId + "' in storyboard '" + routeName + "'");
    return nullptr;
  }
  ScreenPtr screen = factory();
  if (screen) screen->setRouteIdentity(routeName, routeId);
  return screen;
}

void ScreenRegistry::reportPackagingError(const std::string& what) {
  std::fprintf(stderr, "twig: packaging error: %s\n", what.c_str());
}

}  // namespace twig
