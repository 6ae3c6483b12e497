#include "messaging/PullRequestBody.h"
#include "storage/StoredNames.h"

namespace twig {

Json PullRequestBody::pullRequestBody(const Json& messageId, const std::string& status,
                                      const std::string& deviceId) {
  PullRequestBody model(deviceId);
  model.messageId = messageId;
  model.status = status;
  return fetchFromModel(model);
}

const ModelClass& PullRequestBody::staticModelClass() {
  using M = PullRequestBody;
  static const ModelClass modelClass(stored::kPullRequestClass,
                                     {
                                         valueField("messageId", &M::messageId),
                                         textField("deviceId", &M::deviceId),
                                         textField("status", &M::status),
                                         textField("reasonCode", &M::reasonCode),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

std::optional<std::string> PulledMessage::payloadText() const {
  if (!payload) return std::nullopt;
  if (payload->is_string()) return payload->get<std::string>();
  return payload->dump(-1, ' ', false, Json::error_handler_t::replace);
}

const ModelClass& PulledMessage::staticModelClass() {
  using M = PulledMessage;
  static const ModelClass modelClass(stored::kPulledMessageClass,
                                     {
                                         valueField("messageId", &M::messageId),
                                         valueField("payload", &M::payload),
                                         valueField("deviceId", &M::deviceId),
                                         valueField("thisDN", &M::thisDN),
                                         valueField("type", &M::type),
                                         valueField("status", &M::status),
                                         valueField("reasonCode", &M::reasonCode),
                                         valueField("retryNum", &M::retryNum),
                                         valueField("createTime", &M::createTime),
                                         valueField("updateTime", &M::updateTime),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
