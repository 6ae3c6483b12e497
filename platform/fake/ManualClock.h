#pragma once

#include <map>
#include <mutex>

#include "platform/Clock.h"

namespace twig {

// A clock that moves only when told. Wall and steady time move together, so timers and time
// stamps agree. Thread-safe; watchers are told after every move, on the moving thread.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(WallTime start = WallTime(std::chrono::seconds(1480000000)));

  WallTime now() const override;
  SteadyTime steadyNow() const override;
  bool isManual() const override { return true; }
  ClockWatch watchAdvances(std::function<void()> onAdvance) override;

  void advance(Duration by);
  // Moves the wall time to `t` (forwards or backwards); steady time moves forwards by the same
  // amount when `t` is later, and stays when it is earlier, as a real steady clock would.
  void setNow(WallTime t);
  // Moves both clocks so that steady time reads `t` (never backwards).
  void advanceSteadyTo(SteadyTime t);

 private:
  void notifyWatchers();

  mutable std::mutex mutex_;
  WallTime wall_;
  SteadyTime steady_;
  std::mutex watchersMutex_;
  std::map<unsigned long, std::function<void()>> watchers_;
  unsigned long nextWatcher_ = 1;
};

}  // namespace twig
