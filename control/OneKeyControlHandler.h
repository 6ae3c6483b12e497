#pragma once

#include "control/ControlCommand.h"

namespace twig {

// "RequestAppsOnekeyControl": uploads the inventory first when that never succeeded, answers the
// whole picture of groups and applications, and once the answer is handed to the push channel
// switches the installation check on for good ("ResponseAppsOnekeyControl" in the object cache).
class OneKeyControlHandler final : public ControlCommand {
 public:
  using ControlCommand::ControlCommand;
  void receive(const Command& command) override;
  void responseAppsOnekeyControl(const std::string& commandUuid);
};

}  // namespace twig
