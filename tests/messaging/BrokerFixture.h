#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "app/Agent.h"
#include "identity/ChildIdentity.h"
#include "messaging/MqttPushChannel.h"
#include "platform/Uuid.h"
#include "tests/fakes/MqttPeer.h"
#include "tests/fakes/TestBroker.h"
#include "tests/fakes/TestPorts.h"

namespace twig::test {

// A device and a parent of their own on the tests' broker, so that no session, queue or retained
// message of another test gets in the way.
class BrokerFixture : public ::testing::Test {
 protected:
  BrokerFixture() {
    auto values = ports.device.values();
    values.vendorIdentifier = Uuid::randomString();
    ports.device.set(values);
    ports.settings.serviceHost = "127.0.0.1:9";
    ports.settings.mqttPort = broker.mqttPort();
    parentDN =
        "1" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 10000000000LL);
    ports.agent().child().updateChildInfo([&](ChildInfo& info) { info.parentDN = parentDN; });
    deviceId = ports.agent().child().deviceId();
    parentTopic = "/ts/20/1/" + parentDN;
  }
  void SetUp() override {
    if (!broker.available()) GTEST_SKIP() << "no test broker (run through ctest)";
  }
  // The device's channel, made from the agent's parts at first use; endChannel() is the end of a
  // process (the socket closes without a goodbye), and the next use is the next start.
  MqttPushChannel& channel() {
    if (!channel_) {
      auto& agent = ports.agent();
      channel_ = std::make_unique<MqttPushChannel>(ports.all(), agent.api(), agent.cache(), agent.commands());
    }
    return *channel_;
  }
  void endChannel() { channel_.reset(); }
  ChannelContext channelContext() { return ports.agent().channelContext(); }
  std::unique_ptr<MqttPeer> parent(bool cleanSession = true) {
    auto peer = std::make_unique<MqttPeer>("parent-" + Uuid::randomString().substr(0, 8), broker.mqttPort(),
                                           cleanSession);
    EXPECT_TRUE(peer->subscribe(parentTopic));
    return peer;
  }
  // Polls `condition` (running nothing else) until it holds or the time is up.
  static bool eventually(const std::function<bool()>& condition,
                         std::chrono::seconds timeout = std::chrono::seconds(20)) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < giveUp) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
  }
  static std::set<std::string> liveUuids(const std::vector<ReceivedMessage>& messages,
                                         const std::string& name) {
    std::set<std::string> uuids;
    for (const auto& message : messages) {
      if (!message.retained && message.payload.contains(name))
        uuids.insert(message.payload[name]["commandUuid"]);
    }
    return uuids;
  }
  static std::vector<std::string> keysOf(const Json& object) {
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) keys.push_back(it.key());
    return keys;
  }

  TestBroker broker;
  TestPorts ports;
  std::unique_ptr<MqttPushChannel> channel_;
  std::string parentDN;
  std::string deviceId;
  std::string parentTopic;
};

}  // namespace twig::test
