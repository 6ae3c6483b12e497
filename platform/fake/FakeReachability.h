#pragma once

#include <mutex>

#include "platform/Reachability.h"

namespace twig {

// Reachability driven by a test: setStatus() reports a change at once, on the calling thread.
class FakeReachability final : public Reachability {
 public:
  void startMonitoring(Listener listener) override;
  void stopMonitoring() override;
  ReachabilityStatus status() const override;

  void setStatus(ReachabilityStatus status);
  bool isMonitoring() const;

 private:
  mutable std::mutex mutex_;
  Listener listener_;
  ReachabilityStatus status_ = ReachabilityStatus::Unknown;
};

}  // namespace twig
