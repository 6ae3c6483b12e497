#pragma once

#include <filesystem>
#include <mutex>

#include "platform/UserDefaults.h"

namespace twig {

// User defaults kept as one JSON object in a file, rewritten whole (crash-safe) on every change.
class FileUserDefaults final : public UserDefaults {
 public:
  explicit FileUserDefaults(std::filesystem::path file);
  std::optional<Json> objectForKey(const std::string& key) override;
  void setObject(const std::string& key, const Json& value) override;
  void removeObject(const std::string& key) override;

 private:
  void save();
  std::filesystem::path file_;
  std::mutex mutex_;
  Json values_;
};

}  // namespace twig
