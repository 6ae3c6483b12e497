#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace twig {
namespace {

TEST(SerialQueue, RunsTasksOneAtATimeInSubmissionOrder) {
  std::vector<int> order;
  std::atomic<int> inside{0};
  bool overlapped = false;
  {
    SerialQueue queue("test.serial");
    for (int i = 0; i < 100; ++i) {
      queue.async([&, i] {
        if (++inside > 1) overlapped = true;
        order.push_back(i);
        --inside;
      });
    }
  }  // destruction runs what was queued
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_FALSE(overlapped);
}

TEST(SerialQueue, SyncRunsAfterEverythingSubmittedBefore) {
  SerialQueue queue("test.sync");
  std::vector<int> order;
  std::atomic<bool> release{false};
  queue.async([&] {
    while (!release) std::this_thread::yield();
    order.push_back(1);
  });
  queue.async([&] { order.push_back(2); });
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release = true;
  });
  bool current = false;
  queue.sync([&] {
    current = queue.isCurrent();
    order.push_back(3);
  });
  releaser.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(current);
  EXPECT_FALSE(queue.isCurrent());
}

TEST(SerialQueue, TasksNeverOverlapWhicheverThreadRunsThem) {
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  int counter = 0;  // touched by every task without a lock of its own
  {
    SerialQueue queue("test.mixed");
    auto step = [&] {
      if (++inside > 1) overlapped = true;
      ++counter;
      --inside;
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&] {
        for (int i = 0; i < 500; ++i) {
          if (i % 3 == 0) {
            queue.async(step);
          } else {
            queue.sync(step);
          }
        }
      });
    }
    for (auto& thread : threads) thread.join();
  }
  EXPECT_FALSE(overlapped.load());
  EXPECT_EQ(counter, 2000);
}

TEST(SerialQueue, SyncFromTheQueueItselfRunsInline) {
  SerialQueue queue("test.nested");
  bool inner = false;
  queue.sync([&] {
    EXPECT_TRUE(queue.isCurrent());
    queue.sync([&] { inner = true; });
  });
  EXPECT_TRUE(inner);
  EXPECT_FALSE(queue.isCurrent());
}

TEST(SerialQueue, SyncPassesExceptionsBackToTheCaller) {
  SerialQueue queue("test.throw");
  EXPECT_THROW(queue.sync([] { throw std::runtime_error("x"); }), std::runtime_error);
  bool later = false;
  queue.sync([&] { later = true; });
  EXPECT_TRUE(later);
}

}  // namespace
}  // namespace twig
