#include "messaging/PullCycle.h"

#include <cerrno>
#include <cstdlib>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "messaging/CommandRouter.h"
#include "messaging/MQTTMessage.h"
#include "messaging/Protocol.h"
#include "messaging/PullRequestBody.h"
#include "messaging/PushChannel.h"
#include "platform/Clock.h"

namespace twig {

PullCycle::PullCycle(PushChannel& channel, ApiClient& api, MainLoop& loop, const Clock& clock,
                     const CommandRouter& commands)
    : channel_(channel), api_(api), loop_(loop), clock_(clock), commands_(commands) {}

CommandContext PullCycle::commandContext(PushChannel& channel, MainLoop& loop, const Clock& clock) {
  const ChannelContext session = channel.channelContext();
  CommandContext context;
  context.deviceId = session.deviceId;
  context.parentDN = session.parentDN;
  context.publish = [&channel](const Json& message, PushChannel::PublishCompletion completion) {
    channel.publishWithParameter(message, std::move(completion));
  };
  context.mainLoop = &loop;
  context.clock = &clock;
  context.admit = [&channel](const std::string& name, const std::string& commandUuid,
                             const std::string& payload) {
    return channel.admitCommand(name, commandUuid, payload);
  };
  return context;
}

long long PullCycle::versionOfTopic(const std::string& topic) {
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

bool PullCycle::upgradeIsVersionWithTopic(const std::string& topic, const std::string&) {
  if (topic.rfind(protocol::kBrokerTopicPrefix, 0) == 0) return true;
  const long long version = versionOfTopic(topic);
  if (version == protocol::kVersion) return true;
  eventUpgrade(version < protocol::kVersion);
  return false;
}

void PullCycle::eventUpgrade(bool senderIsOlder) {
  const ChannelContext session = channel_.channelContext();
  const std::string& parentDN = session.parentDN;
  const std::string& deviceId = session.deviceId;
  Json body = Json::object();
  body[protocol::kKeyCommandUuid] = Utils::getUUIDString();
  body["thisDN"] = parentDN;
  body["createTime"] = Utils::millisecondsSince1970(clock_.now());
  body["thisDeviceId"] = deviceId;
  body[protocol::kKeyUpgradeDeviceId] = senderIsOlder ? parentDN : deviceId;
  Json message = Json::object();
  message[protocol::kEventUpgrade] = std::move(body);
  channel_.publishWithParameter(message, kQosAtMostOnce, [](const std::optional<Error>&) {});
  if (!senderIsOlder && session.mustUpgrade) session.mustUpgrade();
}

void PullCycle::startPullMessageWithComplete(Completion complete) {
  if (isPushMessage_) return;
  result_ = std::move(complete);
  const ChannelContext session = channel_.channelContext();
  if (!session.isBound || !session.isBound()) {
    if (result_) result_(std::nullopt);
    return;
  }
  isPushMessage_ = true;
  pushMessagesWithID(Json(""), "1");
}

void PullCycle::finish(const std::optional<Error>& error) {
  isPushMessage_ = false;
  if (result_) result_(error);
}

void PullCycle::pushMessagesWithID(const Json& messageId, const std::string& status) {
  api_.requestWithPath(
      kPullPath, PullRequestBody::pullRequestBody(messageId, status, channel_.channelContext().deviceId),
      HttpMethod::Put,
      [this](const ApiClient::Operation&, const std::optional<Json>& answer) {
        if (!answer || answer->is_null()) {
          finish(std::nullopt);
          return;
        }
        if (answer->is_object()) {
          auto code = answer->find("errorCode");
          if (code != answer->end() && Utils::integerValue(*code) == kUnboundError) {
            if (const auto unbound = channel_.channelContext().unbound) unbound();
            isPushMessage_ = false;
            return;
          }
        }
        const auto record = Model::fetchModelOfClass<PulledMessage>(*answer);
        const bool hasId = record && Utils::isPresent(record->messageId) &&
                           !(record->messageId->is_string() && record->messageId->get<std::string>().empty());
        if (!hasId) {
          // Without an id (an empty one is none: it is what the first request sends) the record
          // cannot be acknowledged, and asking again would return it again.
          finish(Error{"error", 0, "a pending message arrived without a messageId"});
          return;
        }
        // Acknowledge first (asking for the next); the record is handled while that travels.
        pushMessagesWithID(*record->messageId, "11");
        if (const auto payload = record->payloadText())
          commands_.dispatch(*payload, commandContext(channel_, loop_, clock_));
      },
      [this](const ApiClient::Operation&, const Error& error) { finish(error); });
}

}  // namespace twig
