#include "messaging/CommandRouter.h"

namespace twig {

CommandRouter& CommandRouter::shared() {
  static CommandRouter router;
  return router;
}

void CommandRouter::route(const std::string& name, Factory factory) {
  std::lock_guard lock(mutex_);
  if (factory) {
    routes_[name] = std::move(factory);
  } else {
    routes_.erase(name);
  }
}

std::shared_ptr<CommandHandler> CommandRouter::handlerFor(const std::string& name,
                                                          const CommandContext& context) const {
  Factory factory;
  {
    std::lock_guard lock(mutex_);
    auto it = routes_.find(name);
    if (it == routes_.end()) return nullptr;
    factory = it->second;
  }
  // Made outside the lock: a factory may take its time, and dispatch runs on several threads.
  return factory(context);
}

std::vector<std::string> CommandRouter::names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  names.reserve(routes_.size());
  for (const auto& [name, factory] : routes_) names.push_back(name);
  return names;
}

void CommandRouter::clear() {
  std::lock_guard lock(mutex_);
  routes_.clear();
}

}  // namespace twig
