#include "control/LockClock.h"

#include <array>
#include <chrono>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/MainLoop.h"

namespace twig {

LockClock::LockClock(MainLoop& loop, const Clock& clock) : clock_(clock) {
  lockTimer_ = loop.scheduleRepeating(std::chrono::seconds(1), [this] { updateLockTimer(); });
}

void LockClock::updateLockTimer() {
  if (updateLockTypeBlock_) updateLockTypeBlock_();
}

void LockClock::unLock() {
  lockTimer_.invalidate();
}

std::string LockClock::fecthCurrentTime() const {
  const LocalTime now = toLocalTime(clock_.now());
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", now.hour, now.minute);
  return text;
}

std::string LockClock::fecthCurrentDate() const {
  const LocalTime now = toLocalTime(clock_.now());
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.year, now.month, now.day);
  // One reading of the clock for both parts, so that midnight cannot split them.
  return weekName(now.weekday) + "·" + date;
}

std::string LockClock::week() const {
  return weekName(toLocalTime(clock_.now()).weekday);
}

std::string LockClock::weekName(int weekday) {
  static constexpr std::array<const char*, 7> kNames = {"星期天", "星期一", "星期二", "星期三",
                                                        "星期四", "星期五", "星期六"};
  return kNames[static_cast<std::size_t>(((weekday % 7) + 7) % 7)];
}

}  // namespace twig
