#include "platform/PlainMainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/SystemClock.h"
#include "tests/fakes/ManualTime.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

TEST(PlainMainLoop, RunsPostedTasksInOrderOnTheLoopThread) {
  test::ManualTime time;
  std::vector<int> order;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) time.loop().post([&, i] { order.push_back(i); });
  });
  poster.join();
  time.loop().post([&] { order.push_back(3); });
  bool onMain = false;
  time.loop().post([&] { onMain = time.loop().isMainThread(); });
  time.settle();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(onMain);
}

TEST(PlainMainLoop, IsMainThreadIsFalseElsewhere) {
  test::ManualTime time;
  time.settle();
  bool elsewhere = true;
  std::thread other([&] { elsewhere = time.loop().isMainThread(); });
  other.join();
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(time.loop().isMainThread());
}

TEST(PlainMainLoop, PostAfterWaitsForTheManualClock) {
  test::ManualTime time;
  int ran = 0;
  time.loop().postAfter(1s, [&] { ++ran; });
  time.advance(999ms);
  EXPECT_EQ(ran, 0);
  time.advance(1ms);
  EXPECT_EQ(ran, 1);
  time.advance(10s);
  EXPECT_EQ(ran, 1);
}

TEST(PlainMainLoop, RepeatingTimerFiresOncePerIntervalAtItsOwnDeadline) {
  test::ManualTime time;
  const WallTime start = time.clock().now();
  std::vector<long long> firedAt;
  TimerHandle timer = time.loop().scheduleRepeating(10s, [&] {
    firedAt.push_back(std::chrono::duration_cast<std::chrono::seconds>(time.clock().now() - start).count());
  });
  time.advance(9s);
  EXPECT_TRUE(firedAt.empty());
  time.advance(51s);
  EXPECT_EQ(firedAt, (std::vector<long long>{10, 20, 30, 40, 50, 60}));
}

TEST(PlainMainLoop, RepeatingTimerSkipsMissedFiringsAfterAJump) {
  test::ManualTime time;
  int fired = 0;
  TimerHandle timer = time.loop().scheduleRepeating(10s, [&] { ++fired; });
  time.clock().advance(35s);  // the loop did not run meanwhile
  time.settle();
  EXPECT_EQ(fired, 1);
  time.advance(4s);  // next firing is at 40 s, not replayed at 20 and 30
  EXPECT_EQ(fired, 1);
  time.advance(1s);
  EXPECT_EQ(fired, 2);
}

TEST(PlainMainLoop, TimerHandleControlsItsTimer) {
  test::ManualTime time;
  int fired = 0;
  TimerHandle timer = time.loop().scheduleRepeating(5s, [&] { ++fired; });
  EXPECT_TRUE(timer.isValid());

  timer.pause();
  time.advance(60s);
  EXPECT_EQ(fired, 0);
  EXPECT_TRUE(timer.isValid());

  timer.fireNow();
  time.settle();
  EXPECT_EQ(fired, 1);
  time.advance(5s);  // after firing at once it keeps its interval
  EXPECT_EQ(fired, 2);

  timer.invalidate();
  EXPECT_FALSE(timer.isValid());
  time.advance(60s);
  EXPECT_EQ(fired, 2);
}

TEST(PlainMainLoop, DroppingTheHandleStopsTheTimer) {
  test::ManualTime time;
  int fired = 0;
  {
    TimerHandle timer = time.loop().scheduleRepeating(1s, [&] { ++fired; });
    time.advance(1s);
  }
  time.advance(10s);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(time.loop().nextDeadline().has_value());
}

TEST(PlainMainLoop, TimerMayInvalidateItselfWhileFiring) {
  test::ManualTime time;
  int fired = 0;
  TimerHandle timer;
  timer = time.loop().scheduleRepeating(1s, [&] {
    if (++fired == 2) timer.invalidate();
  });
  time.advance(10s);
  EXPECT_EQ(fired, 2);
}

TEST(PlainMainLoop, AFailingTaskDoesNotStopTheLoop) {
  test::ManualTime time;
  bool after = false;
  time.loop().post([] { throw std::runtime_error("boom"); });
  time.loop().post([&] { after = true; });
  time.settle();
  EXPECT_TRUE(after);
}

TEST(PlainMainLoop, RunOnAThreadWakesWhenTheManualClockMoves) {
  ManualClock clock;
  PlainMainLoop loop(clock);
  std::atomic<int> fired{0};
  loop.postAfter(10s, [&] {
    ++fired;
    loop.quit();
  });
  std::thread mainThread([&] { loop.run(); });
  // No sleeping: the loop only fires once the clock is moved.
  EXPECT_EQ(fired.load(), 0);
  clock.advance(10s);
  mainThread.join();
  EXPECT_EQ(fired.load(), 1);
}

TEST(PlainMainLoop, QuitFromAnotherThreadEndsRun) {
  SystemClock clock;
  PlainMainLoop loop(clock);
  std::atomic<bool> started{false};
  loop.post([&] { started = true; });
  std::thread stopper([&] {
    while (!started) std::this_thread::yield();
    loop.quit();
  });
  loop.run();
  stopper.join();
  EXPECT_TRUE(started);
}

TEST(PlainMainLoop, RealClockTimerFiresUnderRun) {
  SystemClock clock;
  PlainMainLoop loop(clock);
  bool fired = false;
  loop.postAfter(5ms, [&] {
    fired = true;
    loop.quit();
  });
  loop.run();
  EXPECT_TRUE(fired);
}

TEST(PlainMainLoop, RunUntilReturnsWhenDoneOrTimedOut) {
  SystemClock clock;
  PlainMainLoop loop(clock);
  std::atomic<bool> flag{false};
  std::thread worker([&] { loop.post([&] { flag = true; }); });
  EXPECT_TRUE(loop.runUntil([&] { return flag.load(); }, 10s));
  worker.join();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 30ms));
}

TEST(PlainMainLoop, TimersOutliveTheirLoopHarmlessly) {
  TimerHandle timer;
  {
    test::ManualTime time;
    timer = time.loop().scheduleRepeating(1s, [] {});
  }
  EXPECT_FALSE(timer.isValid());
  timer.pause();
  timer.invalidate();
}

}  // namespace
}  // namespace twig
