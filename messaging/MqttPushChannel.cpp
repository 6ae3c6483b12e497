#include "messaging/MqttPushChannel.h"

#include <cstdio>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "messaging/CommandRouter.h"
#include "messaging/HandlerBase.h"
#include "messaging/Protocol.h"
#include "platform/BoundedJson.h"
#include "platform/DeploymentSettings.h"
#include "platform/Directories.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

namespace {

Json presenceMessage(const Clock& clock, const char* name, const std::string& deviceId) {
  Json body = Json::object();
  body[protocol::kKeyCommandUuid] = Utils::getUUIDString();
  body["createTime"] = Utils::timeToTurnTheTimestamp(clock);
  body["thisDeviceId"] = deviceId;
  Json message = Json::object();
  message[name] = std::move(body);
  return message;
}

// The "commandUuid" of a message's one body ("" when none).
std::string uuidOf(const Json& message) {
  const auto command = Command::fromPayload(message);
  return command ? command->uuid : std::string();
}

}  // namespace

MqttPushChannel::MqttPushChannel(const Ports& ports, ApiClient& api, ObjectCache& cache,
                                 const CommandRouter& commands)
    : ports_(ports), api_(api), cache_(cache), commands_(commands) {}

long long MqttPushChannel::nowMs() const {
  return Utils::millisecondsSince1970(ports_.clock.now());
}

MqttPushChannel::~MqttPushChannel() {
  stop();
}

void MqttPushChannel::stop() {
  // Messages waiting for their first write are written and handed over first ...
  writer_.sync([] {});
  // ... then the network thread ends, and with it every reaction that uses this object; what the
  // broker had not acknowledged stays listed for the next start. The session itself stays whole
  // (handovers after this are ignored) until the object goes.
  if (client_) client_->stop();
}

ChannelContext MqttPushChannel::channelContext() const {
  std::lock_guard lock(contextMutex_);
  return context_;
}

bool MqttPushChannel::setParentDN(const std::string& parentDN) {
  {
    std::lock_guard lock(contextMutex_);
    if (context_.parentDN == parentDN) return false;
    context_.parentDN = parentDN;
  }
  if (!client_) return false;
  // A will set after CONNECT only applies to the next CONNECT: connect again with it, and the
  // connection's subscription announces the device online to the new parent.
  setMqttWill();
  client_->reconnect();
  return true;
}

std::string MqttPushChannel::clientID() const {
  return protocol::deviceTopic(channelContext().deviceId);
}

std::string MqttPushChannel::subTopic() const {
  return protocol::deviceTopicOfAnyVersion(channelContext().deviceId);
}

std::string MqttPushChannel::pubTopic() const {
  return protocol::parentTopic(channelContext().parentDN);
}

void MqttPushChannel::initializeMQTT(const ChannelContext& context) {
  if (client_) return;
  {
    std::lock_guard lock(contextMutex_);
    context_ = context;
  }
  // A persistent session (no clean start): commands queued while the device was away arrive.
  client_ = std::make_unique<MQTTClient>(clientID(), /*cleanSession=*/false);
  client_->settings().username = protocol::kBrokerCredentials;
  client_->settings().password = protocol::kBrokerCredentials;
  client_->settings().port = ports_.settings.mqttPort;
  client_->settings().tls = ports_.settings.mqttTls;
  client_->settings().caFile = ports_.settings.caFile.string();
  client_->settings().takeoverLimit = takeoverLimit_;
  client_->settings().takeoverWindow = takeoverWindow_;
  client_->settings().takeoverRest = takeoverRest_;
  client_->settings().maxPayloadBytes = kMaxPayloadBytes;
  client_->setTakeoverHandler(
      [this](std::size_t lost, std::uint64_t connection) { takenOver(lost, connection); });
  store_ = std::make_unique<PullCycle>(*this, api_, ports_.mainLoop, ports_.clock, commands_);
  {
    std::lock_guard lock(mutex_);
    if (auto stored = cache_.objectForKey(stored::kUnsentMessages)) {
      if (auto list = stored->plain(); list && list->is_array()) {
        for (const auto& message : *list) backlog_.push_back(message);
      }
    }
  }
  // Requests that a killed process had taken but not answered run again, before any new one.
  auto inbox = std::make_unique<CommandInbox>(ports_.directories.documents() / stored::kCommandInboxFile);
  const auto unanswered = inbox->takeUnanswered(nowMs());
  {
    std::lock_guard lock(mutex_);  // the backlog writer may already run (answers published before)
    inbox_ = std::move(inbox);
  }
  for (const auto& payload : unanswered)
    commands_.dispatch(payload, PullCycle::commandContext(*this, ports_.mainLoop, ports_.clock));
  // The handler comes first: a persistent session gets its queued commands right after CONNACK.
  subscribeMessage();
  // A process that dies during its first connection must still be announced offline.
  if (!context.parentDN.empty()) setMqttWill();
  connectToHost();
}

