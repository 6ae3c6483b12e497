#pragma once

#include <optional>
#include <string_view>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "messaging/CommandContext.h"
#include "messaging/CommandHandler.h"

namespace twig {

// The one table from command names to handlers, and the road every received command takes: decoded
// once, admitted (a repeat is dropped), handed to the handler of its name. It knows no handler
// itself: the agent registers each name at start-up (tests register their own the same way). A name
// without a route runs nothing; in particular no command can raise an event of the agent's own
// (control started or ended, reachability), which travel as typed signals of their owners.
// Callable from any thread; a command is handled on the thread that delivers it.
class CommandRouter {
 public:
  using Factory = std::function<std::shared_ptr<CommandHandler>(const CommandContext& context)>;

  // Routes `name` to handlers made by `factory`, replacing an earlier route; a null factory
  // removes the route.
  void route(const std::string& name, Factory factory);
  // A new handler for `name`, made for `context`; null for a name without a route.
  std::shared_ptr<CommandHandler> handlerFor(const std::string& name, const CommandContext& context) const;
  // Routes `name` to a function run on the delivering thread.
  void routeToCall(const std::string& name, std::function<void(const Command& command)> call);
  // Decodes `text`, lets the context admit it and runs its route; the command's name, or nothing
  // when the text is no command or a repeat. A name without a route is still named.
  std::optional<std::string> dispatch(std::string_view text, const CommandContext& context) const;
  std::optional<std::string> dispatch(Command command, std::string_view text,
                                      const CommandContext& context) const;
  // The routed names, in alphabetical order.
  std::vector<std::string> names() const;
  // Forgets every route.
  void clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Factory> routes_;
};

}  // namespace twig
