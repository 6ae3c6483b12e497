#pragma once

#include "messaging/TWIGBaseMessage.h"

namespace twig {

// "RequestAppControlGroupChange": stores a group's new window and members, rebuilds the monitoring
// table (on the main loop, where the manager works) and answers "Acknowledged".
class TWIGRequestAppControlGroupChange final : public TWIGBaseMessage {
 public:
  using TWIGBaseMessage::TWIGBaseMessage;
  void receiveMessagePayload(const Json& payload) override;
  // The change itself (on the main loop).
  static void applyChange(const Json& body);
};

}  // namespace twig
