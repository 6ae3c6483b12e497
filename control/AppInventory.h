#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "frame/Services.h"
#include "platform/FailureLog.h"
#include "platform/Json.h"

namespace twig {

class ChildIdentity;

// What app control asks of the platform and of the service about applications: the running
// processes, the lock state, the installed applications and their upload.
class AppInventory {
 public:
  AppInventory(Services services, ChildIdentity& child);
  AppInventory(const AppInventory&) = delete;
  AppInventory& operator=(const AppInventory&) = delete;

  // Names of all running processes; nothing when the table cannot be read.
  std::optional<std::vector<std::string>> runningProcesses();
  // Calls `listener` now and on every change of the lock state (0 unlocked, 1 locked).
  void fetchSpringboardLockstate(std::function<void(std::uint64_t state)> listener);
  // Whether the whole inventory was uploaded and stored once ("kChildAppsCache" in user defaults).
  bool inventoryStored() const;
  // The installed-application records the platform supplies; nothing without a list.
  std::optional<Json> fetchInstallationApps();

  // The inventory upload: makes the three built-in groups when missing, sends `added` (or, when
  // empty, the whole installed list) to the service and files the answered applications into
  // groups by their category tags. `done` gets the models of the added applications (empty for a
  // full upload or a failure) and whether the upload went through.
  using Uploaded = std::function<void(const std::vector<AppRecord>& models, bool succeeded)>;
  // Under `deviceId` (a command's device); the two-argument form uploads for this computer's child.
  void postInstallationAppsWithAddApp(const std::string& deviceId, const std::optional<Json>& added,
                                      Uploaded done);
  void postInstallationAppsWithAddApp(const std::optional<Json>& added, Uploaded done);

  // The built-in group of a type (0 Other, 1 social, 2 games), made and stored when missing;
  // nothing when the table cannot be read or the new group not stored (an application filed under
  // a group that no table holds would be watched by no group for ever).
  std::optional<ControlGroupRecord> builtInGroup(int type);
  // The group type for a list of category tags (absent or null: Other).
  static int groupTypeForTags(const Json& tags);
  // The tags of an application in the service's answer; when the service has none for it, the
  // tags its platform record carries ("tagIds" of the installed list), else null.
  static Json tagsOf(const Json& answered, const Json& installed);

  // The stored picture for the parent: every group but the Other group with its applications
  // ({"appPackage", "appName", "version", "processName"}), and the Other group's applications, in
  // that four-key form or, with `briefOtherApps`, as {"appPackage", "appName"} only.
  struct Snapshot {
    Json appControlGroups = Json::array();
    Json apps = Json::array();
    bool readable = true;  // false: the tables could not be read, and both lists are empty
  };
  Snapshot groupsAndApps(bool briefOtherApps);
  // Whether two installed-application records are the same application (all members equal).
  static bool sameRecord(const Json& a, const Json& b);

  // Installations whose registration is under way (main loop only): a check that runs meanwhile (a
  // redelivered command) leaves them to it instead of reporting them a second time.
  Json& beingRegistered() { return beingRegistered_; }
  FailureLog& groupChangeTrouble() { return groupChangeTrouble_; }

 private:
  Services services_;
  ChildIdentity& child_;
  Json beingRegistered_ = Json::array();
  // A database in trouble is told once per cause, whichever upload or change meets it.
  FailureLog trouble_{"the installed applications were not stored"};
  FailureLog groupChangeTrouble_{"a group change was not stored"};
};

}  // namespace twig
