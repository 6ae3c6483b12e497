#include "messaging/HandlerBase.h"

#include "api/Utils.h"
#include "messaging/CommandRouter.h"

namespace twig {

std::shared_ptr<CommandHandler> HandlerBase::lookUpHandler(const std::string& commandName,
                                                               const CommandContext& context) {
  return CommandRouter::shared().handlerFor(commandName, context);
}

void HandlerBase::publish(const Json& message, PushChannel::PublishCompletion completion) const {
  if (!context_.publish) {
    if (completion) completion(Error{Error::kPushNotConnected, 0, "no push channel in this process"});
    return;
  }
  context_.publish(message, std::move(completion));
}

Json HandlerBase::responseMessage(const std::string& deviceId, const std::string& name,
                                      const std::string& uuid, const Json& fields, const char* status) {
  Json body = Json::object();
  body["commandUuid"] = uuid;
  body["status"] = status;
  body["thisDeviceId"] = deviceId;
  body["updateTime"] = Utils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

Json HandlerBase::eventMessage(const std::string& deviceId, const std::string& name, const Json& fields) {
  Json body = Json::object();
  body["commandUuid"] = Utils::getUUIDString();
  body["thisDeviceId"] = deviceId;
  body["createTime"] = Utils::timeToTurnTheTimestamp();
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

const Json& HandlerBase::commandBody(const Json& payload) {
  // A reference into the payload: a command's tree is never copied on its way to a handler.
  static const Json kEmpty = Json::object();
  if (!payload.is_object() || payload.empty()) return kEmpty;
  const Json& body = payload.begin().value();
  return body.is_object() ? body : kEmpty;
}

std::string HandlerBase::commandUuid(const Json& payload) {
  const Json& body = commandBody(payload);
  auto it = body.find("commandUuid");
  if (it == body.end() || it->is_null() || it->is_structured()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump();
}

}  // namespace twig
