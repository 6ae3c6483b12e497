#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "messaging/CommandContext.h"
#include "messaging/CommandHandler.h"

namespace twig {

// The one routing point from command names to handlers. It knows no handler itself: the agent's
// wiring registers each command at start-up (tests register their own the same way), and a name
// nobody registered resolves to nothing. Callable from any thread.
class CommandRouter {
 public:
  using Factory = std::function<std::shared_ptr<CommandHandler>(const CommandContext& context)>;

  // The process's router.
  static CommandRouter& shared();

  // Routes `name` to handlers made by `factory`, replacing an earlier route; a null factory
  // removes the route.
  void route(const std::string& name, Factory factory);
  // A new handler for `name`, made for `context`; null for a name without a route.
  std::shared_ptr<CommandHandler> handlerFor(const std::string& name, const CommandContext& context) const;
  // The routed names, in alphabetical order.
  std::vector<std::string> names() const;
  // Forgets every route.
  void clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Factory> routes_;
};

}  // namespace twig
