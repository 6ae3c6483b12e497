#pragma once

#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

// One application on the lock screen, made from an application of a blacklist entry. `iconUrl`
// stays empty: the cell builds the icon's address from the package.
class LockedApp final : public Model {
 public:
  std::optional<std::string> appName;
  std::optional<std::string> appPackage;
  std::optional<std::string> iconUrl;
  std::optional<std::string> processName;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
