#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "api/Model.h"
#include "platform/Json.h"

namespace twig {

// A value of the object cache: plain values (booleans, numbers, strings, arrays, dictionaries),
// whole models, arrays of them, or raw bytes (encoded pictures). It is kept in a self-describing
// form so that a read restores exactly the types that were written: a dictionary never turns into
// a model, nor a number into a boolean.
class CacheObject {
 public:
  // A plain value; dictionaries and arrays may nest.
  explicit CacheObject(const Json& plain);
  static CacheObject model(const Model& model);
  template <class T>
  static CacheObject models(const std::vector<T>& list) {
    std::vector<CacheObject> elements;
    elements.reserve(list.size());
    for (const auto& item : list) elements.push_back(model(item));
    return array(std::move(elements));
  }
  static CacheObject array(std::vector<CacheObject> elements);
  static CacheObject data(std::string_view bytes);

  // The plain value; nothing when a model or bytes are part of it.
  std::optional<Json> plain() const;
  // Booleans as they are, numbers as non-zero; false for everything else.
  bool boolValue() const;
  std::optional<std::int64_t> integerValue() const;
  std::optional<std::string> stringValue() const;
  template <class T>
  std::optional<T> modelValue() const {
    if (!isModelNode(node_)) return std::nullopt;
    return Model::unarchiveAs<T>(node_["model"]);
  }
  // Every element must be a model of type T.
  template <class T>
  std::optional<std::vector<T>> modelArray() const {
    if (!node_.is_array()) return std::nullopt;
    std::vector<T> list;
    for (const auto& element : node_) {
      if (!isModelNode(element)) return std::nullopt;
      auto item = Model::unarchiveAs<T>(element["model"]);
      if (!item) return std::nullopt;
      list.push_back(std::move(*item));
    }
    return list;
  }
  std::optional<std::string> dataValue() const;

  // The bytes of one cache file, and back; nothing for bytes that are not such an archive.
  std::string encode() const;
  static std::optional<CacheObject> decode(std::string_view bytes);

  bool operator==(const CacheObject& other) const { return node_ == other.node_; }

 private:
  CacheObject() = default;
  static bool isModelNode(const Json& node);
  static bool isValidNode(const Json& node, int depth);

  Json node_;
};

}  // namespace twig
