#pragma once

#include "platform/Clock.h"

namespace twig {

// The operating system's clocks.
class SystemClock final : public Clock {
 public:
  WallTime now() const override;
  SteadyTime steadyNow() const override;
};

}  // namespace twig