void MqttPushChannel::connectToHost() {
  if (!client_) return;
  client_->connectToHost(ports_.settings.serviceHostName(), [this](int resultCode) {
    if (resultCode != 0) return;
    client_->subscribe(subTopic(), kQosAtLeastOnce, [this](const std::vector<int>&) {
      setMqttEventOnline();
      setMqttWill();
      didNotSendMessages();
    });
  });
}

bool MqttPushChannel::admitCommand(const std::string& name, const std::string& commandUuid,
                                   const std::string& payload) {
  if (!recentCommands_.firstSighting(commandUuid, ports_.clock.steadyNow())) return false;
  // On the network thread, before the library's acknowledgement of the command leaves (the
  // session writes only between reads): from here on a kill does not lose it.
  if (!CommandInbox::keeps(name)) return true;
  CommandInbox* inbox = nullptr;
  {
    std::lock_guard lock(mutex_);
    inbox = inbox_.get();  // set once, by initializeMQTT; the pull road may ask before that
  }
  if (inbox != nullptr) inbox->received(commandUuid, payload, nowMs());
  return true;
}

bool MqttPushChannel::isConnect() const {
  return client_ && client_->connected();
}

void MqttPushChannel::subscribeMessage() {
  if (!client_) return;
  client_->setMessageHandler([this](const MQTTMessage& message) {
    const std::string& text = message.payloadString();
    if (BoundedJson::deeperThan(text, BoundedJson::kMaxDepth)) {
      // Dropped here, acknowledged by the library all the same: a payload that would crash whoever
      // copies it must not come back at every start.
      std::fprintf(stderr, "twig: dropped a message on %s: %s\n", message.topic.c_str(),
                   BoundedJson::depthProblem(BoundedJson::kMaxDepth).c_str());
      return;
    }
    if (store_->upgradeIsVersionWithTopic(message.topic, text))
      commands_.dispatch(text, PullCycle::commandContext(*this, ports_.mainLoop, ports_.clock));
  });
}

void MqttPushChannel::takenOver(std::size_t lost, std::uint64_t connection) {
  // Connected once more, and about to be taken over again. Tell the parent once that this agent is
  // gone (its will would not be published after a clean DISCONNECT), then leave the session to the
  // other agent: its own EventOnline follows, which is true, since a device answers under this name.
  const auto context = channelContext();
  const std::string why = "the broker ended " + std::to_string(lost) +
                          " connections in the last minute (more than " + std::to_string(takeoverLimit_) +
                          ") a moment after they were made: another agent uses this device's identifier "
                          "(a copied data folder?); this one rests and tries again in " +
                          std::to_string(takeoverRest_.count()) + " s";
  // Ended once the broker has the message; a later connection (the library sends an unacknowledged
  // message again after the rest) is not ended by its acknowledgement.
  client_->publishString(
      Utils::jsonWithObject(presenceMessage(ports_.clock, protocol::kEventOffline, context.deviceId)),
      pubTopic(), kQosAtLeastOnce, kRetained,
      [this, connection](int) { client_->endConnection(connection); });
  if (context.halted) context.halted(why);
}

void MqttPushChannel::setMqttEventOnline() {
  publishWithParameter(presenceMessage(ports_.clock, protocol::kEventOnline, channelContext().deviceId),
                       [](const std::optional<Error>&) {});
}

void MqttPushChannel::setMqttWill() {
  if (!client_) return;
  client_->setWill(Utils::jsonWithObject(
                       presenceMessage(ports_.clock, protocol::kEventOffline, channelContext().deviceId)),
                   pubTopic(), kQosAtLeastOnce, kRetained);
}

