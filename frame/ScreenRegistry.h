#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "frame/RouteNames.h"
#include "frame/ScreenHost.h"

namespace twig {

// The one place that knows how to make each screen from its route name and identifier.
// Asking for a screen nobody registered is a packaging error: it is reported on standard error and
// gives nothing, never a crash.
class ScreenRegistry {
 public:
  using Factory = std::function<ScreenPtr()>;

  void add(const std::string& routeName, const std::string& routeId, Factory factory);
  void add(const routes::Route& route, Factory factory) { add(route.name, route.id, std::move(factory)); }
  bool contains(const std::string& routeName, const std::string& routeId) const;
  // A fresh screen carrying its route identity; null (and a report) when none is registered.
  ScreenPtr make(const std::string& routeName, const std::string& routeId) const;
  ScreenPtr make(const routes::Route& route) const { return make(route.name, route.id); }

  static void reportPackagingError(const std::string& what);

 private:
  mutable std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, Factory> factories_;
};

}  // namespace twig
