// The push channel against a real RabbitMQ node with its MQTT plugin (the CTest "broker" fixture).
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <regex>
#include <set>
#include <thread>

#include "api/ApiClient.h"
#include "app/Agent.h"
#include "identity/ChildIdentity.h"
#include "messaging/MQTTClient.h"
#include "messaging/MqttPushChannel.h"
#include "messaging/Protocol.h"
#include "platform/Uuid.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/MqttPeer.h"
#include "tests/fakes/TestBroker.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "tests/messaging/AgentProcessFixture.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::MqttPeer;
using test::ReceivedMessage;

class PushChannelBrokerTest : public test::AgentProcessFixture {};

TEST_F(PushChannelBrokerTest, ConnectsListensAndAnnouncesItselfOnline) {
  auto peer = parent();
  std::atomic<int> bills{0};
  auto observer = ports.agent().remoteEvents().bills.connect([&] { ++bills; });
  channel().initializeMQTT(channelContext());

  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline", parentTopic)));
  const auto online = peer->received().front();
  EXPECT_EQ(online.qos, 1);
  const Json& body = online.payload["EventOnline"];
  std::vector<std::string> keys;
  for (auto it = body.begin(); it != body.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"commandUuid", "createTime", "thisDeviceId"}));
  EXPECT_EQ(body["thisDeviceId"], deviceId);

  EXPECT_TRUE(std::regex_match(channel().clientID(), std::regex("/ts/20/2/[0-9a-f]{32}")));
  EXPECT_NE(broker.control("list_mqtt_connections client_id").find(channel().clientID()), std::string::npos);

  peer->publish("/ts/20/2/" + deviceId, Json{{"EventNotification", {{"type", "bills"}}}}, 1, false);
  ASSERT_TRUE(eventually([&] { return bills.load() == 1; }));
  EXPECT_EQ(ports.agent().cache().objectForKey("billsNumber")->integerValue(), 1);

  // The announcement is retained: a parent that subscribes later still finds it.
  auto latecomer = parent();
  ASSERT_TRUE(latecomer->waitFor(
      [](const ReceivedMessage& m) { return m.retained && m.payload.contains("EventOnline"); }));
}

TEST_F(PushChannelBrokerTest, OtherProtocolVersionsAreAnsweredNotDispatched) {
  auto peer = parent();
  std::atomic<int> dispatched{0};
  auto observer = ports.agent().remoteEvents().bills.connect([&] { ++dispatched; });
  channel().initializeMQTT(channelContext());
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));

  const Json notice = {{"EventNotification", {{"type", "bills"}}}};
  std::size_t answered = 0;
  for (const char* version : {"19", "21", "x"}) {
    peer->publish("/ts/" + std::string(version) + "/2/" + deviceId, notice, 1, false);
    ++answered;
    ASSERT_TRUE(eventually([&] { return liveUuids(peer->received(), "EventUpgrade").size() == answered; }))
        << version;
  }
  EXPECT_EQ(dispatched.load(), 0);

  std::vector<std::string> targets;
  for (const auto& message : peer->received()) {
    if (!message.payload.contains("EventUpgrade")) continue;
    EXPECT_EQ(message.qos, 0);
    EXPECT_FALSE(message.retained);
    const Json& body = message.payload["EventUpgrade"];
    EXPECT_TRUE(body["createTime"].is_number_integer());
    EXPECT_EQ(body["thisDN"], parentDN);
    targets.push_back(body["upgradeDeviceId"]);
  }
  EXPECT_EQ(targets, (std::vector<std::string>{parentDN, deviceId, parentDN}));

  // Not retained: the retained message of the topic is still the announcement.
  auto latecomer = parent();
  ASSERT_TRUE(latecomer->waitFor([](const ReceivedMessage& m) { return m.retained; }));
  for (const auto& message : latecomer->received()) EXPECT_FALSE(message.payload.contains("EventUpgrade"));
}

