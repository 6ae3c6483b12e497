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
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_all();
  if (lockWatcher_.joinable()) lockWatcher_.join();
}

std::optional<std::string> LinuxDeviceState::currentSessionId() {
  const char* id = std::getenv("XDG_SESSION_ID");
  if (id == nullptr || *id == '\0') return std::nullopt;
  return std::string(id);
}

std::optional<bool> LinuxDeviceState::askLocked() const {
  if (!options_.sessionId) return std::nullopt;
  // The id comes from the environment: only plain ids are passed to the shell.
  const std::string& id = *options_.sessionId;
  if (!std::all_of(id.begin(), id.end(),
                   [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; })) {
    return std::nullopt;
  }
  FILE* pipe = ::popen(("loginctl show-session " + id + " -p LockedHint --value 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::array<char, 64> buffer{};
  std::string answer;
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) answer += buffer.data();
  if (::pclose(pipe) != 0) return std::nullopt;
  if (answer.rfind("yes", 0) == 0) return true;
  if (answer.rfind("no", 0) == 0) return false;
  return std::nullopt;
}

void LinuxDeviceState::observeLockState(std::function<void(std::uint64_t)> listener) {
  lockListener_ = std::move(listener);
  const bool lockedNow = askLocked().value_or(false);
  if (lockListener_) lockListener_(lockedNow ? 1 : 0);
  if (!options_.sessionId || lockWatcher_.joinable()) return;
  auto alive = alive_;
  lockWatcher_ = std::thread([this, alive, last = lockedNow]() mutable {
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        if (stop_.wait_for(lock, options_.lockPollInterval, [&] { return stopping_; })) return;
      }
      const bool locked = askLocked().value_or(false);
      if (locked == last) continue;
      last = locked;
      loop_.post([this, alive, locked] {
        if (*alive && lockListener_) lockListener_(locked ? 1 : 0);
      });
    }
  });
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
  return readBattery(options_.powerSupplies);
}

void LinuxDeviceState::observeBatteryLevel(std::function<void(double)> listener) {
  batteryListener_ = std::move(listener);
  lastBattery_ = batteryLevel();
  batteryTimer_ = loop_.scheduleRepeating(options_.batteryPollInterval, [this] {
    const double level = batteryLevel();
    if (level == lastBattery_) return;
    lastBattery_ = level;
    if (batteryListener_) batteryListener_(level);
  });
}

}  // namespace twig
