#include "messaging/RecentCommands.h"

namespace twig {

RecentCommands::RecentCommands(std::chrono::steady_clock::duration window, std::size_t capacity)
    : window_(window), capacity_(capacity == 0 ? 1 : capacity) {}

bool RecentCommands::firstSighting(const std::string& commandUuid, SteadyTime now) {
  if (commandUuid.empty()) return true;
  std::lock_guard lock(mutex_);
  forgetOldLocked(now);
  if (!seen_.insert(commandUuid).second) return false;
  order_.push_back({commandUuid, now});
  if (order_.size() > capacity_) {
    seen_.erase(order_.front().commandUuid);
    order_.pop_front();
  }
  return true;
}

std::size_t RecentCommands::size() const {
  std::lock_guard lock(mutex_);
  return order_.size();
}

void RecentCommands::forgetOldLocked(SteadyTime now) {
  while (!order_.empty() && now - order_.front().at >= window_) {
    seen_.erase(order_.front().commandUuid);
    order_.pop_front();
  }
}

}  // namespace twig
