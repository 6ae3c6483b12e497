#pragma once

#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

// An installed application and the control group it belongs to. Stored as a row of the table store.
class AppRecord final : public Model {
 public:
  std::optional<std::string> appPackage = "";  // bundle identifier: rows are found by it
  std::optional<std::string> appName = "";
  std::optional<std::string> version = "";
  std::optional<std::string> processName = "";  // compared with running process names
  std::optional<std::string> groupId = "";

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
