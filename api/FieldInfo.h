#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/Json.h"

namespace twig {

class Model;

// How a model member holds its value. Object kinds (Text, Number, Value) can be unset; plain
// numeric kinds always hold a value and keep it when JSON null arrives.
enum class FieldKind {
  Text,     // std::optional<std::string>
  Number,   // std::optional<Json> holding a number (a text that is exactly a number is read as one)
  Value,    // std::optional<Json>: arrays, dictionaries, anything
  Integer,  // std::int64_t
  Real,     // double
  Boolean,  // bool
};

// One row of a model's field table: declaration order is JSON order, archive order and column order.
struct FieldInfo {
  std::string name;     // member name, also the table column
  std::string jsonKey;  // member name in JSON; equals `name` unless the model renames it
  FieldKind kind;
  std::string attributes;  // a type description, carried by the table reflection
  // Nothing when unset.
  std::function<std::optional<Json>(const Model&)> get;
  // Applies one JSON value by the mapping rules of the kind (null unsets object kinds and leaves
  // plain numbers alone; a value of the wrong type is ignored).
  std::function<void(Model&, const Json&)> set;
};

namespace detail {

void assignText(std::optional<std::string>& member, const Json& value);
void assignNumber(std::optional<Json>& member, const Json& value);
void assignValue(std::optional<Json>& member, const Json& value);
void assignInteger(std::int64_t& member, const Json& value);
void assignReal(double& member, const Json& value);
void assignBoolean(bool& member, const Json& value);

template <class M, class T>
FieldInfo makeField(std::string name, T M::*member, std::string jsonKey, FieldKind kind,
                    std::string attributes) {
  FieldInfo info;
  info.name = std::move(name);
  info.jsonKey = jsonKey.empty() ? info.name : std::move(jsonKey);
  info.kind = kind;
  info.attributes = std::move(attributes);
  info.get = [member](const Model& model) -> std::optional<Json> {
    const auto& value = static_cast<const M&>(model).*member;
    if constexpr (std::is_same_v<T, std::optional<std::string>> || std::is_same_v<T, std::optional<Json>>) {
      if (!value) return std::nullopt;
      return Json(*value);
    } else {
      return Json(value);
    }
  };
  info.set = [member, kind](Model& model, const Json& json) {
    auto& value = static_cast<M&>(model).*member;
    if constexpr (std::is_same_v<T, std::optional<std::string>>) {
      assignText(value, json);
    } else if constexpr (std::is_same_v<T, std::optional<Json>>) {
      if (kind == FieldKind::Number) {
        assignNumber(value, json);
      } else {
        assignValue(value, json);
      }
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
      assignInteger(value, json);
    } else if constexpr (std::is_same_v<T, double>) {
      assignReal(value, json);
    } else {
      static_assert(std::is_same_v<T, bool>, "unsupported model member type");
      assignBoolean(value, json);
    }
  };
  return info;
}

}  // namespace detail

// Field-table rows. `jsonKey` renames the member in JSON (e.g. a member `_description` read from
// "description"); leave it empty for the same name.
template <class M>
FieldInfo textField(std::string name, std::optional<std::string> M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Text,
                           "T@\"NSString\",&,N");
}
template <class M>
FieldInfo numberField(std::string name, std::optional<Json> M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Number,
                           "T@\"NSNumber\",&,N");
}
template <class M>
FieldInfo valueField(std::string name, std::optional<Json> M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Value, "T@,&,N");
}
template <class M>
FieldInfo integerField(std::string name, std::int64_t M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Integer, "Tq,N");
}
template <class M>
FieldInfo realField(std::string name, double M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Real, "Td,N");
}
template <class M>
FieldInfo booleanField(std::string name, bool M::*member, std::string jsonKey = {}) {
  return detail::makeField(std::move(name), member, std::move(jsonKey), FieldKind::Boolean, "TB,N");
}

}  // namespace twig
