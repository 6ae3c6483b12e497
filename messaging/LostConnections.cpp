#include "messaging/LostConnections.h"

namespace twig {

void LostConnections::record(Time when) {
  losses_.push_back(when);
}

std::size_t LostConnections::within(Time now) {
  while (!losses_.empty() && now - losses_.front() >= kSpan) losses_.pop_front();
  return losses_.size();
}

}  // namespace twig
