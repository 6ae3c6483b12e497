#pragma once

namespace twig {

class ScreenRegistry;

// Registers every screen of the agent under its route name and identifier: the one routing
// point from names to screens.
class ScreenCatalog {
 public:
  static void registerAll(ScreenRegistry& registry);
};

}  // namespace twig
