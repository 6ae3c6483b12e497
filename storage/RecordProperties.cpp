#include "storage/RecordProperties.h"

namespace twig {

Json RecordProperties::propertyWithName(const std::string& name, const std::string& attributes,
                                        const std::optional<Json>& value) {
  Json description = Json::object();
  description["propertyName"] = name;
  description["propertyAttributes"] = attributes;
  description["propertyValue"] = value && !value->is_null() ? *value : Json("");
  return description;
}

std::vector<Json> RecordProperties::fetchPropertyList(const Model& record) {
  std::vector<Json> list;
  for (const auto& field : record.modelClass().fields()) {
    list.push_back(propertyWithName(field.name, field.attributes, field.get(record)));
  }
  return list;
}

std::vector<std::string> RecordProperties::fetchPropertyNameList(const Model& record) {
  std::vector<std::string> names;
  for (const auto& property : fetchPropertyList(record)) names.push_back(property["propertyName"]);
  return names;
}

std::vector<Json> RecordProperties::fetchPropertyValueList(const Model& record) {
  std::vector<Json> values;
  for (const auto& property : fetchPropertyList(record)) values.push_back(property["propertyValue"]);
  return values;
}

}  // namespace twig
