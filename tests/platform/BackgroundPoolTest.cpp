#include "platform/BackgroundPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace twig {
namespace {

TEST(BackgroundPool, RunsTwoTasksAtTheSameTime) {
  // Each task waits for the other to start: this finishes only with two workers.
  std::mutex mutex;
  std::condition_variable both;
  int started = 0;
  int finished = 0;
  {
    BackgroundPool pool(2);
    EXPECT_EQ(pool.size(), 2u);
    for (int i = 0; i < 2; ++i) {
      pool.submit([&] {
        std::unique_lock lock(mutex);
        ++started;
        both.notify_all();
        both.wait(lock, [&] { return started == 2; });
        ++finished;
      });
    }
  }
  EXPECT_EQ(finished, 2);
}

TEST(BackgroundPool, FinishesQueuedWorkBeforeDestruction) {
  std::atomic<int> done{0};
  {
    BackgroundPool pool(2);
    for (int i = 0; i < 50; ++i) pool.submit([&] { ++done; });
  }
  EXPECT_EQ(done.load(), 50);
}

}  // namespace
}  // namespace twig
