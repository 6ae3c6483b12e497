#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Json.h"

namespace twig {

// One command as it arrived, decoded once: its name (the payload's one top-level key; with more,
// the first one written counts), its "commandUuid" as text ("" when absent or not a plain value),
// and the whole payload, whose value under the name holds the command's fields.
struct Command {
  std::string name;
  std::string uuid;
  Json payload = Json::object();

  // The command's fields: the value under its name (an empty object when that is not an object).
  const Json& body() const;

  // A received text as a command; nothing when it is not a JSON object with at least one key, or
  // nests deeper than outside text may.
  static std::optional<Command> decode(std::string_view text);
  // A payload already decoded (the pull cycle's records, tests).
  static std::optional<Command> fromPayload(Json payload);
};

}  // namespace twig
