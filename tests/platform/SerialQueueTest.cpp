#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
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

TEST(SerialQueue, SyncWaitsAndRunsOnTheQueue) {
  SerialQueue queue("test.sync");
  std::thread::id ranOn;
  int value = 0;
  queue.async([&] { value = 1; });
  queue.sync([&] {
    ranOn = std::this_thread::get_id();
    value += 1;
  });
  EXPECT_EQ(value, 2);
  EXPECT_NE(ranOn, std::this_thread::get_id());
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
