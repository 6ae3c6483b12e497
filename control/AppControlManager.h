#pragma once

#include "control/AppInventory.h"
#include "control/ControlEvents.h"
#include "frame/Services.h"
#include "messaging/RemoteEvents.h"
#include "platform/FailureLog.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "control/AppControlPolicy.h"
#include "platform/Json.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"

namespace twig {

class ChildIdentity;

// The app-control manager: keeps the screen status and battery level, keeps the agent alive in the
// background, and every 10 seconds compares the running processes with the monitoring table (each
// controlled group with its applications and weekly window), posting "EventAppControlStart" with
// the offending groups or "EventAppControlEnd". Its monitoring table and evaluations belong to the
// main loop; the screen status and battery may be read from any thread.
class AppControlManager final {
 public:
  static constexpr const char* kScreenInUse = "孩子端使用中";
  static constexpr const char* kScreenLocked = "当前处于锁屏状态";
  static constexpr const char* kOwnBundleIdentifier = "com.orvane.tessel.children";
  static constexpr const char* kSilentSound = "无声";
  static constexpr int kDefaultWarningLead = 5;
  static constexpr std::chrono::seconds kEvaluationInterval{10};

  // Starts its work at once: the keep-alive sound, the lock state, the inventory's first upload, and
  // a second later the evaluation when the device is bound. Made on the main loop.
  AppControlManager(Services services, ChildIdentity& child, AppInventory& inventory, ControlEvents& events,
                    RemoteEvents& remote, int warningLead = kDefaultWarningLead);
  ~AppControlManager();
  AppControlManager(const AppControlManager&) = delete;
  AppControlManager& operator=(const AppControlManager&) = delete;

  std::string screenStatus() const;
  double battery() const;
  bool isReset() const;
  const Json& blacklist() const { return blacklist_; }
  const Json& arrayMonitorings() const { return monitorings_; }
  bool isMonitoring() const { return timer_.isValid(); }

  void start();
  void reset();
  void playKeepAliveSound();
  void openSelf();
  // The hook that would bring an application to the foreground; there is nothing to do here.
  void openApplication(const std::string& bundleIdentifier);
  void deviceLockStatus();

  // Rebuilds the monitoring table from the table store, then evaluates at once.
  void rebuildMonitoringTable();
  // Stores the monitoring table (an array; anything else empties it), then evaluates at once.
  void setArrayMonitorings(const Json& monitorings);
  void evaluate();
  // Minutes before a window closes at which running applications are warned of; 0 warns never.
  void setWarningLead(int minutes) { warningLead_ = minutes < 0 ? 0 : minutes; }

  // Today's day number, "0" (Sunday) to "6".
  std::string week() const;
  // The monitoring table as the stored groups and applications give it; nothing (and one line on
  // stderr per cause) when the tables cannot be read.
  std::optional<Json> buildMonitoringTable() const;

 private:
  void onLockState(std::uint64_t state);
  // Tells closingSoon for each group newly closing soon; forgets the groups no longer closing.
  void warnClosingSoon(const std::vector<AppControlPolicy::ClosingSoon>& closing, int weekday, int minute);

  Services services_;
  ChildIdentity& child_;
  AppInventory& inventory_;
  ControlEvents& events_;
  RemoteEvents& remote_;
  // The evaluation rebuilds its table after every command and reads it at start: a database in
  // trouble is told once per cause, not at every rebuild.
  mutable FailureLog tableTrouble_{"app control keeps its last groups"};
  mutable std::mutex stateMutex_;
  std::string screenStatus_ = kScreenInUse;
  double battery_ = -1;
  bool isReset_ = false;

  Json monitorings_ = Json::array();
  std::vector<AppControlPolicy::Group> groups_;  // monitorings_, parsed once
  Json blacklist_ = Json::array();
  int warningLead_;
  std::set<std::pair<std::string, int>> warned_;  // group name and closing minute, warned of already
  TimerHandle timer_;
  ObserverToken audioRoute_;
  ObserverToken resetObserver_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace twig
