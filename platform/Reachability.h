#pragma once

#include <functional>

namespace twig {

enum class ReachabilityStatus : int {
  Unknown = -1,
  NotReachable = 0,
  ReachableViaWWAN = 1,
  ReachableViaWiFi = 2
};

// Watches whether the network is reachable.
class Reachability {
 public:
  using Listener = std::function<void(ReachabilityStatus)>;
  virtual ~Reachability() = default;
  // Calls `listener` (on any thread) for every change of status, starting with the first reading.
  // One listener at a time; a second call replaces the first.
  virtual void startMonitoring(Listener listener) = 0;
  // After it returns, the listener is not called any more.
  virtual void stopMonitoring() = 0;
  // Unknown until the first reading.
  virtual ReachabilityStatus status() const = 0;
};

}  // namespace twig
