#include "platform/fake/ManualClock.h"

namespace twig {

ManualClock::ManualClock(WallTime start) : wall_(start), steady_(SteadyTime(std::chrono::hours(1))) {}

WallTime ManualClock::now() const {
  std::lock_guard lock(mutex_);
  return wall_;
}

SteadyTime ManualClock::steadyNow() const {
  std::lock_guard lock(mutex_);
  return steady_;
}

ClockWatch ManualClock::watchAdvances(std::function<void()> onAdvance) {
  std::lock_guard lock(watchersMutex_);
  const unsigned long id = nextWatcher_++;
  watchers_.emplace(id, std::move(onAdvance));
  return ClockWatch([this, id] {
    std::lock_guard inner(watchersMutex_);
    watchers_.erase(id);
  });
}

void ManualClock::advance(Duration by) {
  if (by < Duration::zero()) by = Duration::zero();
  {
    std::lock_guard lock(mutex_);
    wall_ += std::chrono::duration_cast<WallTime::duration>(by);
    steady_ += std::chrono::duration_cast<SteadyTime::duration>(by);
  }
  notifyWatchers();
}

void ManualClock::setNow(WallTime t) {
  {
    std::lock_guard lock(mutex_);
    if (t > wall_) steady_ += std::chrono::duration_cast<SteadyTime::duration>(t - wall_);
    wall_ = t;
  }
  notifyWatchers();
}

void ManualClock::advanceSteadyTo(SteadyTime t) {
  Duration by;
  {
    std::lock_guard lock(mutex_);
    by = t > steady_ ? t - steady_ : Duration::zero();
  }
  advance(by);
}

void ManualClock::notifyWatchers() {
  // Held while calling so that a watch cannot be cancelled (and its owner destroyed) mid-call.
  std::lock_guard lock(watchersMutex_);
  for (auto& [id, watcher] : watchers_) watcher();
}

}  // namespace twig
