#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "platform/MainLoop.h"

namespace twig {

// The main loop of the headless agent and of the tests: a task queue and timers on one thread,
// timed by the given clock. With a manual clock, timers fire only as the clock is moved.
class PlainMainLoop final : public MainLoop {
 public:
  explicit PlainMainLoop(Clock& clock);
  ~PlainMainLoop() override;
  PlainMainLoop(const PlainMainLoop&) = delete;
  PlainMainLoop& operator=(const PlainMainLoop&) = delete;

  void post(Task task) override;
  void postAfter(Duration delay, Task task) override;
  [[nodiscard]] TimerHandle scheduleRepeating(Duration interval, Task task) override;
  bool isMainThread() const override;

  // Runs until quit(). The calling thread becomes the main thread.
  void run();
  // May be called from any thread, also from a task.
  void quit();
  // Runs what is ready now (posted tasks and due timers, and what they post) until nothing is;
  // returns how many tasks ran. The calling thread becomes the main thread.
  std::size_t runUntilIdle();
  // Runs tasks as they arrive until `done` holds or `realTimeout` of real time has passed.
  // Returns done(). The calling thread becomes the main thread.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds realTimeout);
  // The earliest firing time of a live timer, if any.
  std::optional<SteadyTime> nextDeadline() const;
  Clock& clock() const { return clock_; }

 private:
  struct Core;
  class Timer;
  std::size_t runReady();
  void bindToCallingThread();

  Clock& clock_;
  std::shared_ptr<Core> core_;
  std::atomic<std::thread::id> mainThread_;
  ClockWatch clockWatch_;
};

}  // namespace twig
