#include "frame/ScreenRegistry.h"

#include <cstdio>

#include "frame/TWIGBaseViewController.h"

namespace twig {

ScreenRegistry& ScreenRegistry::shared() {
  static ScreenRegistry registry;
  return registry;
}

void ScreenRegistry::add(const std::string& storyboardName, const std::string& storyboardId,
                         Factory factory) {
  std::lock_guard lock(mutex_);
  factories_[{storyboardName, storyboardId}] = std::move(factory);
}

bool ScreenRegistry::contains(const std::string& storyboardName, const std::string& storyboardId) const {
  std::lock_guard lock(mutex_);
  return factories_.count({storyboardName, storyboardId}) > 0;
}

ScreenPtr ScreenRegistry::make(const std::string& storyboardName, const std::string& storyboardId) const {
  Factory factory;
  {
    std::lock_guard lock(mutex_);
    auto it = factories_.find({storyboardName, storyboardId});
    if (it != factories_.end()) factory = it->second;
  }
  if (!factory) {
    reportPackagingError("no screen '" + storyboardId + "' in storyboard '" + storyboardName + "'");
    return nullptr;
  }
  ScreenPtr screen = factory();
  if (screen) screen->setStoryboardIdentity(storyboardName, storyboardId);
  return screen;
}

void ScreenRegistry::reportPackagingError(const std::string& what) {
  std::fprintf(stderr, "twig: packaging error: %s\n", what.c_str());
}

}  // namespace twig
