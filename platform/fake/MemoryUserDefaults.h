#pragma once

#include <mutex>

#include "platform/UserDefaults.h"

namespace twig {

// User defaults in memory.
class MemoryUserDefaults final : public UserDefaults {
 public:
  std::optional<Json> objectForKey(const std::string& key) override;
  void setObject(const std::string& key, const Json& value) override;
  void removeObject(const std::string& key) override;

 private:
  std::mutex mutex_;
  Json values_ = Json::object();
};

}  // namespace twig
