#pragma once

namespace twig {

class Agent;

// Registers every screen of the agent under its route name and identifier in the agent's registry:
// the one table from names to screens, and the place where each screen is handed what it uses.
class ScreenCatalog {
 public:
  static void registerAll(Agent& agent);
};

}  // namespace twig
