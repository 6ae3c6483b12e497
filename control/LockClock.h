#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/MainLoop.h"

namespace twig {

class Clock;
class MainLoop;

// The lock screen's clock: the texts it shows and a timer that asks for them again every second
// while the screen is up. Main loop only.
class LockClock {
 public:
  static constexpr const char* kUnlockText = "目前您的手机处于管控状态";

  // Starts the timer.
  LockClock(MainLoop& loop, const Clock& clock);
  LockClock(const LockClock&) = delete;
  LockClock& operator=(const LockClock&) = delete;

  // Called on every tick; a tick without it does nothing.
  void updateLockType(std::function<void()> block) { updateLockTypeBlock_ = std::move(block); }
  void updateLockTimer();
  // Stops the timer for good.
  void unLock();
  bool isTicking() const { return lockTimer_.isValid(); }

  // "HH:mm", local time.
  std::string fecthCurrentTime() const;
  // "星期一·2016-05-09".
  std::string fecthCurrentDate() const;
  // The weekday's name, "星期天" to "星期六".
  std::string week() const;
  static std::string weekName(int weekday);  // 0 Sunday .. 6 Saturday
  // The status text; the screen centres it with a line height of 1.5.
  std::string fecthUnlockTimeString() const { return kUnlockText; }

  std::int64_t seconds = 0;  // kept for the countdown the screen does not show

 private:
  const Clock& clock_;
  TimerHandle lockTimer_;
  std::function<void()> updateLockTypeBlock_;
};

}  // namespace twig
