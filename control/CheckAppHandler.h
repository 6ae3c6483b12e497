#pragma once

#include "control/ControlCommand.h"

namespace twig {

// "RequestCheckApp": once one-key control has been answered, compares the installed applications
// with the last known list and reports installations ("EventAppInstall", after registering them
// with the service) and removals ("EventAppUninstall"). A failed registration leaves the known list
// as it was, so that the next check reports those installations again. An installation is reported
// once even when the command comes again while its registration is under way, and a list that
// cannot be read changes nothing.
class CheckAppHandler final : public ControlCommand {
 public:
  using ControlCommand::ControlCommand;
  void receive(const Command& command) override;
  // Compares and reports (on the main loop).
  void check();
};

}  // namespace twig
