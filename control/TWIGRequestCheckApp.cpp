#include "control/TWIGRequestCheckApp.h"

#include <algorithm>

#include "api/TWIGUtils.h"
#include "control/TWIGManagementHelper.h"
#include "control/TWIGRequestAppsOnekeyControl.h"
#include "platform/MainLoop.h"
#include "storage/TWIGCache.h"

namespace twig {

namespace {

Json recordsMissingFrom(const Json& records, const Json& others) {
  Json missing = Json::array();
  for (const auto& record : records) {
    const bool present = std::any_of(others.begin(), others.end(), [&](const Json& other) {
      return TWIGManagementHelper::sameRecord(record, other);
    });
    if (!present) missing.push_back(record);
  }
  return missing;
}

void remember(const Json& installed) {
  TWIGCache::setObjectValue(CacheObject(installed), TWIGManagementHelper::kInstalledAppsKey);
}

}  // namespace

void TWIGRequestCheckApp::receiveMessagePayload(const Json&) {
  auto self = this->self<TWIGRequestCheckApp>();
  context().mainLoop->post([self] { self->check(); });
}

void TWIGRequestCheckApp::check() {
  if (!TWIGCache::boolForKey(TWIGRequestAppsOnekeyControl::kEnabledKey)) return;
  Json cached = Json::array();
  if (auto stored = TWIGCache::objectForKey(TWIGManagementHelper::kInstalledAppsKey)) {
    if (auto list = stored->plain(); list && list->is_array()) cached = *list;
  }
  const Json current = TWIGManagementHelper::fetchInstallationApps().value_or(Json::array());
  const Json installed = recordsMissingFrom(current, cached);
  const Json removed = recordsMissingFrom(cached, current);

  if (!installed.empty()) {
    TWIGManagementHelper::postInstallationAppsWithAddApp(
        context().deviceId, installed,
        [self = this->self<TWIGRequestCheckApp>(), current](const std::vector<TWGIAppsModel>& models,
                                                            bool succeeded) {
          for (const auto& model : models) {
            self->publish(
                self->eventMessage("EventAppInstall", Json{{"appPackage", model.appPackage.value_or("")},
                                                           {"appName", model.appName.value_or("")},
                                                           {"groupId", model.groupId.value_or("")}}),
                nullptr);
          }
          if (succeeded) remember(current);
          self->rebuildTable();
        });
  }
  if (!removed.empty()) {
    for (const auto& record : removed) {
      publish(
          eventMessage("EventAppUninstall", Json{{"appPackage", TWIGUtils::stringValue(record, "bundleId")}}),
          nullptr);
    }
    // The known list loses the removed applications; installations not yet registered stay unknown.
    remember(recordsMissingFrom(cached, removed));
    rebuildTable();
  }
}

}  // namespace twig
