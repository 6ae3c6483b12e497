#include "control/AppsHandler.h"

#include "control/AppInventory.h"
#include "messaging/Protocol.h"
#include "platform/MainLoop.h"

namespace twig {

void AppsHandler::receive(const Command& command) {
  const std::string uuid = command.uuid;
  // Read on the main loop, after every command on the tables that arrived before this one.
  auto self = this->self<AppsHandler>();
  context().mainLoop->post([self, uuid] {
    const auto snapshot = self->inventory().groupsAndApps(false);
    self->publish(
        self->responseMessage(protocol::kResponseApps, uuid,
                              Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}},
                              snapshot.readable ? kAcknowledged : kFailed),
        nullptr);
  });
}

}  // namespace twig
