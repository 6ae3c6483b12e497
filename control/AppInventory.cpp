#include "control/AppInventory.h"
#include "api/Utils.h"

#include <algorithm>

#include "api/ApiClient.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/DeviceState.h"
#include "platform/FailureLog.h"
#include "platform/InstalledApplications.h"
#include "platform/Ports.h"
#include "platform/ProcessTable.h"
#include "platform/UserDefaults.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "storage/TableStore.h"

namespace twig {

namespace {

const char* const kBuiltInNames[] = {"其它", "社交", "游戏"};

}  // namespace

AppInventory::AppInventory(Services services, ChildIdentity& child) : services_(services), child_(child) {}

bool AppInventory::inventoryStored() const {
  return services_.ports.userDefaults.boolForKey(stored::kAppsReported);
}

std::optional<std::vector<std::string>> AppInventory::runningProcesses() {
  return services_.ports.processTable.runningProcesses();
}

void AppInventory::fetchSpringboardLockstate(std::function<void(std::uint64_t)> listener) {
  services_.ports.deviceState.observeLockState(std::move(listener));
}

std::optional<Json> AppInventory::fetchInstallationApps() {
  auto* installed = &services_.ports.installedApplications;
  if (installed == nullptr) return std::nullopt;
  auto list = installed->fetch();
  if (!list || !list->is_array()) return std::nullopt;
  return list;
}

std::optional<ControlGroupRecord> AppInventory::builtInGroup(int type) {
  const TableStore store(services_.tables.databaseFile());
  const auto rows = store.readRows(ControlGroupRecord(), "type", Json(type));
  // A table that cannot be read may well hold the group: a second one would split its applications.
  if (!rows) return std::nullopt;
  if (!rows->empty()) {
    if (auto group = Model::fetchModelOfClass<ControlGroupRecord>(rows->front())) return group;
  }
  ControlGroupRecord group;
  group.groupName = kBuiltInNames[std::clamp(type, 0, 2)];
  group.type = Json(type);
  if (!store.insertData(group)) return std::nullopt;
  return group;
}

Json AppInventory::tagsOf(const Json& answered, const Json& installed) {
  if (answered.contains("tagIds") && answered["tagIds"].is_array()) return answered["tagIds"];
  // An application the service's catalogue does not know: the tags its platform gave it.
  const std::string package = Utils::stringValue(answered, "appPackage");
  for (const auto& app : installed) {
    if (Utils::stringValue(app, "bundleId") == package && app.is_object() && app.contains("tagIds"))
      return app["tagIds"];
  }
  return nullptr;
}

int AppInventory::groupTypeForTags(const Json& tags) {
  if (!tags.is_array()) return 0;
  auto has = [&](long long tag) {
    return std::any_of(tags.begin(), tags.end(),
                       [&](const Json& t) { return t.is_number() && t.get<long long>() == tag; });
  };
  if (has(6005)) return 1;
  if (has(6014)) return 2;
  const bool game = std::any_of(tags.begin(), tags.end(), [](const Json& t) {
    if (!t.is_number()) return false;
    const double tag = t.get<double>();
    return tag > 7000 && tag < 7020;
  });
  return game ? 2 : 0;
}

void AppInventory::postInstallationAppsWithAddApp(const std::optional<Json>& added, Uploaded done) {
  postInstallationAppsWithAddApp(child_.deviceId(), added, std::move(done));
}

void AppInventory::postInstallationAppsWithAddApp(const std::string& deviceId,
                                                  const std::optional<Json>& added, Uploaded done) {
  const std::optional<ControlGroupRecord> groups[] = {builtInGroup(0), builtInGroup(1), builtInGroup(2)};
  if (!groups[0] || !groups[1] || !groups[2]) {
    // Not marked as done: the inventory is stored again at the next start or check.
    trouble_.failed("the built-in groups cannot be read or stored");
    if (done) done({}, false);
    return;
  }
  const bool adding = added && added->is_array() && !added->empty();
  const Json list = adding ? *added : fetchInstallationApps().value_or(Json::array());
  if (!list.is_array() || list.empty()) {
    if (done) done({}, true);
    return;
  }
  Json records = Json::array();
  for (const auto& app : list) {
    Json record = Json::object();
    record["appPackage"] = Utils::stringValue(app, "bundleId");
    record["processName"] = Utils::stringValue(app, "bundleExecutable");
    record["appName"] = Utils::stringValue(app, "displayName");
    record["isSystem"] = 2;
    records.push_back(std::move(record));
  }
  std::vector<std::string> groupIds;
  for (const auto& group : groups) groupIds.push_back(group->groupId.value_or(""));
  const std::string path = "apps/device/" + deviceId;
  services_.api.requestWithPath(
      path, Json{{"apps", records}}, HttpMethod::Post,
      [this, adding, list, groupIds, done, services = services_](const ApiClient::Operation&,
                                                                 const std::optional<Json>& answer) {
        Json apps = Json::array();
        if (answer && answer->is_object() && answer->contains("apps") && (*answer)["apps"].is_array()) {
          apps = (*answer)["apps"];
        }
        const TableStore store(services.tables.databaseFile());
        std::vector<AppRecord> result;
        bool stored = true;
        for (const auto& record : apps) {
          if (!record.is_object()) continue;
          AppRecord model;
          model.appPackage = Utils::stringValue(record, "appPackage");
          model.appName = Utils::stringValue(record, "appName");
          model.version = Utils::stringValue(record, "version");
          model.processName = Utils::stringValue(record, "processName");
          model.groupId = groupIds[static_cast<std::size_t>(groupTypeForTags(tagsOf(record, list)))];
          // An application keeps the group it got when it was first seen.
          const auto known = store.readRows(AppRecord(), "appPackage", Json(*model.appPackage));
          if (!known || (known->empty() && !store.insertData(model))) stored = false;
          if (adding) result.push_back(std::move(model));
        }
        if (!stored) {
          // Not marked as done: the inventory is stored again at the next start or check.
          trouble_.failed(store.lastError());
          if (done) done(result, false);
          return;
        }
        trouble_.succeeded();
        auto& defaults = services.ports.userDefaults;
        if (!defaults.objectForKey(stored::kAppsReported)) {
          services.cache.setObjectValue(CacheObject(list), stored::kInstalledApps);
        }
        defaults.setBool(stored::kAppsReported, true);
        if (done) done(result, true);
      },
      [done](const ApiClient::Operation&, const Error&) {
        if (done) done({}, false);
      });
}

AppInventory::Snapshot AppInventory::groupsAndApps(bool briefOtherApps) {
  Snapshot snapshot;
  Snapshot unreadable;
  unreadable.readable = false;
  const TableStore store(services_.tables.databaseFile());
  const auto others = store.readRows(ControlGroupRecord(), "type", Json(0));
  const auto groups = store.readRows(ControlGroupRecord());
  if (!others || !groups) return unreadable;
  const bool hasOther = !others->empty();
  const std::string otherId = hasOther ? Utils::stringValue(others->front(), "groupId") : std::string();
  for (const auto& group : *groups) {
    const std::string groupId = Utils::stringValue(group, "groupId");
    const bool isOther = hasOther && groupId == otherId;
    Json apps = Json::array();
    const auto rows = store.readRows(AppRecord(), "groupId", Json(groupId));
    if (!rows) return unreadable;
    for (const auto& app : *rows) {
      if (isOther && briefOtherApps) {
        apps.push_back(Json{{"appPackage", app["appPackage"]}, {"appName", app["appName"]}});
      } else {
        apps.push_back(Json{{"appPackage", app["appPackage"]},
                            {"appName", app["appName"]},
                            {"version", app["version"]},
                            {"processName", app["processName"]}});
      }
    }
    if (isOther) {
      for (auto& app : apps) snapshot.apps.push_back(std::move(app));
    } else {
      Json entry = group;
      entry["apps"] = std::move(apps);
      snapshot.appControlGroups.push_back(std::move(entry));
    }
  }
  return snapshot;
}

bool AppInventory::sameRecord(const Json& a, const Json& b) {
  // Compared as plain dictionaries: the order of the members does not matter.
  return nlohmann::json::parse(a.dump()) == nlohmann::json::parse(b.dump());
}

}  // namespace twig
