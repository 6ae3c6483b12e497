#include "api/QueryString.h"

#include <algorithm>

namespace twig {

namespace {

void flatten(const std::string& key, const Json& value, std::vector<QueryString::Pair>& out) {
  if (value.is_object()) {
    std::vector<std::string> keys;
    for (auto it = value.begin(); it != value.end(); ++it) keys.push_back(it.key());
    std::sort(keys.begin(), keys.end());
    for (const auto& member : keys)
      flatten(key.empty() ? member : key + "[" + member + "]", value[member], out);
  } else if (value.is_array()) {
    for (const auto& element : value) flatten(key + "[]", element, out);
  } else if (value.is_null()) {
    out.emplace_back(key, std::nullopt);
  } else {
    out.emplace_back(key, QueryString::describe(value));
  }
}

}  // namespace

std::string QueryString::describe(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::vector<QueryString::Pair> QueryString::pairs(const Json& parameters) {
  std::vector<Pair> out;
  if (parameters.is_object() || parameters.is_array()) flatten("", parameters, out);
  return out;
}

std::string QueryString::percentEscape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == '?';
    if (plain) {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0F]);
    }
  }
  return out;
}

std::string QueryString::encode(const Json& parameters) {
  std::string out;
  for (const auto& [name, value] : pairs(parameters)) {
    if (!out.empty()) out.push_back('&');
    out += percentEscape(name);
    if (value) {
      out.push_back('=');
      out += percentEscape(*value);
    }
  }
  return out;
}

}  // namespace twig
