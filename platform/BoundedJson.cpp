#include "platform/BoundedJson.h"

namespace twig {

bool BoundedJson::deeperThan(std::string_view text, std::size_t maxDepth) {
  std::size_t depth = 0;
  bool inString = false;
  bool escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    switch (c) {
      case '"':
        inString = true;
        break;
      case '[':
      case '{':
        if (++depth > maxDepth) return true;
        break;
      case ']':
      case '}':
        // Unbalanced text is the parser's to refuse; it only must not make the count wrap.
        if (depth > 0) --depth;
        break;
      default:
        break;
    }
  }
  return false;
}

BoundedJson::Result BoundedJson::parse(std::string_view text, std::size_t maxDepth) {
  Result result;
  if (deeperThan(text, maxDepth)) {
    result.tooDeep = true;
    return result;
  }
  Json parsed = Json::parse(text.begin(), text.end(), nullptr, false);
  if (!parsed.is_discarded()) result.value = std::move(parsed);
  return result;
}

Json BoundedJson::parseOrDiscard(std::string_view text, std::size_t maxDepth) {
  auto result = parse(text, maxDepth);
  if (!result.value) return Json(Json::value_t::discarded);
  return std::move(*result.value);
}

std::string BoundedJson::depthProblem(std::size_t maxDepth) {
  return "nested deeper than " + std::to_string(maxDepth) + " levels";
}

}  // namespace twig
