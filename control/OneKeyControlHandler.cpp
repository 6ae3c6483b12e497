#include "control/OneKeyControlHandler.h"

#include "control/AppInventory.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/UserDefaults.h"
#include "storage/Cache.h"

namespace twig {

void OneKeyControlHandler::responseAppsOnekeyControl(const std::string& uuid) {
  const auto snapshot = AppInventory::groupsAndApps(true);
  rebuildTable();
  publish(responseMessage("ResponseAppsOnekeyControl", uuid,
                          Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}},
                          snapshot.readable ? kAcknowledged : kFailed),
          [](const std::optional<Error>& error) {
            if (!error) Cache::setBool(true, kEnabledKey);
          });
}

void OneKeyControlHandler::receiveMessagePayload(const Json& payload) {
  const std::string uuid = commandUuid(payload);
  // The monitoring table belongs to the main loop.
  auto self = this->self<OneKeyControlHandler>();
  context().mainLoop->post([self, uuid] {
    const auto installed = AppInventory::fetchInstallationApps();
    if (installed && !installed->empty() &&
        !port::userDefaults().boolForKey(AppInventory::kAppsCacheDefault)) {
      AppInventory::postInstallationAppsWithAddApp(
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
