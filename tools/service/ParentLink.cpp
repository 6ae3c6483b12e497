#include "tools/service/ParentLink.h"

#include "api/Utils.h"
#include "messaging/Protocol.h"
#include "platform/BoundedJson.h"
#include "platform/Uuid.h"

namespace twig::service {

ParentLink::ParentLink(ServiceDatabase& database, Clock& clock, const std::string& host, std::uint16_t port)
    : database_(database),
      clock_(clock),
      client_(std::make_unique<MQTTClient>("twig-service-" + Uuid::randomString().substr(0, 8), true)) {
  client_->settings().port = port;
  client_->settings().username = protocol::kBrokerCredentials;
  client_->settings().password = protocol::kBrokerCredentials;
  client_->setMessageHandler([this](const MQTTMessage& message) { record(message); });
  client_->connectToHost(host, [this](int resultCode) {
    // Every parent address of any version: answers, events, wills and version notices.
    if (resultCode == 0) client_->subscribe(protocol::kEveryParentTopic, 1, nullptr);
  });
}

void ParentLink::record(const MQTTMessage& message) {
  const Json payload = BoundedJson::parseOrDiscard(message.payload);
  std::string deviceId;
  if (payload.is_object() && !payload.empty())
    deviceId = Utils::stringValue(payload.begin().value(), "thisDeviceId");
  database_.recordMessage(deviceId, message.topic, payload.is_discarded() ? Json(message.payload) : payload,
                          Utils::millisecondsSince1970(clock_.now()));
  std::lock_guard lock(mutex_);
  arrived_.notify_all();
}

void ParentLink::publishCommand(const std::string& deviceId, const Json& payload) {
  client_->publishString(payload.dump(2, ' ', false, Json::error_handler_t::replace),
                         protocol::deviceTopic(deviceId), 1, false, nullptr);
}

Json ParentLink::waitForMessages(const std::string& deviceId, std::int64_t after,
                                 std::chrono::milliseconds wait) {
  const auto giveUp = std::chrono::steady_clock::now() + wait;
  for (;;) {
    Json messages = database_.messagesAfter(deviceId, after);
    if (!messages.empty() || std::chrono::steady_clock::now() >= giveUp) return messages;
    std::unique_lock lock(mutex_);
    if (stopping_) return messages;
    arrived_.wait_until(lock,
                        std::min(giveUp, std::chrono::steady_clock::now() + std::chrono::milliseconds(200)));
  }
}

void ParentLink::stopWaiting() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  arrived_.notify_all();
}

}  // namespace twig::service
