#include "messaging/HandlerBase.h"

#include "api/Utils.h"
#include "messaging/Protocol.h"

namespace twig {

void HandlerBase::publish(const Json& message, PushChannel::PublishCompletion completion) const {
  if (!context_.publish) {
    if (completion) completion(Error{Error::kPushNotConnected, 0, "no push channel in this process"});
    return;
  }
  context_.publish(message, std::move(completion));
}

Json HandlerBase::responseMessage(const Clock& clock, const std::string& deviceId, const std::string& name,
                                  const std::string& uuid, const Json& fields, const char* status) {
  Json body = Json::object();
  body[protocol::kKeyCommandUuid] = uuid;
  body["status"] = status;
  body["thisDeviceId"] = deviceId;
  body["updateTime"] = Utils::timeToTurnTheTimestamp(clock);
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

Json HandlerBase::eventMessage(const Clock& clock, const std::string& deviceId, const std::string& name,
                               const Json& fields) {
  Json body = Json::object();
  body[protocol::kKeyCommandUuid] = Utils::getUUIDString();
  body["thisDeviceId"] = deviceId;
  body["createTime"] = Utils::timeToTurnTheTimestamp(clock);
  for (auto it = fields.begin(); it != fields.end(); ++it) body[it.key()] = it.value();
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

}  // namespace twig
