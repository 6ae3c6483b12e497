#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "api/FieldInfo.h"

namespace twig {

class Model;

// A model type's name, its field table and a way to make an empty instance. The name is what the
// object cache's archives and the table store's table names use.
class ModelClass {
 public:
  ModelClass(std::string name, std::vector<FieldInfo> fields, std::function<std::unique_ptr<Model>()> make);
  ModelClass(const ModelClass&) = delete;
  ModelClass& operator=(const ModelClass&) = delete;

  const std::string& name() const { return name_; }
  const std::vector<FieldInfo>& fields() const { return fields_; }
  const FieldInfo* field(std::string_view name) const;
  std::unique_ptr<Model> create() const;
  // Member name to JSON name, for the renamed members only (empty for identity mapping).
  std::map<std::string, std::string> JSONKeyPathsByPropertyKey() const;

 private:
  std::string name_;
  std::vector<FieldInfo> fields_;
  std::function<std::unique_ptr<Model>()> make_;
};

}  // namespace twig
