#include "tests/fakes/MqttPeer.h"

namespace twig::test {

MqttPeer::MqttPeer(const std::string& clientId, std::uint16_t port, bool cleanSession)
    : client_(std::make_unique<MQTTClient>(clientId, cleanSession)) {
  client_->settings().port = port;
  client_->settings().username = "qomri";
  client_->settings().password = "qomri";
  client_->setMessageHandler([this](const MQTTMessage& message) {
    ReceivedMessage received{message.topic, Json::parse(message.payload, nullptr, false), message.qos,
                             message.retained};
    if (received.payload.is_discarded()) received.payload = nullptr;
    std::lock_guard lock(mutex_);
    received_.push_back(std::move(received));
    changed_.notify_all();
  });
  client_->connectToHost("127.0.0.1", [this](int rc) {
    if (rc != 0) return;
    std::vector<std::string> topics;
    {
      std::lock_guard lock(mutex_);
      topics = topics_;
    }
    for (const auto& topic : topics) {
      client_->subscribe(topic, 1, [this](const std::vector<int>&) {
        std::lock_guard lock(mutex_);
        ++subscriptions_;
        changed_.notify_all();
      });
    }
  });
}

bool MqttPeer::subscribe(const std::string& topic, std::chrono::milliseconds timeout) {
  int before = 0;
  {
    std::lock_guard lock(mutex_);
    topics_.push_back(topic);
    before = subscriptions_;
  }
  client_->subscribe(topic, 1, [this](const std::vector<int>&) {
    std::lock_guard lock(mutex_);
    ++subscriptions_;
    changed_.notify_all();
  });
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return subscriptions_ > before; });
}

void MqttPeer::publish(const std::string& topic, const Json& payload, int qos, bool retain) {
  client_->publishString(payload.dump(), topic, qos, retain, nullptr);
}

bool MqttPeer::publishText(const std::string& topic, const std::string& payload, int qos, bool retain,
                           std::chrono::milliseconds timeout) {
  auto taken = std::make_shared<bool>(false);
  client_->publishString(payload, topic, qos, retain, [this, taken](int) {
    std::lock_guard lock(mutex_);
    *taken = true;
    changed_.notify_all();
  });
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return *taken; });
}

bool MqttPeer::waitFor(const std::function<bool(const ReceivedMessage&)>& match,
                       std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    for (const auto& message : received_) {
      if (match(message)) return true;
    }
    return false;
  });
}

std::vector<ReceivedMessage> MqttPeer::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::function<bool(const ReceivedMessage&)> MqttPeer::named(const std::string& name,
                                                            const std::string& topic) {
  return [name, topic](const ReceivedMessage& message) {
    return message.payload.is_object() && message.payload.contains(name) &&
           (topic.empty() || message.topic == topic);
  };
}

}  // namespace twig::test
