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

// Installations whose registration is under way (main loop only): a check that runs meanwhile (a
// redelivered command) leaves them to it instead of reporting them a second time.
Json& beingRegistered() {
  static Json records = Json::array();
  return records;
}

void registrationEnded(const Json& records) {
  beingRegistered() = recordsMissingFrom(beingRegistered(), records);
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
  const auto listed = TWIGManagementHelper::fetchInstallationApps();
  // A list that cannot be read (missing, half written) says nothing about what was removed.
  if (!listed) return;
  const Json& current = *listed;
  const Json installed = recordsMissingFrom(recordsMissingFrom(current, cached), beingRegistered());
  const Json removed = recordsMissingFrom(cached, current);

  if (!installed.empty()) {
    for (const auto& record : installed) beingRegistered().push_back(record);
    TWIGManagementHelper::postInstallationAppsWithAddApp(
        context().deviceId, installed,
        [self = this->self<TWIGRequestCheckApp>(), current, installed](
            const std::vector<TWGIAppsModel>& models, bool succeeded) {
          registrationEnded(installed);
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
