#include "messaging/CommandDispatch.h"

#include <memory>

#include "api/Utils.h"
#include "messaging/HandlerBase.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"

namespace twig {

namespace {

// The payload's name, and whether it is a notice: its first key (with more, the first one
// written counts), or for a notice the type it carries.
std::optional<std::pair<std::string, bool>> nameOf(const Json& payload) {
  if (payload.empty()) return std::nullopt;
  const std::string key = payload.begin().key();
  if (key != CommandDispatch::kNoticeKey) return std::make_pair(key, false);
  const Json& notice = payload.begin().value();
  if (!notice.is_object()) return std::nullopt;
  auto type = notice.find("type");
  if (type == notice.end() || !type->is_string()) return std::nullopt;
  return std::make_pair(type->get<std::string>(), true);
}

}  // namespace

const ModelClass& CommandDispatch::staticModelClass() {
  using M = CommandDispatch;
  static const ModelClass modelClass("TWIGEventModel", {textField("eventPayload", &M::eventPayload)},
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

void CommandDispatch::eventMessage(const std::string& text, const CommandContext& context) {
  CommandDispatch(text).postEventMessage(context);
}

void CommandDispatch::postEventMessage(const CommandContext& context) const {
  const auto name = dispatch(context);
  if (!name) return;
  port::notifications().post(*name, std::make_shared<const CommandDispatch>(*this));
}

std::optional<Json> CommandDispatch::fetchEventMessagePayload() const {
  if (!eventPayload) return std::nullopt;
  auto payload = Utils::jsonWithString(*eventPayload);
  if (!payload || !payload->is_object()) return std::nullopt;
  return payload;
}

std::optional<std::string> CommandDispatch::eventName() const {
  const auto payload = fetchEventMessagePayload();
  if (!payload) return std::nullopt;
  const auto name = nameOf(*payload);
  if (!name) return std::nullopt;
  return name->first;
}

std::optional<std::string> CommandDispatch::dispatch(const CommandContext& context) const {
  const auto payload = fetchEventMessagePayload();
  if (!payload) return std::nullopt;
  const auto name = nameOf(*payload);
  if (!name) return std::nullopt;
  if (context.admit && !context.admit(name->first, HandlerBase::commandUuid(*payload), *eventPayload))
    return std::nullopt;
  if (name->second) eventNotification(name->first, context);
  if (auto handler = HandlerBase::lookUpHandler(name->first, context))
    handler->receiveMessagePayload(*payload);
  return name->first;
}

void CommandDispatch::eventNotification(const std::string& type, const CommandContext& context) {
  if (context.noticed) context.noticed(type);
}

}  // namespace twig
