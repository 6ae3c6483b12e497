#include "messaging/TWIGMQTTStore.h"

#include <cerrno>
#include <cstdlib>

#include "api/TWIGRequest.h"
#include "api/TWIGUtils.h"
#include "identity/TWIGChildUser.h"
#include "messaging/PushChannel.h"
#include "messaging/TWIGEventModel.h"
#include "messaging/TWIGMQTTModel.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"

namespace twig {

long long TWIGMQTTStore::versionOfTopic(const std::string& topic) {
  // The first level is "/ts/"; the version is the leading number of what follows.
  const std::string rest = topic.size() > 4 ? topic.substr(4) : std::string();
  const std::string level = rest.substr(0, rest.find('/'));
  std::size_t i = 0;
  bool negative = false;
  if (i < level.size() && (level[i] == '+' || level[i] == '-')) negative = level[i++] == '-';
  long long value = 0;
  for (; i < level.size() && level[i] >= '0' && level[i] <= '9'; ++i) {
    if (value > 100000000000LL) break;  // far beyond any version; stop before overflowing
    value = value * 10 + (level[i] - '0');
  }
  return negative ? -value : value;
}

bool TWIGMQTTStore::upgradeIsVersionWithTopic(const std::string& topic, const std::string&) {
  if (topic.rfind("mqtt-subscription", 0) == 0) return true;
  const long long version = versionOfTopic(topic);
  if (version == kProtocolVersion) return true;
  eventUpgrade(version < kProtocolVersion);
  return false;
}

void TWIGMQTTStore::eventUpgrade(bool senderIsOlder) {
  auto& user = TWIGChildUser::sharedChildUser();
  const std::string parentDN = user.user_parentDN();
  const std::string deviceId = user.user_childDeviceId();
  Json body = Json::object();
  body["commandUuid"] = TWIGUtils::getUUIDString();
  body["thisDN"] = parentDN;
  body["createTime"] = TWIGUtils::millisecondsSince1970(port::clock().now());
  body["thisDeviceId"] = deviceId;
  body["upgradeDeviceId"] = senderIsOlder ? parentDN : deviceId;
  Json message = Json::object();
  message["EventUpgrade"] = std::move(body);
  channel_.publishWithParameter(message, 0, [](const std::optional<TWIGError>&) {});
  if (!senderIsOlder) user.showEventUpgrade();
}

void TWIGMQTTStore::startPullMessageWithComplete(Completion complete) {
  if (isPushMessage_) return;
  result_ = std::move(complete);
  if (!TWIGChildUser::sharedChildUser().user_isBinding()) {
    if (result_) result_(std::nullopt);
    return;
  }
  isPushMessage_ = true;
  pushMessagesWithID(Json(""), "1");
}

void TWIGMQTTStore::finish(const std::optional<TWIGError>& error) {
  isPushMessage_ = false;
  if (result_) result_(error);
}

void TWIGMQTTStore::pushMessagesWithID(const Json& messageId, const std::string& status) {
  TWIGRequest::sharedRequest().requestWithPath(
      kPullPath, TWIGMQTTModel::ferchMessagesWithID(messageId, status), 2,
      [this](const TWIGRequest::Operation&, const std::optional<Json>& answer) {
        if (!answer || answer->is_null()) {
          finish(std::nullopt);
          return;
        }
        if (answer->is_object()) {
          auto code = answer->find("errorCode");
          if (code != answer->end() && TWIGUtils::integerValue(*code) == kUnboundError) {
            TWIGCache::setBool(false, TWIGChildUser::kBindingKey);
            port::notifications().post("Reset");
            isPushMessage_ = false;
            return;
          }
        }
        const auto record = TWIGBaseModel::fetchModelOfClass<TWIGPullMessageModel>(*answer);
        if (!record || !TWIGUtils::objectIsNull(record->messageId)) {
          // Without an id the record cannot be acknowledged, and asking again would return it again.
          finish(TWIGError{"error", 0, "a pending message arrived without a messageId"});
          return;
        }
        // Acknowledge first (asking for the next); the record is handled while that travels.
        pushMessagesWithID(*record->messageId, "11");
        if (const auto payload = record->payloadText()) TWIGEventModel::eventMessage(*payload);
      },
      [this](const TWIGRequest::Operation&, const TWIGError& error) { finish(error); });
}

}  // namespace twig
