#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace twig {
namespace {

TEST(NotificationCenter, DeliversByNameInOrderWithItsObject) {
  NotificationCenter center;
  std::vector<std::string> calls;
  auto first =
      center.addObserver("Reset", [&](const Notification& n) { calls.push_back("first:" + n.name); });
  auto second = center.addObserver("Reset", [&](const Notification&) { calls.push_back("second"); });
  int status = 0;
  auto other = center.addObserver("NetworkReachabilityStatus",
                                  [&](const Notification& n) { status = std::any_cast<int>(n.object); });
  center.post("Reset");
  center.post("NetworkReachabilityStatus", 2);
  center.post("Nobody listens");
  EXPECT_EQ(calls, (std::vector<std::string>{"first:Reset", "second"}));
  EXPECT_EQ(status, 2);
}

TEST(NotificationCenter, DroppingTheTokenRemovesTheObserver) {
  NotificationCenter center;
  int calls = 0;
  {
    auto token = center.addObserver("bills", [&](const Notification&) { ++calls; });
    center.post("bills");
    EXPECT_EQ(center.observerCount("bills"), 1u);
  }
  center.post("bills");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(center.observerCount("bills"), 0u);
}

TEST(NotificationCenter, ObserverMayRemoveItselfAndOthersDuringDelivery) {
  NotificationCenter center;
  std::vector<std::string> calls;
  ObserverToken self;
  ObserverToken later;
  self = center.addObserver("Reset", [&](const Notification&) {
    calls.push_back("self");
    self.reset();
    later.reset();
  });
  later = center.addObserver("Reset", [&](const Notification&) { calls.push_back("later"); });
  center.post("Reset");
  center.post("Reset");
  EXPECT_EQ(calls, (std::vector<std::string>{"self"}));
}

TEST(NotificationCenter, ObserverMayPostAndAddDuringDelivery) {
  NotificationCenter center;
  std::vector<std::string> calls;
  ObserverToken added;
  auto outer = center.addObserver("a", [&](const Notification&) {
    calls.push_back("a");
    added = center.addObserver("b", [&](const Notification&) { calls.push_back("b"); });
    center.post("b");
  });
  center.post("a");
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "b"}));
}

TEST(NotificationCenter, RemovalWaitsForADeliveryRunningOnAnotherThread) {
  NotificationCenter center;
  std::atomic<bool> inside{false};
  std::atomic<bool> release{false};
  std::atomic<bool> finished{false};
  auto token = center.addObserver("slow", [&](const Notification&) {
    inside = true;
    while (!release) std::this_thread::yield();
    finished = true;
  });
  std::thread poster([&] { center.post("slow"); });
  while (!inside) std::this_thread::yield();
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release = true;
  });
  token.reset();  // must not return while the observer still runs
  EXPECT_TRUE(finished.load());
  poster.join();
  releaser.join();
}

TEST(NotificationCenter, TokenOutlivingTheCentreIsHarmless) {
  ObserverToken token;
  {
    NotificationCenter center;
    token = center.addObserver("x", [](const Notification&) {});
  }
  token.reset();
  EXPECT_FALSE(token);
}

}  // namespace
}  // namespace twig
