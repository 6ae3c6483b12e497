#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/CacheObject.h"

namespace twig {

// The object cache as the rest of the agent uses it: class operations on the process's cache. An
// empty key stands for no key: reads miss and writes do nothing.
class Cache {
 public:
  static bool hasCacheForKey(const std::string& key);
  static std::optional<CacheObject> objectForKey(const std::string& key);
  template <class T>
  static std::optional<T> modelForKey(const std::string& key) {
    auto object = objectForKey(key);
    return object ? object->modelValue<T>() : std::nullopt;
  }
  // False when absent or not a boolean or number.
  static bool boolForKey(const std::string& key);
  static std::optional<std::string> imageForkey(const std::string& key);

  // An absent value does nothing (it is not a removal).
  static void setObjectValue(const std::optional<CacheObject>& value, const std::string& key);
  static void setBool(bool value, const std::string& key);
  static void setImage(std::string_view encodedImage, const std::string& key);
  static void removeObjectForKey(const std::string& key);

  // Everything stored goes, as on unbinding: the disk part of the downloaded pictures, every cache
  // key (the binding flag included), and the tables named with setTablesToEmptyOnReset. User
  // defaults stay.
  static void resetDefaults();
  // The table-store tables (one record of each) that resetDefaults empties; the agent's wiring
  // names them at start-up, as this layer knows no feature's tables. Replaces the earlier list.
  static void setTablesToEmptyOnReset(std::vector<std::shared_ptr<const Model>> records);
};

}  // namespace twig
