#include <gtest/gtest.h>

#include "app/Agent.h"
#include "app/CommandCatalog.h"
#include "messaging/CommandRouter.h"
#include "messaging/HandlerBase.h"
#include "messaging/PullCycle.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

// Stands in for a routed handler: records what it got, in the shared order log.
class RecordingHandler final : public CommandHandler {
 public:
  explicit RecordingHandler(std::vector<std::string>& order) : order_(order) {}
  void receive(const Command& command) override {
    order_.push_back("handler " + command.name + " " + command.uuid + " " + command.body().dump());
  }

 private:
  std::vector<std::string>& order_;
};

// A handler that only writes envelopes.
class EnvelopeWriter final : public HandlerBase {
 public:
  using HandlerBase::HandlerBase;
  void receive(const Command&) override {}
};

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() : push(log) {
    auto& agent = ports.agent();
    push.initializeMQTT(agent.channelContext());
    context = PullCycle::commandContext(push, ports.time.loop(), ports.time.clock());
    agent.commands().route("RequestChildInfo", [this](const CommandContext& made) {
      EXPECT_EQ(made.deviceId, context.deviceId);
      return std::make_shared<RecordingHandler>(order);
    });
    // What a command must not be able to raise, and what only its own route raises.
    tokens.push_back(
        agent.controlEvents().started.connect([this](const Json&) { order.push_back("control started"); }));
    tokens.push_back(agent.controlEvents().ended.connect([this] { order.push_back("control ended"); }));
    tokens.push_back(agent.remoteEvents().reset.connect([this] { order.push_back("reset"); }));
    tokens.push_back(agent.remoteEvents().bills.connect([this] { order.push_back("bills"); }));
  }
  void dispatch(const std::string& text) { ports.agent().commands().dispatch(text, context); }

  test::TestPorts ports;
  std::vector<std::string> log;
  test::FakePushChannel push;
  CommandContext context;
  std::vector<std::string> order;
  std::vector<ObserverToken> tokens;
};

TEST_F(DispatchTest, ACommandIsDecodedOnceAndRunsItsHandlerOnce) {
  dispatch(R"({"RequestChildInfo":{"commandUuid":"C-1","x":[1]}})");
  EXPECT_EQ(order,
            (std::vector<std::string>{R"(handler RequestChildInfo C-1 {"commandUuid":"C-1","x":[1]})"}));
}

TEST_F(DispatchTest, ARedeliveredCommandRunsOnce) {
  dispatch(R"({"RequestChildInfo":{"commandUuid":"C-1"}})");
  dispatch(R"({"RequestChildInfo":{"commandUuid":"C-1"}})");  // as after a lost PUBACK
  dispatch(R"({"RequestChildInfo":{"commandUuid":"C-2"}})");
  dispatch(R"({"RequestChildInfo":{}})");  // nothing to tell repeats by: each one runs
  dispatch(R"({"RequestChildInfo":{}})");
  EXPECT_EQ(order,
            (std::vector<std::string>{R"(handler RequestChildInfo C-1 {"commandUuid":"C-1"})",
                                      R"(handler RequestChildInfo C-2 {"commandUuid":"C-2"})",
                                      "handler RequestChildInfo  {}", "handler RequestChildInfo  {}"}));
}

TEST_F(DispatchTest, NoticesOfBillsMarkNewBillsAndOtherNoticesChangeNothing) {
  dispatch(R"({"EventNotification":{"type":"bills"}})");
  EXPECT_EQ(order, (std::vector<std::string>{"bills"}));
  EXPECT_EQ(ports.agent().cache().objectForKey("billsNumber")->integerValue(), 1);

  ports.agent().cache().removeCacheForKey("billsNumber");
  for (const char* payload : {R"({"EventNotification":{"type":"noise"}})", R"({"EventNotification":{}})",
                              R"({"EventNotification":{"type":3}})", R"({"EventNotification":"bills"})"})
    dispatch(payload);
  EXPECT_EQ(order, (std::vector<std::string>{"bills"}));
  EXPECT_FALSE(ports.agent().cache().objectForKey("billsNumber").has_value());
}

