#include "platform/UserDefaults.h"

namespace twig {

bool UserDefaults::boolForKey(const std::string& key) {
  const auto value = objectForKey(key);
  if (!value) return false;
  if (value->is_boolean()) return value->get<bool>();
  if (value->is_number()) return value->get<double>() != 0;
  return false;
}

}  // namespace twig
