#include "control/CheckAppHandler.h"

#include <algorithm>

#include "api/Utils.h"
#include "control/AppInventory.h"
#include "control/OneKeyControlHandler.h"
#include "messaging/Protocol.h"
#include "platform/MainLoop.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

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

void remember(ObjectCache& cache, const Json& installed) {
  cache.setObjectValue(CacheObject(installed), stored::kInstalledApps);
}

}  // namespace

void CheckAppHandler::receive(const Command&) {
  auto self = this->self<CheckAppHandler>();
  context().mainLoop->post([self] { self->check(); });
}

void CheckAppHandler::check() {
  if (!cache().boolForKey(stored::kOneKeyControlEnabled)) return;
  Json cached = Json::array();
  if (auto stored = cache().objectForKey(stored::kInstalledApps)) {
    if (auto list = stored->plain(); list && list->is_array()) cached = *list;
  }
  const auto listed = inventory().fetchInstallationApps();
  // A list that cannot be read (missing, half written) says nothing about what was removed.
  if (!listed) return;
  const Json& current = *listed;
  const Json installed =
      recordsMissingFrom(recordsMissingFrom(current, cached), inventory().beingRegistered());
  const Json removed = recordsMissingFrom(cached, current);

  if (!installed.empty()) {
    for (const auto& record : installed) inventory().beingRegistered().push_back(record);
    inventory().postInstallationAppsWithAddApp(
        context().deviceId, installed,
        [self = this->self<CheckAppHandler>(), current, installed](const std::vector<AppRecord>& models,
                                                                   bool succeeded) {
          auto& registering = self->inventory().beingRegistered();
          registering = recordsMissingFrom(registering, installed);
          for (const auto& model : models) {
            self->publish(self->eventMessage(protocol::kEventAppInstall,
                                             Json{{"appPackage", model.appPackage.value_or("")},
                                                  {"appName", model.appName.value_or("")},
                                                  {"groupId", model.groupId.value_or("")}}),
                          nullptr);
          }
          if (succeeded) remember(self->cache(), current);
          self->rebuildTable();
        });
  }
  if (!removed.empty()) {
    for (const auto& record : removed) {
      publish(eventMessage(protocol::kEventAppUninstall,
                           Json{{"appPackage", Utils::stringValue(record, "bundleId")}}),
              nullptr);
    }
    // The known list loses the removed applications; installations not yet registered stay unknown.
    remember(cache(), recordsMissingFrom(cached, removed));
    rebuildTable();
  }
}

}  // namespace twig
