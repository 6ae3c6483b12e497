#include "platform/fake/FakeReachability.h"

namespace twig {

void FakeReachability::startMonitoring(Listener listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

void FakeReachability::stopMonitoring() {
  std::lock_guard lock(mutex_);
  listener_ = nullptr;
}

ReachabilityStatus FakeReachability::status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

bool FakeReachability::isMonitoring() const {
  std::lock_guard lock(mutex_);
  return static_cast<bool>(listener_);
}

void FakeReachability::setStatus(ReachabilityStatus status) {
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    if (status_ == status) return;
    status_ = status;
    listener = listener_;
  }
  if (listener) listener(status);
}

}  // namespace twig
