#pragma once

#include <functional>
#include <utility>

#include "messaging/HandlerBase.h"

namespace twig {

// A command that changes what app control watches. Besides its context it is handed how to rebuild
// the manager's monitoring table, so that it needs no process-wide manager; it calls that on the
// main loop, where the table lives.
class ControlCommand : public HandlerBase {
 public:
  using RebuildTable = std::function<void()>;

  ControlCommand(CommandContext context, RebuildTable rebuildTable)
      : HandlerBase(std::move(context)), rebuildTable_(std::move(rebuildTable)) {}

 protected:
  void rebuildTable() const {
    if (rebuildTable_) rebuildTable_();
  }

 private:
  RebuildTable rebuildTable_;
};

}  // namespace twig
