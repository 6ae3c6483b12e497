#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "messaging/MQTTClient.h"
#include "platform/Json.h"

namespace twig::test {

struct ReceivedMessage {
  std::string topic;
  Json payload;  // null when the payload is not JSON
  int qos = 0;
  bool retained = false;
};

// The other end of the broker in a test: the parent's side (or an old or new version of it). It
// keeps its subscriptions across reconnections and records everything it receives.
class MqttPeer {
 public:
  MqttPeer(const std::string& clientId, std::uint16_t port, bool cleanSession = true);
  // Subscribes (again after every reconnection) and waits for the acknowledgement.
  bool subscribe(const std::string& topic, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  void publish(const std::string& topic, const Json& payload, int qos, bool retain);
  // Any bytes, JSON or not; waits until the broker has taken a QoS 1 message (false: not in time).
  bool publishText(const std::string& topic, const std::string& payload, int qos, bool retain,
                   std::chrono::milliseconds timeout = std::chrono::seconds(30));
  // Waits until a received message satisfies `match`; the messages received so far otherwise.
  bool waitFor(const std::function<bool(const ReceivedMessage&)>& match,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::vector<ReceivedMessage> received() const;
  bool connected() const { return client_->connected(); }

  // Matches a message whose payload's top-level key is `name` (and, when set, on `topic`).
  static std::function<bool(const ReceivedMessage&)> named(const std::string& name,
                                                           const std::string& topic = "");

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReceivedMessage> received_;
  std::vector<std::string> topics_;
  int subscriptions_ = 0;
  std::unique_ptr<MQTTClient> client_;
};

}  // namespace twig::test
