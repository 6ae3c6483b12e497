#pragma once

#include <optional>
#include <string_view>

#include "platform/Json.h"

namespace twig {

// XML property lists read into JSON: dictionaries, arrays, strings, integers, reals and booleans
// (dates become their seconds since 1970, data its Base64).
class PropertyList {
 public:
  static std::optional<Json> parseXml(std::string_view xml);
};

}  // namespace twig
