#include "platform/linux/NetlinkReachability.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace twig {
namespace {

class StatusLog {
 public:
  void add(ReachabilityStatus status) {
    std::lock_guard lock(mutex_);
    statuses_.push_back(status);
    changed_.notify_all();
  }
  bool waitFor(ReachabilityStatus status) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return !statuses_.empty() && statuses_.back() == status; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReachabilityStatus> statuses_;
};

TEST(NetlinkReachability, LoopbackTargetsAreAlwaysReachable) {
  EXPECT_TRUE(NetlinkReachability::isLoopbackHost("127.0.0.1"));
  EXPECT_TRUE(NetlinkReachability::isLoopbackHost("127.8.9.10"));
  EXPECT_TRUE(NetlinkReachability::isLoopbackHost("::1"));
  EXPECT_TRUE(NetlinkReachability::isLoopbackHost("localhost"));
  EXPECT_FALSE(NetlinkReachability::isLoopbackHost("10.0.0.1"));
  EXPECT_FALSE(NetlinkReachability::isLoopbackHost("example.org"));

  NetlinkReachability reachability("127.0.0.1");
  EXPECT_EQ(reachability.status(), ReachabilityStatus::Unknown);
  StatusLog log;
  reachability.startMonitoring([&](ReachabilityStatus s) { log.add(s); });
  EXPECT_TRUE(log.waitFor(ReachabilityStatus::ReachableViaWiFi));
}

TEST(NetlinkReachability, ReadsTheRoutingTable) {
  const auto route = NetlinkReachability::hasDefaultRoute();
  ASSERT_TRUE(route.has_value()) << "the routing table cannot be read here";
  NetlinkReachability reachability;
  StatusLog log;
  reachability.startMonitoring([&](ReachabilityStatus s) { log.add(s); });
  EXPECT_TRUE(log.waitFor(*route ? ReachabilityStatus::ReachableViaWiFi : ReachabilityStatus::NotReachable));
  reachability.stopMonitoring();
}

// Runs in a child process inside a network namespace of its own, where the test can add and remove
// the default route without touching the machine's network.
int followRouteChangesInPrivateNamespace() {
  if (::unshare(CLONE_NEWNET) != 0) return 77;
  if (std::system("ip link set lo up") != 0) return 78;
  NetlinkReachability reachability;
  StatusLog log;
  reachability.startMonitoring([&](ReachabilityStatus s) { log.add(s); });
  if (!log.waitFor(ReachabilityStatus::NotReachable)) return 1;
  if (std::system("ip route add default dev lo") != 0) return 2;
  if (!log.waitFor(ReachabilityStatus::ReachableViaWiFi)) return 3;
  if (std::system("ip route del default dev lo") != 0) return 4;
  if (!log.waitFor(ReachabilityStatus::NotReachable)) return 5;
  reachability.stopMonitoring();
  return 0;
}

TEST(NetlinkReachability, FollowsTheDefaultRouteAsItComesAndGoes) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(followRouteChangesInPrivateNamespace());
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no permission to create a network namespace";
  if (WEXITSTATUS(status) == 78) GTEST_SKIP() << "the 'ip' command is not available";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "step that failed (see the child's code)";
}

}  // namespace
}  // namespace twig
