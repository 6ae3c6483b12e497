#include "platform/fake/MemoryUserDefaults.h"

namespace twig {

std::optional<Json> MemoryUserDefaults::objectForKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return *it;
}

void MemoryUserDefaults::setObject(const std::string& key, const Json& value) {
  std::lock_guard lock(mutex_);
  values_[key] = value;
}

void MemoryUserDefaults::removeObject(const std::string& key) {
  std::lock_guard lock(mutex_);
  values_.erase(key);
}

}  // namespace twig
