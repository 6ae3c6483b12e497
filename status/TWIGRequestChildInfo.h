#pragma once

#include "messaging/TWIGBaseMessage.h"

namespace twig {

// "RequestChildInfo": answers the battery level and the screen status.
class TWIGRequestChildInfo final : public TWIGBaseMessage {
 public:
  void receiveMessagePayload(const Json& payload) override;
};

}  // namespace twig
