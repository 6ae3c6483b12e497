#include "control/OneKeyControlHandler.h"

#include "control/AppInventory.h"
#include "messaging/Protocol.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/UserDefaults.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

void OneKeyControlHandler::responseAppsOnekeyControl(const std::string& uuid) {
  const auto snapshot = inventory().groupsAndApps(true);
  rebuildTable();
  publish(responseMessage(protocol::kResponseAppsOnekeyControl, uuid,
                          Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}},
                          snapshot.readable ? kAcknowledged : kFailed),
          [&cache = cache()](const std::optional<Error>& error) {
            if (!error) cache.setBool(true, stored::kOneKeyControlEnabled);
          });
}

void OneKeyControlHandler::receive(const Command& command) {
  const std::string uuid = command.uuid;
  // The monitoring table belongs to the main loop.
  auto self = this->self<OneKeyControlHandler>();
  context().mainLoop->post([self, uuid] {
    const auto installed = self->inventory().fetchInstallationApps();
    if (installed && !installed->empty() && !self->inventory().inventoryStored()) {
      self->inventory().postInstallationAppsWithAddApp(
          self->context().deviceId, *installed, [self, uuid](const std::vector<AppRecord>& models, bool) {
            // Without registered applications there is nothing to answer; the parent asks again.
            if (!models.empty()) self->responseAppsOnekeyControl(uuid);
          });
      return;
    }
    self->responseAppsOnekeyControl(uuid);
  });
}

}  // namespace twig
