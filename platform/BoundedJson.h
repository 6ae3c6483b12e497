#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Json.h"

namespace twig {

// JSON text from outside the process (broker messages, the service's answers, files on disk) is
// read through here. The parser itself is iterative, but copying, printing or comparing a tree
// recurses once per level: an array nested 100,000 deep would overflow the stack of whoever touches
// it next. The nesting is measured on the text, before any tree is built.
class BoundedJson {
 public:
  // Messages and answers of the protocol nest a handful of levels.
  static constexpr std::size_t kMaxDepth = 64;
  // The agent's own files wrap what they keep in a few levels of their own.
  static constexpr std::size_t kMaxStoredDepth = 256;

  struct Result {
    std::optional<Json> value;  // nothing: too deep or not JSON
    bool tooDeep = false;
  };

  // Parses `text` when no array or object in it nests deeper than `maxDepth` levels.
  static Result parse(std::string_view text, std::size_t maxDepth = kMaxDepth);
  // The same, for callers that test `is_discarded()`: a text nested too deep reads as one that is
  // not JSON.
  static Json parseOrDiscard(std::string_view text, std::size_t maxDepth = kMaxDepth);
  // Whether the arrays and objects of `text` nest deeper than `maxDepth` (brackets inside strings
  // do not count). Linear in the text; builds nothing.
  static bool deeperThan(std::string_view text, std::size_t maxDepth);
  // For a log line: "nested deeper than 64 levels".
  static std::string depthProblem(std::size_t maxDepth);
};

}  // namespace twig
