#pragma once

#include <string>
#include <vector>

#include "control/ControlCommand.h"

namespace twig {

class TableStore;

// "RequestAppControlGroupChange": stores a group's new window and members, rebuilds the monitoring
// table (on the main loop, where the manager works) and answers "Acknowledged", or "Failed" when the
// change could not be stored (then nothing of it is).
class GroupChangeHandler final : public ControlCommand {
 public:
  // What the command asks, read out of its body where it arrives: only these values travel on to
  // the main loop, never the received tree.
  struct Change {
    std::string groupId;
    std::string startTime;
    std::string endTime;
    std::string week;
    std::vector<std::string> appPackages;
  };

  using ControlCommand::ControlCommand;
  void receive(const Command& command) override;
  static Change changeOf(const Json& body);
  // The change to the stored tables, all of it or nothing (the monitoring table is rebuilt by the
  // caller). False when the tables could not be written; the cause then went to stderr.
  static bool applyChange(const TableStore& tables, const Change& change);
};

}  // namespace twig