TEST_F(DispatchTest, EveryRemoteNameHasARouteAndTheAgentsOwnEventsAreUnknown) {
  EXPECT_EQ(
      ports.agent().commands().names(),
      (std::vector<std::string>{"EventIconUpload", "EventNotification", "EventUpgrade",
                                "RequestAppControlGroupChange", "RequestApps", "RequestAppsOnekeyControl",
                                "RequestCheckApp", "RequestChildInfo", "RequestLocation", "Reset"}));
  // The agent's own events, the application's lifecycle and names that only look like a handler's
  // run nothing and raise nothing.
  for (const char* payload :
       {R"({"EventAppControlEnd":{}})", R"({"EventAppControlStart":[{"groupName":"x","apps":[]}]})",
        R"({"AppControlSoon":{"minutesLeft":1,"apps":["x"]}})", R"({"NetworkReachabilityStatus":0})",
        R"({"ApplicationDidBecomeActive":{}})", R"({"noise":{}})", R"({"TWIGBaseMessage":{}})",
        R"({"EventUpgrade":{"upgradeDeviceId":"x"}})", R"({"EventIconUpload":{}})"}) {
    dispatch(payload);
  }
  EXPECT_TRUE(order.empty()) << order.front();
  EXPECT_TRUE(push.published().empty());
  dispatch(R"({"Reset":{}})");
  EXPECT_EQ(order, (std::vector<std::string>{"reset"}));
}

TEST_F(DispatchTest, ThingsThatAreNotACommandAreDroppedSilently) {
  for (const char* payload : {"", "not json", "{", "[1,2]", R"(["RequestChildInfo"])", "{}", "5", "null"}) {
    EXPECT_FALSE(ports.agent().commands().dispatch(payload, context).has_value()) << payload;
  }
  EXPECT_TRUE(order.empty());
}

TEST_F(DispatchTest, TheFirstOfSeveralKeysCounts) {
  dispatch(R"({"RequestChildInfo":{},"RequestLocation":{}})");
  EXPECT_EQ(order, (std::vector<std::string>{"handler RequestChildInfo  {}"}));
}

TEST_F(DispatchTest, EnvelopesKeepTheirKeyOrder) {
  const EnvelopeWriter handler(context);
  const Json answer = handler.responseMessage("ResponseChildInfo", "C-9", Json{{"battery", 0.5}});
  const Json& body = answer["ResponseChildInfo"];
  std::vector<std::string> keys;
  for (auto it = body.begin(); it != body.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys,
            (std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime", "battery"}));
  EXPECT_EQ(body["status"], "Acknowledged");
  EXPECT_EQ(body["updateTime"], "1480000000000");

  EXPECT_EQ(body["thisDeviceId"], context.deviceId);
  const Json event = handler.eventMessage("EventAppUninstall", Json{{"appPackage", "a.b"}});
  keys.clear();
  for (auto it = event["EventAppUninstall"].begin(); it != event["EventAppUninstall"].end(); ++it) {
    keys.push_back(it.key());
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"commandUuid", "thisDeviceId", "createTime", "appPackage"}));
  EXPECT_EQ(event["EventAppUninstall"]["commandUuid"].get<std::string>().size(), 36u);

  handler.publish(answer, nullptr);
  ASSERT_EQ(push.published().size(), 1u);
  EXPECT_EQ(push.published()[0]["qos"], 1);
  EXPECT_EQ(Command::decode(R"({"RequestApps":{"commandUuid":"Z"}})")->uuid, "Z");
  EXPECT_EQ(Command::decode(R"({"RequestApps":{"commandUuid":7}})")->uuid, "7");
  EXPECT_EQ(Command::decode(R"({"RequestApps":[]})")->uuid, "");
}

}  // namespace
}  // namespace twig
