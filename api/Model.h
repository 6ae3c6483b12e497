#pragma once

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "api/FieldInfo.h"
#include "api/ModelClass.h"
#include "platform/Json.h"

namespace twig {

// The root of every model that travels as JSON. A model declares its members and one static field
// table (ModelClass); the table drives the JSON mapping, the archives of the object cache and the
// table store's columns.
//
// Mapping rules: JSON members carry the member's name unless the table renames them; members the
// model does not declare are ignored; members the JSON lacks stay as they are; JSON null unsets an
// object member and leaves a plain number unchanged.
class Model {
 public:
  virtual ~Model() = default;
  virtual const ModelClass& modelClass() const = 0;

  // A new model filled from a JSON dictionary; nothing when `dictionary` is not an object.
  template <class T>
  static std::optional<T> fetchModelOfClass(const Json& dictionary) {
    static_assert(std::is_base_of_v<Model, T>);
    if (!dictionary.is_object()) return std::nullopt;
    T model;
    model.applyDictionary(dictionary);
    return model;
  }
  static std::unique_ptr<Model> fetchModelOfClass(const ModelClass& modelClass, const Json& dictionary);

  // Every member under its JSON name, in declaration order; unset members as null.
  static Json fetchFromModel(const Model& model);

  // The self-describing archive kept by the object cache: {"class": name, "members": {...}} with
  // the set members under their own names.
  Json archive() const;
  template <class T>
  static std::optional<T> unarchiveAs(const Json& archive) {
    if (!isArchiveOf(archive, T::staticModelClass())) return std::nullopt;
    T model;
    model.restoreMembers(archive["members"]);
    return model;
  }
  static bool isArchive(const Json& value);

  // Applies the members of `dictionary` by the mapping rules.
  void applyDictionary(const Json& dictionary);

 protected:
  Model() = default;
  Model(const Model&) = default;
  Model& operator=(const Model&) = default;

 private:
  static bool isArchiveOf(const Json& archive, const ModelClass& modelClass);
  void restoreMembers(const Json& members);
};

}  // namespace twig
