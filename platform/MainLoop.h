#pragma once

#include <functional>
#include <memory>

#include "platform/Clock.h"

namespace twig {

using Task = std::function<void()>;

// What a timer handle drives; implemented by each loop.
class TimerControl {
 public:
  virtual ~TimerControl() = default;
  virtual void invalidate() = 0;
  virtual bool isValid() const = 0;
  // Moves the next firing to the distant future (the timer stays valid).
  virtual void pause() = 0;
  // Moves the next firing to the distant past: it fires at the loop's next turn, then keeps its interval.
  virtual void fireNow() = 0;
};

// Owns a repeating timer: the timer stops for good when the handle is dropped, so a screen that owns
// its timer can never be called back after it is gone. Usable from any thread.
class TimerHandle {
 public:
  TimerHandle() = default;
  explicit TimerHandle(std::shared_ptr<TimerControl> control) : control_(std::move(control)) {}
  TimerHandle(TimerHandle&&) noexcept = default;
  TimerHandle& operator=(TimerHandle&& other) noexcept;
  TimerHandle(const TimerHandle&) = delete;
  TimerHandle& operator=(const TimerHandle&) = delete;
  ~TimerHandle() { invalidate(); }

  void invalidate();
  bool isValid() const { return control_ && control_->isValid(); }
  void pause();
  void fireNow();

 private:
  std::shared_ptr<TimerControl> control_;
};

// The main loop port: screens, timers, start-up and every HTTP callback run here.
// post/postAfter/scheduleRepeating may be called from any thread; tasks run on the loop's thread.
class MainLoop {
 public:
  virtual ~MainLoop() = default;
  virtual void post(Task task) = 0;
  // Runs `task` once after `delay`; cannot be cancelled (like a dispatch to the main queue after a delay).
  virtual void postAfter(Duration delay, Task task) = 0;
  // First firing one interval from now.
  [[nodiscard]] virtual TimerHandle scheduleRepeating(Duration interval, Task task) = 0;
  virtual bool isMainThread() const = 0;

  // Runs `task` now when called on the loop's thread, else in a later turn of the loop: for
  // observers of notifications that any thread may post (a pushed command may carry any name).
  void runOrPost(Task task) {
    if (isMainThread()) {
      task();
    } else {
      post(std::move(task));
    }
  }
};

}  // namespace twig
