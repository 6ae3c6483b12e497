#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Json.h"

namespace twig {

// Parameters flattened into name/value pairs the way form encoders do: nested dictionaries as
// "a[b]", arrays as "a[]", dictionary keys in sorted order.
class QueryString {
 public:
  using Pair = std::pair<std::string, std::optional<std::string>>;  // no value for JSON null
  static std::vector<Pair> pairs(const Json& parameters);
  // "name=value&..." with both sides percent-encoded.
  static std::string encode(const Json& parameters);
  // Everything but letters, digits, "-._~", "/" and "?" is escaped.
  static std::string percentEscape(std::string_view text);
  // A scalar as form encoders print it: strings as they are, booleans as 1/0, numbers as JSON text.
  static std::string describe(const Json& value);
};

}  // namespace twig
