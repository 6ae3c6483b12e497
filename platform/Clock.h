#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <utility>

namespace twig {

using WallTime = std::chrono::system_clock::time_point;
using SteadyTime = std::chrono::steady_clock::time_point;
using Duration = std::chrono::nanoseconds;

// Keeps a watch on a clock's manual advances alive; dropping it stops the watch.
class ClockWatch {
 public:
  ClockWatch() = default;
  explicit ClockWatch(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  ClockWatch(ClockWatch&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
  ClockWatch& operator=(ClockWatch&& other) noexcept;
  ClockWatch(const ClockWatch&) = delete;
  ClockWatch& operator=(const ClockWatch&) = delete;
  ~ClockWatch() { reset(); }
  void reset();

 private:
  std::function<void()> cancel_;
};

// The time port. Wall time feeds time stamps and calendar rules; steady time drives timers.
// Both may be read from any thread.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual WallTime now() const = 0;
  virtual SteadyTime steadyNow() const = 0;

  // A manual clock only moves when a test moves it; loops waiting for a timer must then be
  // woken by the move instead of by the operating system's clock.
  virtual bool isManual() const { return false; }
  // Calls `onAdvance` (on the advancing thread) after every manual move. Real clocks never call it.
  virtual ClockWatch watchAdvances(std::function<void()> onAdvance) {
    (void)onAdvance;
    return {};
  }
};

}  // namespace twig
