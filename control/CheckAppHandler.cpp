#include "control/CheckAppHandler.h"

#include <algorithm>

#include "api/Utils.h"
#include "control/AppInventory.h"
#include "control/OneKeyControlHandler.h"
#include "platform/MainLoop.h"
#include "storage/Cache.h"

namespace twig {

namespace {

Json recordsMissingFrom(const Json& records, const Json& others) {
  Json missing = Json::array();
  for (const auto& record : records) {
    const bool present = std::any_of(others.begin(), others.end(), [&](const Json& other) {
      return AppInventory::sameRecord(record, other);
    });
    if (!present) missing.push_back(record);
  }
  return missing;
}

void remember(const Json& installed) {
  Cache::setObjectValue(CacheObject(installed), AppInventory::kInstalledAppsKey);
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

void CheckAppHandler::receiveMessagePayload(const Json&) {
  auto self = this->self<CheckAppHandler>();
  context().mainLoop->post([self] { self->check(); });
}

void CheckAppHandler::check() {
  if (!Cache::boolForKey(OneKeyControlHandler::kEnabledKey)) return;
  Json cached = Json::array();
  if (auto stored = Cache::objectForKey(AppInventory::kInstalledAppsKey)) {
    if (auto list = stored->plain(); list && list->is_array()) cached = *list;
  }
  const auto listed = AppInventory::fetchInstallationApps();
  // A list that cannot be read (missing, half written) says nothing about what was removed.
  if (!listed) return;
  const Json& current = *listed;
  const Json installed = recordsMissingFrom(recordsMissingFrom(current, cached), beingRegistered());
  const Json removed = recordsMissingFrom(cached, current);

  if (!installed.empty()) {
    for (const auto& record : installed) beingRegistered().push_back(record);
    AppInventory::postInstallationAppsWithAddApp(
        context().deviceId, installed,
        [self = this->self<CheckAppHandler>(), current, installed](
            const std::vector<AppRecord>& models, bool succeeded) {
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
          eventMessage("EventAppUninstall", Json{{"appPackage", Utils::stringValue(record, "bundleId")}}),
          nullptr);
    }
    // The known list loses the removed applications; installations not yet registered stay unknown.
    remember(recordsMissingFrom(cached, removed));
    rebuildTable();
  }
}

}  // namespace twig
