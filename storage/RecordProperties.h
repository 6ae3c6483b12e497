#pragma once

#include <string>
#include <vector>

#include "api/Model.h"
#include "platform/Json.h"

namespace twig {

// The reflection the table store works with: a record's own declared properties, in declaration
// order, each described by its name, attribute text and current value (absent values as "").
class RecordProperties {
 public:
  // Each element: {"propertyName", "propertyAttributes", "propertyValue"}.
  static std::vector<Json> fetchPropertyList(const Model& record);
  static std::vector<std::string> fetchPropertyNameList(const Model& record);
  static std::vector<Json> fetchPropertyValueList(const Model& record);
  static Json propertyWithName(const std::string& name, const std::string& attributes,
                               const std::optional<Json>& value);
};

}  // namespace twig
