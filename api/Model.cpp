#include "api/Model.h"

namespace twig {

namespace {
constexpr const char* kClassKey = "class";
constexpr const char* kMembersKey = "members";
}  // namespace

void Model::applyDictionary(const Json& dictionary) {
  if (!dictionary.is_object()) return;
  for (const auto& field : modelClass().fields()) {
    auto it = dictionary.find(field.jsonKey);
    if (it != dictionary.end()) field.set(*this, *it);
  }
}

std::unique_ptr<Model> Model::fetchModelOfClass(const ModelClass& modelClass, const Json& dictionary) {
  if (!dictionary.is_object()) return nullptr;
  auto model = modelClass.create();
  model->applyDictionary(dictionary);
  return model;
}

Json Model::fetchFromModel(const Model& model) {
  Json dictionary = Json::object();
  for (const auto& field : model.modelClass().fields()) {
    auto value = field.get(model);
    dictionary[field.jsonKey] = value ? std::move(*value) : Json(nullptr);
  }
  return dictionary;
}

Json Model::archive() const {
  Json members = Json::object();
  for (const auto& field : modelClass().fields()) {
    if (auto value = field.get(*this)) members[field.name] = std::move(*value);
  }
  Json archived = Json::object();
  archived[kClassKey] = modelClass().name();
  archived[kMembersKey] = std::move(members);
  return archived;
}

bool Model::isArchive(const Json& value) {
  if (!value.is_object() || value.size() != 2) return false;
  auto name = value.find(kClassKey);
  auto members = value.find(kMembersKey);
  return name != value.end() && name->is_string() && members != value.end() && members->is_object();
}

bool Model::isArchiveOf(const Json& archive, const ModelClass& modelClass) {
  return isArchive(archive) && archive[kClassKey].get_ref<const std::string&>() == modelClass.name();
}

void Model::restoreMembers(const Json& members) {
  for (const auto& field : modelClass().fields()) {
    auto it = members.find(field.name);
    if (it != members.end()) field.set(*this, *it);
  }
}

}  // namespace twig
