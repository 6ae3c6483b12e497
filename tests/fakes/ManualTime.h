#pragma once

#include "platform/PlainMainLoop.h"
#include "platform/fake/ManualClock.h"

namespace twig::test {

// A manual clock and a plain main loop driven together from the test's thread: advancing moves the
// clock from one timer deadline to the next and runs what falls due at each, so a 10-second timer
// fires six times in a one-minute advance, each time seeing the clock at its own deadline.
class ManualTime {
 public:
  explicit ManualTime(WallTime start = WallTime(std::chrono::seconds(1480000000)));
  ManualClock& clock() { return clock_; }
  PlainMainLoop& loop() { return loop_; }
  void advance(Duration by);
  // Runs what is ready without moving the clock.
  void settle() { loop_.runUntilIdle(); }

 private:
  ManualClock clock_;
  PlainMainLoop loop_;
};

}  // namespace twig::test
