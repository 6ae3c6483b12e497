#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/DeviceState.h"
#include "platform/MainLoop.h"
#include "platform/linux/LogindLockState.h"
#include "platform/linux/UPowerBattery.h"

namespace twig {

// The lock state of the login session (logind's "LockedHint" over D-Bus, followed by its change
// signals where the session is known; unlocked everywhere else) and the battery from UPower over
// D-Bus where it runs (followed through its signals), else from /sys/class/power_supply (capacity /
// 100 of the first battery, -1 without one) read every minute. Changes are reported on the main loop.
class LinuxDeviceState final : public DeviceState {
 public:
  struct Options {
    std::filesystem::path powerSupplies = "/sys/class/power_supply";
    std::optional<std::string> sessionId;  // nothing: no login session, always unlocked
    std::string busAddress;                // empty: the system bus, where logind and UPower are
    bool upower = true;                    // false: the battery from the folder only
    // How long the first report waits for logind's (UPower's) first answer.
    std::chrono::milliseconds firstLockAnswer{500};
    std::chrono::milliseconds firstBatteryAnswer{500};
    std::chrono::seconds batteryPollInterval{60};
  };

  LinuxDeviceState(MainLoop& loop, Options options);
  ~LinuxDeviceState() override;
  LinuxDeviceState(const LinuxDeviceState&) = delete;
  LinuxDeviceState& operator=(const LinuxDeviceState&) = delete;

  void observeLockState(std::function<void(std::uint64_t)> listener) override;
  double batteryLevel() override;
  void observeBatteryLevel(std::function<void(double)> listener) override;

  // One reading of the battery folder.
  static double readBattery(const std::filesystem::path& powerSupplies);
  // The session id of this process's login session, if it has one.
  static std::optional<std::string> currentSessionId();

 private:
  void lockReported(bool locked);
  void batteryReported(double level);
  void watcherEnded();

  MainLoop& loop_;
  Options options_;
  std::function<void(std::uint64_t)> lockListener_;
  std::function<void(double)> batteryListener_;
  double lastBattery_ = -2;
  TimerHandle batteryTimer_;
  std::mutex mutex_;
  std::condition_variable answered_;
  std::optional<bool> locked_;            // logind's last answer
  std::optional<bool> lastReportedLock_;  // main loop only
  std::unique_ptr<LogindLockState> lockWatcher_;
  std::optional<double> upowerLevel_;  // UPower's last answer
  std::unique_ptr<UPowerBattery> batteryWatcher_;
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace twig
