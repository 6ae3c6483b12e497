#include "messaging/LostConnections.h"

namespace twig {

bool LostConnections::takenOver(Ending ending, Duration age, Duration window) {
  return ending == Ending::ClosedByBroker && age < window;
}

void LostConnections::record(Time when) {
  losses_.push_back(when);
}

std::size_t LostConnections::within(Time now) {
  while (!losses_.empty() && now - losses_.front() >= kSpan) losses_.pop_front();
  return losses_.size();
}

}  // namespace twig
