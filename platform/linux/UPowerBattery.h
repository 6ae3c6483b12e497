#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "platform/linux/WatcherThread.h"

namespace twig {

// The battery as UPower sees it over D-Bus: the display device's Percentage / 100 while IsPresent,
// -1 without a battery; read once, then followed through its change signals. The listener runs on
// the watcher's own thread. Without UPower it reports nothing.
class UPowerBattery {
 public:
  using Listener = std::function<void(double level)>;

  // `busAddress` empty: the system bus. `ended` runs on the watcher's thread when it gives up (no
  // bus, no UPower) or stops.
  explicit UPowerBattery(Listener listener, std::string busAddress = {},
                         std::function<void()> ended = nullptr);
  ~UPowerBattery();
  UPowerBattery(const UPowerBattery&) = delete;
  UPowerBattery& operator=(const UPowerBattery&) = delete;

  bool following() const { return following_; }
  // True once the watcher gave up (no bus, no answer) or was stopped.
  bool ended() const { return thread_.ended(); }

 private:
  void watch(int wake);

  Listener listener_;
  std::string busAddress_;
  std::atomic<bool> following_{false};
  WatcherThread thread_;  // last: it goes first
};

}  // namespace twig
