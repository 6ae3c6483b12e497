#pragma once

#include <optional>
#include <string>

#include "frame/ScreenRegistry.h"
#include "platform/Json.h"

namespace twig {

// Makes the main screens: the home page, its feature screens and the lock screen from the shipped
// "Routing" list, and the fixed ones (login, service agreement) by name. Each call makes a fresh
// screen. An entry missing from the list is a packaging error: reported, and nothing is made.
class ScreenRoutes {
 public:
  ScreenRoutes(Json routingData, const ScreenRegistry& registry);

  ScreenPtr makeHomeScreen() const;
  // "_HomePage" → "_HomePageBtns": entries with "storyboardName" and "storyboardID", in display order.
  Json fetchHomePageButtons() const;
  ScreenPtr makeLockScreen() const;
  ScreenPtr makeBindingScreen() const;
  ScreenPtr fetchServiceAgreement() const;
  // The screen named by a routing entry ({"storyboardName", "storyboardID"}).
  ScreenPtr instantiate(const Json& entry) const;

  const Json& routingData() const { return routingData_; }
  // The shipped list; an empty dictionary (and a report) when it is missing or unreadable.
  static Json loadShippedRoutingData();

 private:
  ScreenPtr fromEntry(const char* key) const;

  Json routingData_;
  const ScreenRegistry& registry_;
};

}  // namespace twig
