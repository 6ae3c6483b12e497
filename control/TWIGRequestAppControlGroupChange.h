#pragma once

#include "control/ControlCommand.h"

namespace twig {

// "RequestAppControlGroupChange": stores a group's new window and members, rebuilds the monitoring
// table (on the main loop, where the manager works) and answers "Acknowledged".
class TWIGRequestAppControlGroupChange final : public ControlCommand {
 public:
  using ControlCommand::ControlCommand;
  void receiveMessagePayload(const Json& payload) override;
  // The change to the stored tables (the monitoring table is rebuilt by the caller).
  static void applyChange(const Json& body);
};

}  // namespace twig
