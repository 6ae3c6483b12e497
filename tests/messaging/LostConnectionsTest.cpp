#include "messaging/LostConnections.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

using namespace std::chrono_literals;

TEST(LostConnections, CountsTheLastMinuteOnly) {
  LostConnections lost;
  const LostConnections::Time start{};
  EXPECT_EQ(lost.within(start), 0u);
  for (int i = 0; i < 6; ++i) lost.record(start + i * 2s);  // a takeover every two seconds
  EXPECT_EQ(lost.within(start + 10s), 6u);
  EXPECT_EQ(lost.within(start + 61s), 5u);   // the first is more than a minute old
  EXPECT_EQ(lost.within(start + 120s), 0u);  // a broker restart now and then never adds up
  lost.record(start + 121s);
  EXPECT_EQ(lost.within(start + 121s), 1u);
}

TEST(LostConnections, OnlyAYoungConnectionTheBrokerClosedLooksTakenOver) {
  using Ending = LostConnections::Ending;
  // Another agent's attempt a second after ours closes ours.
  EXPECT_TRUE(LostConnections::takenOver(Ending::ClosedByBroker, 1200ms, 5s));
  // A keep-alive unanswered or a socket error is the network, however soon it came.
  EXPECT_FALSE(LostConnections::takenOver(Ending::NetworkTrouble, 200ms, 5s));
  EXPECT_FALSE(LostConnections::takenOver(Ending::NetworkTrouble, 10min, 5s));
  // A connection that had lived a while: a broker restart, an administrator's cut.
  EXPECT_FALSE(LostConnections::takenOver(Ending::ClosedByBroker, 5s, 5s));
  EXPECT_FALSE(LostConnections::takenOver(Ending::ClosedByBroker, 3h, 5s));
}

}  // namespace
}  // namespace twig
