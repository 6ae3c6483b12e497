#pragma once

namespace twig {

class CommandRouter;

// Routes every command the agent answers to its handler: the one table of command names.
class CommandCatalog {
 public:
  static void registerAll(CommandRouter& router);
};

}  // namespace twig
