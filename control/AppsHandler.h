#pragma once

#include "control/ControlCommand.h"

namespace twig {

// "RequestApps": answers the control groups with their applications and the Other group's
// applications, from the stored tables, read on the main loop so that the commands on the tables
// are handled in the order they arrived.
class AppsHandler final : public ControlCommand {
 public:
  using ControlCommand::ControlCommand;
  void receive(const Command& command) override;
};

}  // namespace twig