TEST_F(PushChannelBrokerTest, ABacklogLeftByAKilledProcessGoesOutAfterTheFirstSubscription) {
  const Json left = Json::array({Json{{"ResponseApps", {{"commandUuid", "left-1"}}}},
                                 Json{{"ResponseChildInfo", {{"commandUuid", "left-2"}}}}});
  ports.agent().cache().setObjectValue(CacheObject(left), "publishMessages");
  auto peer = parent();
  channel().initializeMQTT(channelContext());
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("ResponseChildInfo")));
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("ResponseApps")));
  std::vector<std::string> order;
  for (const auto& message : peer->received()) order.push_back(message.payload.begin().key());
  EXPECT_EQ(order, (std::vector<std::string>{"EventOnline", "ResponseApps", "ResponseChildInfo"}));
  EXPECT_TRUE(
      eventually([this] { return !ports.agent().cache().objectForKey("publishMessages").has_value(); }));
}

TEST_F(PushChannelBrokerTest, AMessageHandedOverStaysListedUntilTheBrokerAcknowledgesIt) {
  auto peer = parent();
  channel().initializeMQTT(channelContext());
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));
  ASSERT_TRUE(
      eventually([this] { return !ports.agent().cache().objectForKey("publishMessages").has_value(); }));

  broker.pause();
  const Json answer = {{"ResponseLocation", {{"commandUuid", "held-1"}}}};
  std::optional<Error> told = Error{};
  channel().publishWithParameter(answer, [&](const std::optional<Error>& error) { told = error; });
  EXPECT_FALSE(told.has_value()) << "the caller is told at once";
  ASSERT_TRUE(eventually([&] {
    const auto listed = ports.agent().cache().objectForKey("publishMessages");
    return listed && listed->plain() == Json::array({answer});
  }));
  endChannel();  // the process dies before the acknowledgement
  broker.resume();

  channel().initializeMQTT(channelContext());  // the next start
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("ResponseLocation")));
  EXPECT_TRUE(
      eventually([this] { return !ports.agent().cache().objectForKey("publishMessages").has_value(); }));
}

TEST_F(PushChannelBrokerTest, AnAnswerToAHeldRequestGoesUnlistedAndItsRequestRunsAgainUntilAcknowledged) {
  auto peer = parent();
  std::atomic<int> runs{0};
  ports.agent().commands().routeToCall("RequestLocation", [&](const Command&) { ++runs; });
  channel().initializeMQTT(channelContext());
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));
  ASSERT_TRUE(
      eventually([this] { return !ports.agent().cache().objectForKey("publishMessages").has_value(); }));

  const std::string request = R"({"RequestLocation":{"commandUuid":"held-2"}})";
  ASSERT_TRUE(channel().admitCommand("RequestLocation", "held-2", request));
  broker.pause();
  const Json answer = {{"ResponseLocation", {{"commandUuid", "held-2"}, {"status", "Acknowledged"}}}};
  const Json other = {{"ResponseApps", {{"commandUuid", "not-held"}}}};
  channel().publishWithParameter(answer, [](const std::optional<Error>&) {});
  channel().publishWithParameter(other, [](const std::optional<Error>&) {});
  // Only the message that answers no held request is listed; both wait for the broker.
  ASSERT_TRUE(eventually([this] {
    const auto listed = ports.agent().cache().objectForKey("publishMessages");
    return listed && listed->plain()->size() == 1;
  }));
  EXPECT_EQ(ports.agent().cache().objectForKey("publishMessages")->plain(), Json::array({other}));
  EXPECT_EQ(channel().publishMessages().size(), 2u);
  endChannel();  // the process dies before the acknowledgement
  broker.resume();

  channel().initializeMQTT(channelContext());  // the next start runs the request again
  EXPECT_EQ(runs.load(), 1);
  ASSERT_TRUE(eventually([&] { return channel().isConnect(); }));
  channel().publishWithParameter(answer, [](const std::optional<Error>&) {});
  ASSERT_TRUE(eventually([&] { return channel().publishMessages().empty(); }));
  endChannel();

  channel().initializeMQTT(channelContext());  // acknowledged: settled for good
  EXPECT_EQ(runs.load(), 1);
}

