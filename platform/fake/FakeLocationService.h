#pragma once

#include <mutex>

#include "platform/LocationService.h"

namespace twig {

// Location a test switches on and off and whose fixes and failures it delivers.
class FakeLocationService final : public LocationService {
 public:
  bool isEnabled() override { return enabled; }
  void startUpdates(Update update, Failure failure) override {
    std::lock_guard lock(mutex_);
    update_ = std::move(update);
    failure_ = std::move(failure);
    ++starts_;
    updating_ = true;
  }
  void stopUpdates() override {
    std::lock_guard lock(mutex_);
    updating_ = false;
  }
  // Delivers a fix to the running updates (nothing when none run).
  void deliverFix(double latitude, double longitude) {
    Update update;
    {
      std::lock_guard lock(mutex_);
      if (!updating_) return;
      update = update_;
    }
    if (update) update(latitude, longitude);
  }
  void deliverFailure() {
    Failure failure;
    {
      std::lock_guard lock(mutex_);
      if (!updating_) return;
      failure = failure_;
    }
    if (failure) failure();
  }
  bool isUpdating() const {
    std::lock_guard lock(mutex_);
    return updating_;
  }
  int starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
  }

  bool enabled = true;

 private:
  mutable std::mutex mutex_;
  Update update_;
  Failure failure_;
  bool updating_ = false;
  int starts_ = 0;
};

}  // namespace twig
