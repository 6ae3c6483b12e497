#include "platform/linux/LinuxDeviceState.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace twig {

LinuxDeviceState::LinuxDeviceState(MainLoop& loop, Options options)
    : loop_(loop), options_(std::move(options)) {}

LinuxDeviceState::~LinuxDeviceState() {
  *alive_ = false;
  // Join the watchers before the members they report into go.
  lockWatcher_.reset();
  batteryWatcher_.reset();
}

std::optional<std::string> LinuxDeviceState::currentSessionId() {
  const char* id = std::getenv("XDG_SESSION_ID");
  if (id == nullptr || *id == '\0') return std::nullopt;
  return std::string(id);
}

void LinuxDeviceState::lockReported(bool locked) {
  // On the watcher's thread.
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    changed = locked_ != locked;
    locked_ = locked;
  }
  answered_.notify_all();
  if (!changed) return;
  auto alive = alive_;
  loop_.post([this, alive, locked] {
    if (!*alive || lastReportedLock_ == locked) return;
    lastReportedLock_ = locked;
    if (lockListener_) lockListener_(locked ? 1 : 0);
  });
}

void LinuxDeviceState::observeLockState(std::function<void(std::uint64_t)> listener) {
  lockListener_ = std::move(listener);
  if (!options_.sessionId) {
    lastReportedLock_ = false;
    if (lockListener_) lockListener_(0);
    return;
  }
  if (!lockWatcher_) {
    lockWatcher_ = std::make_unique<LogindLockState>(
        *options_.sessionId, [this](bool locked) { lockReported(locked); }, options_.busAddress,
        [this] { watcherEnded(); });
  }
  // The first report is logind's answer when it comes soon; "in use" when logind is not there.
  bool locked = false;
  {
    std::unique_lock lock(mutex_);
    answered_.wait_for(lock, options_.firstLockAnswer,
                       [this] { return locked_.has_value() || lockWatcher_->ended(); });
    locked = locked_.value_or(false);
  }
  lastReportedLock_ = locked;
  if (lockListener_) lockListener_(locked ? 1 : 0);
}

double LinuxDeviceState::readBattery(const std::filesystem::path& powerSupplies) {
  std::error_code error;
  std::vector<std::filesystem::path> supplies;
  for (const auto& entry : std::filesystem::directory_iterator(powerSupplies, error))
    supplies.push_back(entry.path());
  std::sort(supplies.begin(), supplies.end());
  for (const auto& supply : supplies) {
    std::ifstream type(supply / "type");
    std::string kind;
    if (!(type >> kind) || kind != "Battery") continue;
    std::ifstream capacity(supply / "capacity");
    double percent = 0;
    if (capacity >> percent && percent >= 0 && percent <= 100) return percent / 100.0;
  }
  return -1;
}

double LinuxDeviceState::batteryLevel() {
  {
    std::lock_guard lock(mutex_);
    if (upowerLevel_) return *upowerLevel_;
  }
  return readBattery(options_.powerSupplies);
}

void LinuxDeviceState::watcherEnded() {
  // On a watcher's thread: a first report waiting for it need not wait any longer.
  { std::lock_guard lock(mutex_); }
  answered_.notify_all();
}

void LinuxDeviceState::batteryReported(double level) {
  // On the watcher's thread.
  {
    std::lock_guard lock(mutex_);
    upowerLevel_ = level;
  }
  answered_.notify_all();
  auto alive = alive_;
  loop_.post([this, alive, level] {
    if (!*alive || lastBattery_ == level) return;
    lastBattery_ = level;
    if (batteryListener_) batteryListener_(level);
  });
}

void LinuxDeviceState::observeBatteryLevel(std::function<void(double)> listener) {
  batteryListener_ = std::move(listener);
  if (options_.upower && !batteryWatcher_) {
    batteryWatcher_ = std::make_unique<UPowerBattery>([this](double level) { batteryReported(level); },
                                                      options_.busAddress, [this] { watcherEnded(); });
    std::unique_lock lock(mutex_);
    answered_.wait_for(lock, options_.firstBatteryAnswer,
                       [this] { return upowerLevel_.has_value() || batteryWatcher_->ended(); });
  }
  lastBattery_ = batteryLevel();
  if (batteryWatcher_ && batteryWatcher_->following()) return;  // UPower tells of every change
  batteryTimer_ = loop_.scheduleRepeating(options_.batteryPollInterval, [this] {
    const double level = batteryLevel();
    if (level == lastBattery_) return;
    lastBattery_ = level;
    if (batteryListener_) batteryListener_(level);
  });
}

}  // namespace twig
