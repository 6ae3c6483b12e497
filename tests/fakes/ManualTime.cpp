#include "tests/fakes/ManualTime.h"

namespace twig::test {

ManualTime::ManualTime(WallTime start) : clock_(start), loop_(clock_) {}

void ManualTime::advance(Duration by) {
  const SteadyTime target = clock_.steadyNow() + by;
  loop_.runUntilIdle();
  for (;;) {
    const auto next = loop_.nextDeadline();
    if (!next || *next > target) break;
    clock_.advanceSteadyTo(*next);
    loop_.runUntilIdle();
  }
  clock_.advanceSteadyTo(target);
  loop_.runUntilIdle();
}

}  // namespace twig::test