TEST_F(PushChannelBrokerTest, AQosOneMessageRefusedByABrokenSocketIsAcknowledgedAfterTheReconnect) {
  // The library queues a QoS 1 message before it writes it; when the write meets a broken socket
  // it sends the message again after the next connect, so the sender must go on waiting for its
  // acknowledgement instead of being told it failed.
  auto peer = parent();
  MQTTClient session("/ts/20/2/broken-" + Uuid::randomString().substr(0, 8), /*cleanSession=*/false);
  session.settings().port = broker.mqttPort();
  session.settings().username = protocol::kBrokerCredentials;
  session.settings().password = protocol::kBrokerCredentials;
  std::atomic<int> connections{0};
  session.connectToHost("127.0.0.1", [&](int rc) {
    if (rc == 0) ++connections;
  });
  ASSERT_TRUE(eventually([&] { return connections.load() == 1; }));

  session.breakConnectionBeforeNextPublish();
  std::atomic<int> acknowledged{0};
  session.publishString(R"({"ResponseApps":{"commandUuid":"broken-1"}})", parentTopic, kQosAtLeastOnce,
                        kNotRetained, [&](int mid) { acknowledged = mid; });
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("ResponseApps"), 30s));
  ASSERT_TRUE(eventually([&] { return acknowledged.load() != 0; }));
  EXPECT_GT(acknowledged.load(), 0) << "told of a failure although the message went out";
  EXPECT_GE(connections.load(), 2);
  EXPECT_EQ(liveUuids(peer->received(), "ResponseApps").size(), 1u);
}

TEST_F(PushChannelBrokerTest, TheChannelCanEndWhileItsConnectionIsBeingAnswered) {
  // Ended the moment the connection is acknowledged, while the network thread still runs the
  // connection's reactions: they must find the channel whole.
  for (int round = 0; round < 20; ++round) {
    channel().initializeMQTT(channelContext());
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (!channel().isConnect() && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
    ASSERT_TRUE(channel().isConnect());
    endChannel();
  }
}

TEST_F(PushChannelBrokerTest, WhatWasPublishedWhileTheBrokerWasDownArrivesAfterItReturns) {
  auto peer = parent(false);
  channel().initializeMQTT(channelContext());
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));

  broker.stop();
  ASSERT_TRUE(eventually([&] { return !channel().isConnect(); }));
  std::optional<Error> failure;
  const Json answer = {{"ResponseApps", {{"commandUuid", "while-down"}}}};
  channel().publishWithParameter(answer, [&](const std::optional<Error>& error) { failure = error; });
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->domain, "mqtt没有连接上");
  ASSERT_TRUE(eventually([&] {
    const auto listed = ports.agent().cache().objectForKey("publishMessages");
    return listed && listed->plain() == Json::array({answer});
  }));

  const std::size_t before = peer->received().size();
  broker.start();
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("ResponseApps"), 60s));
  std::this_thread::sleep_for(2s);  // room for a second announcement, which must not come
  const auto received = peer->received();
  const std::vector<ReceivedMessage> after(received.begin() + static_cast<long>(before), received.end());
  EXPECT_EQ(liveUuids(after, "EventOnline").size(), 1u);
  EXPECT_TRUE(
      eventually([this] { return !ports.agent().cache().objectForKey("publishMessages").has_value(); }));
}

TEST_F(PushChannelBrokerTest, AnotherClientWithTheDevicesIdentityMakesTheChannelStepAsideOnce) {
  auto peer = parent();
  std::atomic<int> halts{0};
  auto context = channelContext();
  context.halted = [&](const std::string& why) {
    EXPECT_NE(why.find("another agent uses this device's identifier"), std::string::npos) << why;
    ++halts;
  };
  channel().setTakeoverLimit(3);
  channel().setTakeoverTiming(MQTTClient::Settings().takeoverWindow, 8s);
  channel().initializeMQTT(context);
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));

  // A copy of this agent (a copied data folder): the same client id, reconnecting every second.
  auto copy = std::make_unique<MQTTClient>(channel().clientID(), /*cleanSession=*/false);
  copy->settings().username = protocol::kBrokerCredentials;
  copy->settings().password = protocol::kBrokerCredentials;
  copy->settings().port = broker.mqttPort();
  std::atomic<int> copyConnections{0};
  copy->connectToHost("127.0.0.1", [&](int rc) { copyConnections += rc == 0 ? 1 : 0; });

  ASSERT_TRUE(eventually([&] { return halts.load() == 1; }, 90s));
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOffline", parentTopic)));
  ASSERT_TRUE(eventually([&] { return copy->connected() && !channel().isConnect(); }));
  // While it rests the copy keeps the session: the channel does not take it back.
  const int connections = copyConnections.load();
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(copyConnections.load(), connections);
  EXPECT_TRUE(copy->connected());
  EXPECT_FALSE(channel().isConnect());
  EXPECT_EQ(halts.load(), 1);

  // The copy goes away; after its rest the channel comes back by itself and says so.
  const std::size_t before = peer->received().size();
  copy.reset();
  ASSERT_TRUE(eventually([&] { return channel().isConnect(); }, 30s));
  ASSERT_TRUE(eventually([&] {
    const auto received = peer->received();
    return std::any_of(received.begin() + static_cast<long>(before), received.end(),
                       MqttPeer::named("EventOnline", parentTopic));
  }));
  EXPECT_EQ(halts.load(), 1) << "the parent is told once";
}

