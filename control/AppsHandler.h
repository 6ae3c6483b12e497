#pragma once

#include "messaging/HandlerBase.h"

namespace twig {

// "RequestApps": answers the control groups with their applications and the Other group's
// applications, from the stored tables, read on the main loop so that the commands on the tables
// are handled in the order they arrived.
class AppsHandler final : public HandlerBase {
 public:
  using HandlerBase::HandlerBase;
  void receiveMessagePayload(const Json& payload) override;
};

}  // namespace twig
