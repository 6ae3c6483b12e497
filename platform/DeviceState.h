#pragma once

#include <cstdint>
#include <functional>

namespace twig {

// The screen's lock state and the battery, as the platform reports them.
class DeviceState {
 public:
  virtual ~DeviceState() = default;
  // Calls `listener` at once with the current lock state and again on every change, on the main
  // loop: 0 unlocked, 1 locked.
  virtual void observeLockState(std::function<void(std::uint64_t state)> listener) = 0;
  // 0.0 to 1.0; -1 when the device has no battery or its level is unknown.
  virtual double batteryLevel() = 0;
  // Calls `listener` on the main loop whenever the level changes.
  virtual void observeBatteryLevel(std::function<void(double level)> listener) = 0;
};

}  // namespace twig
