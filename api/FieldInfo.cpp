#include "api/FieldInfo.h"

#include <cctype>

#include "platform/BoundedJson.h"

namespace twig::detail {

void assignText(std::optional<std::string>& member, const Json& value) {
  if (value.is_null()) {
    member.reset();
  } else if (value.is_string()) {
    member = value.get<std::string>();
  } else if (value.is_boolean()) {
    member.emplace(1, value.get<bool>() ? '1' : '0');
  } else if (value.is_number()) {
    // A service that sends a number where text is expected still gets its value through, as text.
    member = value.dump();
  }
}

void assignNumber(std::optional<Json>& member, const Json& value) {
  if (value.is_null()) {
    member.reset();
  } else if (value.is_number() || value.is_boolean()) {
    member = value;
  } else if (value.is_string()) {
    // Rows of the table store and some service answers carry numbers as text; a text that is
    // exactly a number keeps its value.
    const auto& text = value.get_ref<const std::string&>();
    if (!text.empty() && !std::isspace(static_cast<unsigned char>(text.front())) &&
        !std::isspace(static_cast<unsigned char>(text.back()))) {
      Json parsed = BoundedJson::parseOrDiscard(text);
      if (parsed.is_number()) member = std::move(parsed);
    }
  }
}

void assignValue(std::optional<Json>& member, const Json& value) {
  if (value.is_null()) {
    member.reset();
  } else {
    member = value;
  }
}

void assignInteger(std::int64_t& member, const Json& value) {
  if (value.is_number_integer()) {
    member = value.get<std::int64_t>();
  } else if (value.is_number_float()) {
    const double d = value.get<double>();
    if (d >= -9.2e18 && d <= 9.2e18) member = static_cast<std::int64_t>(d);
  } else if (value.is_boolean()) {
    member = value.get<bool>() ? 1 : 0;
  }
}

void assignReal(double& member, const Json& value) {
  if (value.is_number()) {
    member = value.get<double>();
  } else if (value.is_boolean()) {
    member = value.get<bool>() ? 1 : 0;
  }
}

void assignBoolean(bool& member, const Json& value) {
  if (value.is_boolean()) {
    member = value.get<bool>();
  } else if (value.is_number()) {
    member = value.get<double>() != 0;
  }
}

}  // namespace twig::detail
