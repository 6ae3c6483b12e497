#pragma once

#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

// An app-control group: its applications may run only inside the weekly window. Stored as a row of
// the table store; JSON members carry the member names.
class ControlGroupRecord final : public Model {
 public:
  // A fresh group: new identifier, empty name, type 0, window 06:00-23:00 every day.
  ControlGroupRecord();

  std::optional<std::string> groupId;
  std::optional<std::string> groupName;
  std::optional<Json> type;              // 0 Other, 1 social, 2 games for the built-in groups
  std::optional<std::string> startTime;  // "HH:mm", local time
  std::optional<std::string> endTime;    // "HH:mm"
  std::optional<std::string> week;       // day numbers "0" (Sunday) to "6", joined by ","

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
