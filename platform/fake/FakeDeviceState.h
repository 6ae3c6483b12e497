#pragma once

#include "platform/DeviceState.h"

namespace twig {

// Lock state and battery set by a test; listeners are told at once on the calling thread (tests
// call from the main loop's thread).
class FakeDeviceState final : public DeviceState {
 public:
  void observeLockState(std::function<void(std::uint64_t)> listener) override {
    lockListener_ = std::move(listener);
    if (lockListener_) lockListener_(lockState_);
  }
  double batteryLevel() override { return battery_; }
  void observeBatteryLevel(std::function<void(double)> listener) override {
    batteryListener_ = std::move(listener);
  }

  void setLockState(std::uint64_t state) {
    lockState_ = state;
    if (lockListener_) lockListener_(state);
  }
  void setBatteryLevel(double level) {
    battery_ = level;
    if (batteryListener_) batteryListener_(level);
  }

 private:
  std::uint64_t lockState_ = 0;
  double battery_ = 0.8;
  std::function<void(std::uint64_t)> lockListener_;
  std::function<void(double)> batteryListener_;
};

}  // namespace twig
