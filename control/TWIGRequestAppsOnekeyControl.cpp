#include "control/TWIGRequestAppsOnekeyControl.h"

#include "control/TWIGManagementHelper.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/UserDefaults.h"
#include "storage/TWIGCache.h"

namespace twig {

void TWIGRequestAppsOnekeyControl::responseAppsOnekeyControl(const std::string& uuid) {
  const auto snapshot = TWIGManagementHelper::groupsAndApps(true);
  rebuildTable();
  publish(responseMessage("ResponseAppsOnekeyControl", uuid,
                          Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}},
                          snapshot.readable ? kAcknowledged : kFailed),
          [](const std::optional<TWIGError>& error) {
            if (!error) TWIGCache::setBool(true, kEnabledKey);
          });
}

void TWIGRequestAppsOnekeyControl::receiveMessagePayload(const Json& payload) {
  const std::string uuid = commandUuid(payload);
  // The monitoring table belongs to the main loop.
  auto self = this->self<TWIGRequestAppsOnekeyControl>();
  context().mainLoop->post([self, uuid] {
    const auto installed = TWIGManagementHelper::fetchInstallationApps();
    if (installed && !installed->empty() &&
        !port::userDefaults().boolForKey(TWIGManagementHelper::kAppsCacheDefault)) {
      TWIGManagementHelper::postInstallationAppsWithAddApp(
          self->context().deviceId, *installed, [self, uuid](const std::vector<TWGIAppsModel>& models, bool) {
            // Without registered applications there is nothing to answer; the parent asks again.
            if (!models.empty()) self->responseAppsOnekeyControl(uuid);
          });
      return;
    }
    self->responseAppsOnekeyControl(uuid);
  });
}

}  // namespace twig
