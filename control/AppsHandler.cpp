#include "control/AppsHandler.h"

#include "control/AppInventory.h"
#include "platform/MainLoop.h"

namespace twig {

void AppsHandler::receiveMessagePayload(const Json& payload) {
  const std::string uuid = commandUuid(payload);
  // Read on the main loop, after every command on the tables that arrived before this one.
  auto self = this->self<AppsHandler>();
  context().mainLoop->post([self, uuid] {
    const auto snapshot = AppInventory::groupsAndApps(false);
    self->publish(
        self->responseMessage("ResponseApps", uuid,
                              Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}},
                              snapshot.readable ? kAcknowledged : kFailed),
        nullptr);
  });
}

}  // namespace twig
