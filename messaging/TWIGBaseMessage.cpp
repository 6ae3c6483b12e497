#include "messaging/TWIGBaseMessage.h"

#include "api/TWIGUtils.h"
#include "messaging/CommandRouter.h"

namespace twig {

std::shared_ptr<CommandHandler> TWIGBaseMessage::messageStatus(const std::string& commandName,
                                                               const CommandContext& context) {
  return CommandRouter::shared().handlerFor(commandName, context);
}

void TWIGBaseMessage::publish(const Json& message, PushChannel::PublishCompletion completion) const {
  if (!context_.publish) {
    if (completion) completion(TWIGError{TWIGError::kPushNotConnected, 0, "no push channel in this process"});
    return;
  }
  context_.publish(message, std::move(completion));
}

Json TWIGBaseMessage::responseMessage(const std::string& deviceId, const std::string& name,
                                      const std::string& uuid, const Json& fields, const char* status) {
  Json body = Json::object();
  body["commandUuid"] = uuid;
  body["status"] = status;
  body["thisDeviceId"] = deviceId;
  body["updateTime"] = TWIGUtils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

Json TWIGBaseMessage::eventMessage(const std::string& deviceId, const std::string& name, const Json& fields) {
  Json body = Json::object();
  body["commandUuid"] = TWIGUtils::getUUIDString();
  body["thisDeviceId"] = deviceId;
  body["createTime"] = TWIGUtils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

const Json& TWIGBaseMessage::commandBody(const Json& payload) {
  // A reference into the payload: a command's tree is never copied on its way to a handler.
  static const Json kEmpty = Json::object();
  if (!payload.is_object() || payload.empty()) return kEmpty;
  const Json& body = payload.begin().value();
  return body.is_object() ? body : kEmpty;
}

std::string TWIGBaseMessage::commandUuid(const Json& payload) {
  const Json& body = commandBody(payload);
  auto it = body.find("commandUuid");
  if (it == body.end() || it->is_null() || it->is_structured()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump();
}

}  // namespace twig
