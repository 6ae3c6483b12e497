#include "frame/StateShape.h"

namespace twig {

namespace {

bool fits(FieldType type, const Json& value) {
  switch (type) {
    case FieldType::Text:
      return value.is_string();
    case FieldType::Number:
      return value.is_number();
    case FieldType::Flag:
      return value.is_boolean();
    case FieldType::List:
      return value.is_array();
    case FieldType::Record:
      return value.is_object();
  }
  return false;
}

const char* typeName(FieldType type) {
  switch (type) {
    case FieldType::Text:
      return "text";
    case FieldType::Number:
      return "a number";
    case FieldType::Flag:
      return "a flag";
    case FieldType::List:
      return "a list";
    case FieldType::Record:
      return "a record";
  }
  return "?";
}

}  // namespace

StateShape::StateShape(std::initializer_list<StateField> fields)
    : fields_{{"title", FieldType::Text, true},
              {"titleColor", FieldType::Text},
              {"rightButtonTitle", FieldType::Text},
              {"navigationBarHidden", FieldType::Flag},
              {"statusBarHidden", FieldType::Flag}} {
  fields_.insert(fields_.end(), fields);
}

const StateField* StateShape::find(std::string_view name) const {
  for (const auto& field : fields_)
    if (field.name == name) return &field;
  return nullptr;
}

std::string StateShape::mismatch(std::string_view name, const Json& value) const {
  const StateField* field = find(name);
  if (field == nullptr) return "no field \"" + std::string(name) + "\"";
  if (fits(field->type, value) || (field->optional && value.is_null())) return {};
  return "\"" + std::string(name) + "\" is " + typeName(field->type) + (field->optional ? " or null" : "") +
         ", not " + value.type_name();
}

std::vector<std::string> StateShape::mismatches(const Json& state) const {
  std::vector<std::string> found;
  if (!state.is_object()) return {"the state is not a record"};
  for (auto it = state.begin(); it != state.end(); ++it)
    if (auto why = mismatch(it.key(), *it); !why.empty()) found.push_back(std::move(why));
  return found;
}

Json StateShape::emptyValue(const StateField& field) {
  if (field.optional) return nullptr;
  switch (field.type) {
    case FieldType::Text:
      return "";
    case FieldType::Number:
      return 0;
    case FieldType::Flag:
      return false;
    case FieldType::List:
      return Json::array();
    case FieldType::Record:
      return Json::object();
  }
  return nullptr;
}

}  // namespace twig
