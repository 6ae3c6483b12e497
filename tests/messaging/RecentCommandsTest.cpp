#include "messaging/RecentCommands.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

using namespace std::chrono_literals;

TEST(RecentCommands, ARepeatWithinTheWindowIsNotNewAndOneAfterItIs) {
  RecentCommands recent(10min, 100);
  const SteadyTime start{};
  EXPECT_TRUE(recent.firstSighting("C-1", start));
  EXPECT_FALSE(recent.firstSighting("C-1", start + 1s));
  EXPECT_TRUE(recent.firstSighting("C-2", start + 2s));
  EXPECT_FALSE(recent.firstSighting("C-1", start + 10min - 1s));
  EXPECT_TRUE(recent.firstSighting("C-1", start + 10min));  // forgotten: a new command of the same name
  EXPECT_EQ(recent.size(), 2u);                             // C-2 (still within) and the new C-1
  // Without an identifier nothing can be told apart: every one runs.
  EXPECT_TRUE(recent.firstSighting("", start));
  EXPECT_TRUE(recent.firstSighting("", start));
}

TEST(RecentCommands, ANeverEndingStreamKeepsOnlyTheNewest) {
  RecentCommands recent(10min, 3);
  const SteadyTime now{};
  for (const char* uuid : {"a", "b", "c", "d"}) EXPECT_TRUE(recent.firstSighting(uuid, now));
  EXPECT_EQ(recent.size(), 3u);
  EXPECT_FALSE(recent.firstSighting("d", now));
  EXPECT_FALSE(recent.firstSighting("b", now));
  EXPECT_TRUE(recent.firstSighting("a", now));  // pushed out by the capacity
  for (int i = 0; i < 10000; ++i) recent.firstSighting("stream-" + std::to_string(i), now);
  EXPECT_EQ(recent.size(), 3u);
}

}  // namespace
}  // namespace twig
