#pragma once

#include <functional>

#include "control/AppInventory.h"
#include "messaging/HandlerBase.h"

namespace twig {

class ObjectCache;
class TableStore;

// What a command that changes app control is handed besides its context: the inventory, the stores
// and how to rebuild the manager's monitoring table (called on the main loop, where the table lives).
struct ControlTools {
  AppInventory& inventory;
  ObjectCache& cache;
  TableStore& tables;
  std::function<void()> rebuildTable;
};

// A command that reads or changes what app control watches.
class ControlCommand : public HandlerBase {
 public:
  ControlCommand(CommandContext context, ControlTools tools)
      : HandlerBase(std::move(context)), tools_(std::move(tools)) {}

 protected:
  void rebuildTable() const {
    if (tools_.rebuildTable) tools_.rebuildTable();
  }
  AppInventory& inventory() const { return tools_.inventory; }
  ObjectCache& cache() const { return tools_.cache; }
  TableStore& tables() const { return tools_.tables; }

 private:
  ControlTools tools_;
};

}  // namespace twig
