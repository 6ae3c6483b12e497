#pragma once

#include <memory>

#include "messaging/Command.h"

namespace twig {

// Something that acts on one command. A handler made for one command keeps itself alive through
// its own callbacks while it has work left.
class CommandHandler : public std::enable_shared_from_this<CommandHandler> {
 public:
  virtual ~CommandHandler() = default;
  virtual void receive(const Command& command) = 0;
};

}  // namespace twig