// A broker that keeps closing the connection (an administrator's cuts, a broker restarting, a
// flaky path that the broker notices) is no other agent: thirty cuts in a row never stop the
// channel, and it answers afterwards.
TEST_F(PushChannelBrokerTest, ConnectionsTheBrokerCutsAgainAndAgainNeverStopTheChannel) {
  auto peer = parent();
  std::atomic<int> halts{0};
  auto context = channelContext();
  context.halted = [&](const std::string&) { ++halts; };
  channel().setTakeoverLimit(3);
  // A short window keeps the test short: each cut comes a second after the connection was seen.
  channel().setTakeoverTiming(500ms, 600s);
  channel().initializeMQTT(context);
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));
  for (int cut = 0; cut < 30; ++cut) {
    ASSERT_TRUE(eventually([&] { return channel().isConnect(); }, 30s)) << "cut " << cut;
    std::this_thread::sleep_for(1s);
    EXPECT_NE(broker.control("close_all_connections test").find("Closed"), std::string::npos);
    ASSERT_TRUE(eventually([&] { return !channel().isConnect(); }, 10s)) << "cut " << cut;
  }
  ASSERT_TRUE(eventually([&] { return channel().isConnect(); }, 30s));
  EXPECT_EQ(halts.load(), 0);
  std::this_thread::sleep_for(2s);
  EXPECT_TRUE(channel().isConnect()) << "and it stays";
}

TEST_F(PushChannelBrokerTest, TheWillAnnouncesAKilledAgentOffline) {
  serveBinding();
  const std::vector<std::string> common = agentArguments();
  {
    auto arguments = common;
    arguments.insert(arguments.end(), {"--enroll-code", "112233"});
    test::ChildProcess binding(TWIG_CHILD_PATH, arguments);
    ASSERT_TRUE(binding.waitForLine("screen pop Login/LoginID", 30s));
    binding.stop(SIGTERM);
  }
  auto peer = parent();
  const std::size_t before = peer->received().size();
  test::ChildProcess agent(TWIG_CHILD_PATH, common);
  ASSERT_TRUE(eventually(
      [&] {
        return liveUuids(peer->received(), "EventOnline").size() >= 1 && peer->received().size() > before;
      },
      30s));
  agent.stop(SIGKILL);
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOffline", parentTopic), 30s));
  for (const auto& message : peer->received()) {
    if (message.payload.contains("EventOffline")) {
      EXPECT_EQ(message.qos, 1);
    }
  }
}

TEST_F(PushChannelBrokerTest, TheWillAnnouncesAnAgentKilledRightAfterBinding) {
  // The connection that is live when the binding names the parent must carry the will: a will set
  // after CONNECT only applies to the next one.
  serveBinding();
  auto peer = parent();
  auto arguments = agentArguments();
  arguments.insert(arguments.end(), {"--enroll-code", "112233"});
  test::ChildProcess agent(TWIG_CHILD_PATH, arguments);
  ASSERT_TRUE(agent.waitForLine("screen pop Login/LoginID", 30s));
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline", parentTopic), 30s));
  EXPECT_EQ(liveUuids(peer->received(), "EventOnline").size(), 1u) << "announced online once";
  agent.stop(SIGKILL);
  const auto killed = std::chrono::steady_clock::now();
  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOffline", parentTopic), 10s));
  std::printf("EventOffline %lld ms after the kill\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - killed)
                                         .count()));
}

}  // namespace
}  // namespace twig
