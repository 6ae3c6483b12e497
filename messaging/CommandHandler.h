#pragma once

#include <memory>

#include "platform/Json.h"

namespace twig {

// Something that acts on one command payload (the whole decoded payload, its single top-level key
// included). A handler made for one payload keeps itself alive through its own callbacks while it
// has work left.
class CommandHandler : public std::enable_shared_from_this<CommandHandler> {
 public:
  virtual ~CommandHandler() = default;
  virtual void receiveMessagePayload(const Json& payload) = 0;
};

}  // namespace twig
