#include "api/ModelClass.h"

#include "api/Model.h"

namespace twig {

ModelClass::ModelClass(std::string name, std::vector<FieldInfo> fields,
                       std::function<std::unique_ptr<Model>()> make)
    : name_(std::move(name)), fields_(std::move(fields)), make_(std::move(make)) {}

std::unique_ptr<Model> ModelClass::create() const {
  return make_();
}

const FieldInfo* ModelClass::field(std::string_view name) const {
  for (const auto& info : fields_) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

std::map<std::string, std::string> ModelClass::JSONKeyPathsByPropertyKey() const {
  std::map<std::string, std::string> renamed;
  for (const auto& info : fields_) {
    if (info.name != info.jsonKey) renamed[info.name] = info.jsonKey;
  }
  return renamed;
}

}  // namespace twig
