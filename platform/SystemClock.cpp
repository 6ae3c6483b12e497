#include "platform/SystemClock.h"

namespace twig {

WallTime SystemClock::now() const {
  return std::chrono::system_clock::now();
}
SteadyTime SystemClock::steadyNow() const {
  return std::chrono::steady_clock::now();
}

}  // namespace twig
