#include "storage/CacheObject.h"

#include "api/Digest.h"
#include "platform/BoundedJson.h"

namespace twig {

namespace {

constexpr const char* kFormatKey = "archive";
constexpr const char* kFormat = "twig/1";
constexpr const char* kRootKey = "root";
constexpr const char* kDictionaryTag = "dict";
constexpr const char* kModelTag = "model";
constexpr const char* kDataTag = "data";
// Deeper nesting than any value of the agent; a file nested deeper is damaged or hostile.
constexpr int kMaxDepth = 64;

// Plain JSON to the tagged form: dictionaries are wrapped so that they cannot pass for models.
Json tag(const Json& plain) {
  if (plain.is_object()) {
    Json members = Json::object();
    for (auto it = plain.begin(); it != plain.end(); ++it) members[it.key()] = tag(it.value());
    Json node = Json::object();
    node[kDictionaryTag] = std::move(members);
    return node;
  }
  if (plain.is_array()) {
    Json elements = Json::array();
    for (const auto& element : plain) elements.push_back(tag(element));
    return elements;
  }
  return plain;
}

// The tagged form back to plain JSON; nothing when models or bytes are inside.
std::optional<Json> untag(const Json& node) {
  if (node.is_array()) {
    Json elements = Json::array();
    for (const auto& element : node) {
      auto plain = untag(element);
      if (!plain) return std::nullopt;
      elements.push_back(std::move(*plain));
    }
    return elements;
  }
  if (node.is_object()) {
    auto members = node.find(kDictionaryTag);
    if (members == node.end()) return std::nullopt;
    Json plain = Json::object();
    for (auto it = members->begin(); it != members->end(); ++it) {
      auto value = untag(it.value());
      if (!value) return std::nullopt;
      plain[it.key()] = std::move(*value);
    }
    return plain;
  }
  return node;
}

}  // namespace

CacheObject::CacheObject(const Json& plain) : node_(tag(plain)) {}

CacheObject CacheObject::model(const Model& model) {
  CacheObject object;
  object.node_ = Json::object();
  object.node_[kModelTag] = model.archive();
  return object;
}

CacheObject CacheObject::array(std::vector<CacheObject> elements) {
  CacheObject object;
  object.node_ = Json::array();
  for (auto& element : elements) object.node_.push_back(std::move(element.node_));
  return object;
}

CacheObject CacheObject::data(std::string_view bytes) {
  CacheObject object;
  object.node_ = Json::object();
  object.node_[kDataTag] = Digest::base64(bytes);
  return object;
}

std::optional<Json> CacheObject::plain() const {
  return untag(node_);
}

bool CacheObject::boolValue() const {
  if (node_.is_boolean()) return node_.get<bool>();
  if (node_.is_number()) return node_.get<double>() != 0;
  return false;
}

std::optional<std::int64_t> CacheObject::integerValue() const {
  if (node_.is_number_integer()) return node_.get<std::int64_t>();
  if (node_.is_number_float()) return static_cast<std::int64_t>(node_.get<double>());
  if (node_.is_boolean()) return node_.get<bool>() ? 1 : 0;
  return std::nullopt;
}

std::optional<std::string> CacheObject::stringValue() const {
  if (node_.is_string()) return node_.get<std::string>();
  return std::nullopt;
}

std::optional<std::string> CacheObject::dataValue() const {
  if (!node_.is_object()) return std::nullopt;
  auto data = node_.find(kDataTag);
  if (data == node_.end() || !data->is_string()) return std::nullopt;
  return Digest::base64Decode(data->get_ref<const std::string&>());
}

bool CacheObject::isModelNode(const Json& node) {
  if (!node.is_object() || node.size() != 1) return false;
  auto model = node.find(kModelTag);
  return model != node.end() && Model::isArchive(*model);
}

bool CacheObject::isValidNode(const Json& node, int depth) {
  if (depth > kMaxDepth) return false;
  if (node.is_array()) {
    for (const auto& element : node) {
      if (!isValidNode(element, depth + 1)) return false;
    }
    return true;
  }
  if (!node.is_object()) return true;
  if (node.size() != 1) return false;
  if (auto members = node.find(kDictionaryTag); members != node.end()) {
    if (!members->is_object()) return false;
    for (const auto& value : *members) {
      if (!isValidNode(value, depth + 1)) return false;
    }
    return true;
  }
  if (auto data = node.find(kDataTag); data != node.end()) return data->is_string();
  return isModelNode(node);
}

std::string CacheObject::encode() const {
  Json file = Json::object();
  file[kFormatKey] = kFormat;
  file[kRootKey] = node_;
  return file.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<CacheObject> CacheObject::decode(std::string_view bytes) {
  Json file = BoundedJson::parseOrDiscard(bytes, BoundedJson::kMaxStoredDepth);
  if (!file.is_object() || file.size() != 2) return std::nullopt;
  auto format = file.find(kFormatKey);
  auto root = file.find(kRootKey);
  if (format == file.end() || *format != kFormat || root == file.end()) return std::nullopt;
  if (!isValidNode(*root, 0)) return std::nullopt;
  CacheObject object;
  object.node_ = std::move(*root);
  return object;
}

}  // namespace twig