void MqttPushChannel::publishWithParameter(const Json& message, int qos, PublishCompletion completion) {
  if (!api_.isConnectionAvailable()) {
    if (completion) completion(Error{Error::kPushNetworkDown, 0, "the network is reported down"});
    return;
  }
  if (!isConnect()) {
    if (completion) completion(Error{Error::kPushNotConnected, 0, "the push channel is not connected"});
    return;
  }
  const std::string text = Utils::jsonWithObject(message);
  if (qos <= kQosAtMostOnce) {
    client_->publishString(text, pubTopic(), qos, kNotRetained, nullptr);
  } else if (!handOverAnswer(message, text)) {
    std::lock_guard lock(mutex_);
    const std::uint64_t entry = nextInFlight_++;
    inFlight_[entry] = message;
    pendingHandovers_.push_back({entry, text, pubTopic()});
    schedulePersistLocked();
  }
  if (completion) completion(std::nullopt);
}

void MqttPushChannel::publishWithParameter(const Json& message, PublishCompletion completion) {
  publishWithParameter(message, kQosAtLeastOnce,
                       [this, message, completion](const std::optional<Error>& error) {
                         if (error) {
                           std::lock_guard lock(mutex_);
                           backlog_.push_back(message);
                           schedulePersistLocked();
                         }
                         if (completion) completion(error);
                       });
}

void MqttPushChannel::didNotSendMessages() {
  std::vector<Json> snapshot;
  {
    std::lock_guard lock(mutex_);
    if (backlog_.empty()) return;
    snapshot.swap(backlog_);
    schedulePersistLocked();
  }
  for (const auto& message : snapshot) publishWithParameter(message, [](const std::optional<Error>&) {});
}

bool MqttPushChannel::handOverAnswer(const Json& message, const std::string& text) {
  const std::string uuid = uuidOf(message);
  CommandInbox* inbox = nullptr;
  std::uint64_t entry = 0;
  {
    std::lock_guard lock(mutex_);
    inbox = inbox_.get();
    if (inbox == nullptr || !inbox->holds(uuid)) return false;
    entry = nextInFlight_++;
    unlisted_[entry] = {uuid, message};
  }
  client_->publishString(text, pubTopic(), kQosAtLeastOnce, kRetained, [this, entry, inbox, uuid](int) {
    // Acknowledged (or refused by the library, which a listing would not mend either). The request
    // is settled once the last of its answers in flight is.
    {
      std::lock_guard lock(mutex_);
      unlisted_.erase(entry);
      for (const auto& [other, answer] : unlisted_) {
        if (answer.first == uuid) return;
      }
    }
    inbox->answered(uuid);
  });
  return true;
}

std::vector<Json> MqttPushChannel::publishMessages() const {
  std::lock_guard lock(mutex_);
  std::vector<Json> all = listedMessagesLocked();
  for (const auto& [entry, answer] : unlisted_) all.push_back(answer.second);
  return all;
}

std::vector<Json> MqttPushChannel::listedMessagesLocked() const {
  std::vector<Json> all = backlog_;
  for (const auto& [entry, message] : inFlight_) all.push_back(message);
  return all;
}

void MqttPushChannel::schedulePersistLocked() {
  if (persistScheduled_) return;
  persistScheduled_ = true;
  writer_.async([this] { persistAndHandOver(); });
}

void MqttPushChannel::persistAndHandOver() {
  std::vector<Json> listed;
  std::vector<Handover> handovers;
  {
    std::lock_guard lock(mutex_);
    persistScheduled_ = false;
    listed = listedMessagesLocked();
    handovers.swap(pendingHandovers_);
  }
  // Every change made while this write runs is gathered into the next one.
  if (listed.empty()) {
    cache_.removeCacheForKey(stored::kUnsentMessages);
  } else {
    cache_.setObjectValue(CacheObject(Json(listed)), stored::kUnsentMessages);
  }
  // Listed on disk: the requests these answer need not run again after a crash.
  CommandInbox* inbox = nullptr;
  {
    std::lock_guard lock(mutex_);
    inbox = inbox_.get();
  }
  if (inbox != nullptr) {
    for (const auto& message : listed) inbox->answered(uuidOf(message));
  }
  std::lock_guard lock(mutex_);
  if (!client_) return;
  for (auto& handover : handovers) {
    const std::uint64_t entry = handover.entry;
    client_->publishString(handover.text, handover.topic, kQosAtLeastOnce, kRetained, [this, entry](int) {
      std::lock_guard inner(mutex_);
      if (inFlight_.erase(entry) > 0) schedulePersistLocked();
    });
  }
}

}  // namespace twig
