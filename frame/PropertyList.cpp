#include "frame/PropertyList.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "api/Digest.h"

namespace twig {

namespace {

struct PlistDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};

// Nesting deeper than this is not a resource of ours.
constexpr int kMaxDepth = 32;

std::optional<Json> toJson(plist_t node, int depth) {
  if (depth > kMaxDepth) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
      Json object = Json::object();
      plist_dict_iter iterator = nullptr;
      plist_dict_new_iter(node, &iterator);
      std::optional<Json> result = object;
      for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        if (key == nullptr) break;
        std::string name(key);
        std::free(key);
        auto converted = value ? toJson(value, depth + 1) : std::nullopt;
        if (!converted) {
          result.reset();
          break;
        }
        (*result)[name] = std::move(*converted);
      }
      std::free(iterator);
      return result;
    }
    case PLIST_ARRAY: {
      Json array = Json::array();
      const uint32_t size = plist_array_get_size(node);
      for (uint32_t i = 0; i < size; ++i) {
        auto converted = toJson(plist_array_get_item(node, i), depth + 1);
        if (!converted) return std::nullopt;
        array.push_back(std::move(*converted));
      }
      return array;
    }
    case PLIST_STRING: {
      char* text = nullptr;
      plist_get_string_val(node, &text);
      std::string value = text != nullptr ? text : "";
      std::free(text);
      return Json(value);
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return Json(value != 0);
    }
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return Json(value);
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return Json(value);
    }
    case PLIST_DATE: {
      int32_t seconds = 0;
      int32_t micros = 0;
      plist_get_date_val(node, &seconds, &micros);
      return Json(978307200.0 + seconds + micros / 1e6);
    }
    case PLIST_DATA: {
      char* bytes = nullptr;
      uint64_t length = 0;
      plist_get_data_val(node, &bytes, &length);
      std::string value = Digest::base64(std::string_view(bytes != nullptr ? bytes : "", length));
      std::free(bytes);
      return Json(value);
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<Json> PropertyList::parseXml(std::string_view xml) {
  if (xml.empty() || xml.size() > UINT32_MAX) return std::nullopt;
  plist_t parsed = nullptr;
  plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &parsed);
  std::unique_ptr<void, PlistDeleter> root(parsed);
  if (!root) return std::nullopt;
  return toJson(root.get(), 0);
}

}  // namespace twig
