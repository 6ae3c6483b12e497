#include "messaging/CommandRouter.h"

namespace twig {

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

namespace {

// A route that only runs a function.
class CallHandler final : public CommandHandler {
 public:
  explicit CallHandler(std::function<void(const Command&)> call) : call_(std::move(call)) {}
  void receive(const Command& command) override { call_(command); }

 private:
  std::function<void(const Command&)> call_;
};

}  // namespace

void CommandRouter::routeToCall(const std::string& name, std::function<void(const Command&)> call) {
  route(name,
        [call = std::move(call)](const CommandContext&) { return std::make_shared<CallHandler>(call); });
}

std::optional<std::string> CommandRouter::dispatch(std::string_view text,
                                                   const CommandContext& context) const {
  auto command = Command::decode(text);
  if (!command) return std::nullopt;
  return dispatch(std::move(*command), text, context);
}

std::optional<std::string> CommandRouter::dispatch(Command command, std::string_view text,
                                                   const CommandContext& context) const {
  if (context.admit && !context.admit(command.name, command.uuid, std::string(text))) return std::nullopt;
  if (auto handler = handlerFor(command.name, context)) handler->receive(command);
  return command.name;
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
