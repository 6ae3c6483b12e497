// The main loop on Qt's event loop: posts from any thread run on the GUI thread in order, timers
// repeat until their handle goes, wherever it is dropped, even from inside their own task.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <thread>

#include "ui/QtMainLoop.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

bool spin(const std::function<bool()>& done, int milliseconds = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (done()) return true;
  }
  return done();
}

TEST(QtMainLoop, PostsFromOtherThreadsRunOnTheGuiThreadInOrder) {
  QtMainLoop loop;
  EXPECT_TRUE(loop.isMainThread());
  std::vector<int> order;
  std::atomic<bool> offThread{false};
  std::thread worker([&] {
    offThread = !loop.isMainThread();
    for (int i = 0; i < 100; ++i) {
      loop.post([&order, &loop, i] {
        EXPECT_TRUE(loop.isMainThread());
        order.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_TRUE(offThread);
  ASSERT_TRUE(spin([&] { return order.size() == 100; }));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(QtMainLoop, DelayedTasksWaitTheirTime) {
  QtMainLoop loop;
  QElapsedTimer clock;
  clock.start();
  qint64 ranAfter = -1;
  std::thread([&] { loop.postAfter(150ms, [&] { ranAfter = clock.elapsed(); }); }).join();
  ASSERT_TRUE(spin([&] { return ranAfter >= 0; }));
  EXPECT_GE(ranAfter, 140);
}

TEST(QtMainLoop, ATimerRepeatsUntilItsHandleGoesEvenFromItsOwnTaskOrAnotherThread) {
  QtMainLoop loop;
  int fired = 0;
  TimerHandle handle;
  handle = loop.scheduleRepeating(10ms, [&] {
    if (++fired == 3) handle.invalidate();  // from inside its own firing
  });
  ASSERT_TRUE(spin([&] { return fired >= 3; }));
  spin([] { return false; }, 100);
  EXPECT_EQ(fired, 3);
  EXPECT_FALSE(handle.isValid());

  std::atomic<int> ticks{0};
  auto other = std::make_unique<TimerHandle>(loop.scheduleRepeating(10ms, [&] { ++ticks; }));
  ASSERT_TRUE(spin([&] { return ticks >= 2; }));
  std::thread([&] { other.reset(); }).join();  // dropped on another thread
  spin([] { return false; }, 50);
  const int after = ticks;
  spin([] { return false; }, 100);
  EXPECT_EQ(ticks, after);
}

TEST(QtMainLoop, APausedTimerWaitsUntilFiredByHand) {
  QtMainLoop loop;
  int fired = 0;
  TimerHandle handle = loop.scheduleRepeating(20ms, [&] { ++fired; });
  handle.pause();
  spin([] { return false; }, 120);
  EXPECT_EQ(fired, 0);
  handle.fireNow();
  ASSERT_TRUE(spin([&] { return fired >= 1; }));
  ASSERT_TRUE(spin([&] { return fired >= 2; })) << "it keeps its interval after firing by hand";
}

}  // namespace
}  // namespace twig
