#pragma once

#include <optional>
#include <string>

#include "platform/Json.h"

namespace twig {

// Small persistent settings of the application (kept apart from the object cache: an unbinding
// reset does not clear them). Thread-safe.
class UserDefaults {
 public:
  virtual ~UserDefaults() = default;
  virtual std::optional<Json> objectForKey(const std::string& key) = 0;
  virtual void setObject(const std::string& key, const Json& value) = 0;
  virtual void removeObject(const std::string& key) = 0;

  // False when absent; numbers count as true when non-zero.
  bool boolForKey(const std::string& key);
  void setBool(const std::string& key, bool value) { setObject(key, Json(value)); }
};

}  // namespace twig
