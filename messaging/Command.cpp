#include "messaging/Command.h"

#include "messaging/Protocol.h"
#include "platform/BoundedJson.h"

namespace twig {

const Json& Command::body() const {
  // A reference into the payload: a command's tree is never copied on its way to a handler.
  static const Json kEmpty = Json::object();
  if (!payload.is_object() || payload.empty()) return kEmpty;
  const Json& fields = payload.begin().value();
  return fields.is_object() ? fields : kEmpty;
}

std::optional<Command> Command::decode(std::string_view text) {
  Json payload = BoundedJson::parseOrDiscard(text);
  return fromPayload(std::move(payload));
}

std::optional<Command> Command::fromPayload(Json payload) {
  if (!payload.is_object() || payload.empty()) return std::nullopt;
  Command command;
  command.name = payload.begin().key();
  command.payload = std::move(payload);
  const Json& fields = command.body();
  if (auto it = fields.find(protocol::kKeyCommandUuid);
      it != fields.end() && !it->is_null() && !it->is_structured())
    command.uuid = it->is_string() ? it->get<std::string>() : it->dump();
  return command;
}

}  // namespace twig
