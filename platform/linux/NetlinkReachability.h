#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/Reachability.h"

namespace twig {

// Reachability from the kernel's routing table: reachable while a default route exists (IPv4 or
// IPv6), watched through a netlink route socket. A loopback target is always reachable, so an agent
// talking to a service on the same machine never believes itself offline.
class NetlinkReachability final : public Reachability {
 public:
  explicit NetlinkReachability(std::string targetHost = "");
  ~NetlinkReachability() override;
  NetlinkReachability(const NetlinkReachability&) = delete;
  NetlinkReachability& operator=(const NetlinkReachability&) = delete;

  void startMonitoring(Listener listener) override;
  void stopMonitoring() override;
  ReachabilityStatus status() const override { return status_.load(); }

  // One reading of the routing table; nothing when it cannot be read.
  static std::optional<bool> hasDefaultRoute();
  static bool isLoopbackHost(const std::string& host);

 private:
  void watch(int eventSocket, int stopFd);
  void report(ReachabilityStatus status);

  std::string targetHost_;
  std::atomic<ReachabilityStatus> status_{ReachabilityStatus::Unknown};
  std::mutex mutex_;
  Listener listener_;
  std::thread thread_;
  int stopFd_ = -1;
};

}  // namespace twig
