#include "control/AppControlManager.h"

#include <algorithm>
#include <atomic>
#include <unordered_set>

#include "api/Utils.h"
#include "control/AppControlPolicy.h"
#include "control/AppInventory.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "identity/ChildIdentity.h"
#include "platform/ApplicationEvents.h"
#include "platform/AudioPlayer.h"
#include "platform/Clock.h"
#include "platform/DeviceState.h"
#include "platform/FailureLog.h"
#include "platform/LocalTime.h"
#include "platform/Ports.h"
#include "platform/UserDefaults.h"
#include "storage/StoredNames.h"
#include "storage/TableStore.h"

namespace twig {

using namespace std::chrono_literals;

namespace {}  // namespace

AppControlManager::AppControlManager(Services services, ChildIdentity& child, AppInventory& inventory,
                                     ControlEvents& events, RemoteEvents& remote, int warningLead)
    : services_(services),
      child_(child),
      inventory_(inventory),
      events_(events),
      remote_(remote),
      warningLead_(warningLead < 0 ? 0 : warningLead) {
  playKeepAliveSound();
  deviceLockStatus();
  if (!inventory_.inventoryStored()) inventory_.postInstallationAppsWithAddApp(std::nullopt, nullptr);
  auto& notifications = services_.ports.notifications;
  auto& loop = services_.ports.mainLoop;
  std::weak_ptr<bool> alive = alive_;
  audioRoute_ = notifications.addObserver(ApplicationEvents::kAudioRouteChange,
                                          [this, alive, &loop](const Notification&) {
                                            loop.post([this, alive] {
                                              if (!alive.expired()) playKeepAliveSound();
                                            });
                                          });
  // "Reset" may come from the push channel's thread; the manager's work belongs to the main loop.
  resetObserver_ = remote_.reset.connect([this, alive, &loop] {
    loop.post([this, alive] {
      if (!alive.expired()) reset();
    });
  });
  loop.postAfter(1s, [this, alive] {
    if (alive.expired()) return;
    openSelf();
    if (child_.isBound()) start();
    if (inventory_.inventoryStored()) rebuildMonitoringTable();
  });
  auto& state = services_.ports.deviceState;
  {
    std::lock_guard lock(stateMutex_);
    battery_ = state.batteryLevel();
  }
  state.observeBatteryLevel([this, alive](double level) {
    if (alive.expired()) return;
    std::lock_guard lock(stateMutex_);
    battery_ = level;
  });
}

AppControlManager::~AppControlManager() {
  *alive_ = false;
  alive_.reset();
}

std::string AppControlManager::screenStatus() const {
  std::lock_guard lock(stateMutex_);
  return screenStatus_;
}

double AppControlManager::battery() const {
  std::lock_guard lock(stateMutex_);
  return battery_;
}

bool AppControlManager::isReset() const {
  std::lock_guard lock(stateMutex_);
  return isReset_;
}

void AppControlManager::playKeepAliveSound() {
  services_.ports.audioPlayer.playLooping(kSilentSound);
}

void AppControlManager::openSelf() {
  openApplication(kOwnBundleIdentifier);
}

void AppControlManager::openApplication(const std::string&) {}

void AppControlManager::deviceLockStatus() {
  std::weak_ptr<bool> alive = alive_;
  inventory_.fetchSpringboardLockstate([this, alive](std::uint64_t state) {
    if (!alive.expired()) onLockState(state);
  });
}

void AppControlManager::onLockState(std::uint64_t state) {
  bool replayReset = false;
  {
    std::lock_guard lock(stateMutex_);
    if (state == 1) {
      screenStatus_ = kScreenLocked;
    } else if (state == 0) {
      screenStatus_ = kScreenInUse;
      replayReset = isReset_;
    }
  }
  // A reset that arrived while the screen was locked runs again now that the child uses it.
  if (replayReset) remote_.reset.notify();
}

void AppControlManager::start() {
  if (timer_.isValid()) return;
  std::weak_ptr<bool> alive = alive_;
  timer_ = services_.ports.mainLoop.scheduleRepeating(kEvaluationInterval, [this, alive] {
    if (!alive.expired()) evaluate();
  });
}

void AppControlManager::reset() {
  {
    std::lock_guard lock(stateMutex_);
    isReset_ = screenStatus_ == kScreenLocked;
  }
  setArrayMonitorings(Json::array());
  timer_.invalidate();
  services_.ports.userDefaults.removeObject(stored::kAppsReported);
  std::weak_ptr<bool> alive = alive_;
  services_.ports.mainLoop.postAfter(1s, [this, alive] {
    if (!alive.expired()) inventory_.postInstallationAppsWithAddApp(std::nullopt, nullptr);
  });
}

std::optional<Json> AppControlManager::buildMonitoringTable() const {
  const TableStore store(services_.tables.databaseFile());
  const auto groups = store.readRows(ControlGroupRecord());
  const auto others = groups ? store.readRows(ControlGroupRecord(), "type", Json(0)) : std::nullopt;
  if (!others) {
    tableTrouble_.failed("the control groups cannot be read (" + store.lastError() + ")");
    return std::nullopt;
  }
  const bool hasOther = !others->empty();
  const std::string otherId = hasOther ? Utils::stringValue(others->front(), "groupId") : std::string();
  Json table = Json::array();
  for (const auto& group : *groups) {
    const std::string groupId = Utils::stringValue(group, "groupId");
    if (hasOther && groupId == otherId) continue;
    const auto rows = store.readRows(AppRecord(), "groupId", Json(groupId));
    if (!rows) {
      tableTrouble_.failed("the controlled applications cannot be read (" + store.lastError() + ")");
      return std::nullopt;
    }
    Json entry = group;
    Json apps = Json::array();
    for (const auto& app : *rows) {
      apps.push_back(Json{{"appPackage", app["appPackage"]},
                          {"appName", app["appName"]},
                          {"processName", app["processName"]}});
    }
    entry["apps"] = std::move(apps);
    table.push_back(std::move(entry));
  }
  tableTrouble_.succeeded();
  return table;
}

void AppControlManager::rebuildMonitoringTable() {
  // A database that cannot be read now (locked, damaged, on a full or vanished disk) says nothing
  // about the groups: the last table read stays, so control goes on as it was.
  if (auto table = buildMonitoringTable()) {
    setArrayMonitorings(*table);
  } else {
    evaluate();
  }
}

void AppControlManager::setArrayMonitorings(const Json& monitorings) {
  monitorings_ = monitorings.is_array() ? monitorings : Json::array();
  groups_ = AppControlPolicy::parseTable(monitorings_);
  evaluate();
}

std::string AppControlManager::week() const {
  return std::to_string(toLocalTime(services_.ports.clock.now()).weekday);
}

void AppControlManager::evaluate() {
  const LocalTime now = toLocalTime(services_.ports.clock.now());
  const int minute = now.hour * 60 + now.minute;
  std::vector<AppControlPolicy::Offending> offending;
  std::vector<AppControlPolicy::ClosingSoon> closing;
  // The process table is read only when some group is outside its window or about to close it.
  const bool controlled = AppControlPolicy::anyControlled(groups_, now.weekday, minute);
  if (controlled || AppControlPolicy::anyClosingWithin(groups_, now.weekday, minute, warningLead_)) {
    if (auto names = inventory_.runningProcesses()) {
      const std::unordered_set<std::string> running(names->begin(), names->end());
      if (controlled) offending = AppControlPolicy::offendingGroups(groups_, running, now.weekday, minute);
      closing = AppControlPolicy::closingSoon(groups_, running, now.weekday, minute, warningLead_);
    }
  }
  warnClosingSoon(closing, now.weekday, minute);
  blacklist_ = AppControlPolicy::blacklist(offending);
  if (!blacklist_.empty()) {
    openSelf();
    events_.started.notify(blacklist_);
  } else {
    events_.ended.notify();
  }
}

void AppControlManager::warnClosingSoon(const std::vector<AppControlPolicy::ClosingSoon>& closing,
                                        int weekday, int minute) {
  // A group leaves the set when its window has closed (or moved): its next closing warns again.
  for (auto it = warned_.begin(); it != warned_.end();) {
    const bool stillClosing =
        std::any_of(groups_.begin(), groups_.end(), [&](const AppControlPolicy::Group& group) {
          return group.groupName == it->first && group.endMinute == it->second &&
                 AppControlPolicy::closesWithin(group, weekday, minute, warningLead_).has_value();
        });
    it = stillClosing ? std::next(it) : warned_.erase(it);
  }
  for (const auto& entry : closing) {
    if (!warned_.emplace(entry.group->groupName, *entry.group->endMinute).second) continue;
    Json apps = Json::array();
    for (const auto* app : entry.apps) apps.push_back(app->appName);
    events_.closingSoon.notify(Json{{"groupName", entry.group->groupName},
                                    {"endTime", entry.group->endTime},
                                    {"minutesLeft", entry.minutesLeft},
                                    {"apps", std::move(apps)}});
  }
}

}  // namespace twig
