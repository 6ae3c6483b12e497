#pragma once

namespace twig {

class Agent;

// Routes every command name the parent may send to what handles it: the one table of command
// names. Every remote name has a route; a name without one runs nothing.
class CommandCatalog {
 public:
  static void registerAll(Agent& agent);
};

}  // namespace twig
