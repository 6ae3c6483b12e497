#include "api/ModelClass.h"

#include <mutex>

#include "api/Model.h"

namespace twig {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, const ModelClass*, std::less<>> classes;
};

// Process-wide on purpose: it is type information, like a vtable. Every model class enters it when
// its table is first made, and the object cache's archives name classes by it.
Registry& registry() {
  static Registry shared;
  return shared;
}

}  // namespace

ModelClass::ModelClass(std::string name, std::vector<FieldInfo> fields,
                       std::function<std::unique_ptr<Model>()> make)
    : name_(std::move(name)), fields_(std::move(fields)), make_(std::move(make)) {
  auto& shared = registry();
  std::lock_guard lock(shared.mutex);
  shared.classes[name_] = this;
}

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

const ModelClass* ModelClass::named(const std::string& name) {
  auto& shared = registry();
  std::lock_guard lock(shared.mutex);
  auto it = shared.classes.find(name);
  return it == shared.classes.end() ? nullptr : it->second;
}

}  // namespace twig
