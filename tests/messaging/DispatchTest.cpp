#include <gtest/gtest.h>

#include "app/ChildChannelContext.h"
#include "app/CommandCatalog.h"
#include "messaging/CommandRouter.h"
#include "messaging/HandlerBase.h"
#include "messaging/CommandDispatch.h"
#include "messaging/PullCycle.h"
#include "storage/Cache.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

// Stands in for a routed handler: records what it got, in the shared order log.
class RecordingHandler final : public CommandHandler {
 public:
  explicit RecordingHandler(std::vector<std::string>& order) : order_(order) {}
  void receiveMessagePayload(const Json& payload) override { order_.push_back("handler " + payload.dump()); }

 private:
  std::vector<std::string>& order_;
};

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() : push(log) {
    push.initializeMQTT(ChildChannelContext::make());
    context = PullCycle::commandContext(push);
    CommandCatalog::registerAll(CommandRouter::shared());
    CommandRouter::shared().route("RequestChildInfo", [this](const CommandContext& made) {
      EXPECT_EQ(made.deviceId, context.deviceId);
      return std::make_shared<RecordingHandler>(order);
    });
    for (const char* name : {"RequestChildInfo", "bills", "Reset", "EventIconUpload", "noise",
                             "TWIGBaseMessage", "BaseMessage", "RequestLocation"}) {
      tokens.push_back(ports.notifications.addObserver(name, [this](const Notification& n) {
        order.push_back("posted " + n.name);
        EXPECT_NE(std::any_cast<std::shared_ptr<const CommandDispatch>>(&n.object), nullptr);
      }));
    }
  }
  ~DispatchTest() override { CommandRouter::shared().clear(); }
  void eventMessage(const std::string& text) { CommandDispatch::eventMessage(text, context); }

  test::TestPorts ports;
  std::vector<std::string> log;
  test::FakePushChannel push;
  CommandContext context;
  std::vector<std::string> order;
  std::vector<ObserverToken> tokens;
};

TEST_F(DispatchTest, ACommandRunsItsHandlerOnceThenItsNotification) {
  eventMessage(R"({"RequestChildInfo":{"commandUuid":"C-1"}})");
  EXPECT_EQ(order, (std::vector<std::string>{R"(handler {"RequestChildInfo":{"commandUuid":"C-1"}})",
                                             "posted RequestChildInfo"}));
}

TEST_F(DispatchTest, ARedeliveredCommandRunsOnce) {
  eventMessage(R"({"RequestChildInfo":{"commandUuid":"C-1"}})");
  eventMessage(R"({"RequestChildInfo":{"commandUuid":"C-1"}})");  // as after a lost PUBACK
  eventMessage(R"({"RequestChildInfo":{"commandUuid":"C-2"}})");
  eventMessage(R"({"RequestChildInfo":{}})");  // nothing to tell repeats by: each one runs
  eventMessage(R"({"RequestChildInfo":{}})");
  EXPECT_EQ(order, (std::vector<std::string>{
                       R"(handler {"RequestChildInfo":{"commandUuid":"C-1"}})", "posted RequestChildInfo",
                       R"(handler {"RequestChildInfo":{"commandUuid":"C-2"}})", "posted RequestChildInfo",
                       R"(handler {"RequestChildInfo":{}})", "posted RequestChildInfo",
                       R"(handler {"RequestChildInfo":{}})", "posted RequestChildInfo"}));
}

TEST_F(DispatchTest, NoticesOfBillsMarkNewBillsWithoutAHandler) {
  eventMessage(R"({"EventNotification":{"type":"bills"}})");
  EXPECT_EQ(order, (std::vector<std::string>{"posted bills"}));
  EXPECT_EQ(Cache::objectForKey("billsNumber")->integerValue(), 1);

  Cache::removeObjectForKey("billsNumber");
  eventMessage(R"({"EventNotification":{"type":"noise"}})");
  EXPECT_EQ(order.back(), "posted noise");
  EXPECT_FALSE(Cache::objectForKey("billsNumber").has_value());
}

TEST_F(DispatchTest, UnknownNamesAndNamesOutsideTheTableOnlyPost) {
  for (const char* payload : {R"({"noise":{}})", R"({"TWIGBaseMessage":{}})", R"({"BaseMessage":{}})",
                              R"({"RequestLocation":{"commandUuid":"x"}})", R"({"Reset":{}})"}) {
    eventMessage(payload);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"posted noise", "posted TWIGBaseMessage", "posted BaseMessage",
                                             "posted RequestLocation", "posted Reset"}));
  EXPECT_TRUE(push.published().empty());
  EXPECT_EQ(HandlerBase::lookUpHandler("TWIGBaseMessage", context), nullptr);
  EXPECT_NE(HandlerBase::lookUpHandler("EventIconUpload", context), nullptr);
  EXPECT_EQ(CommandRouter::shared().names(),
            (std::vector<std::string>{"EventIconUpload", "RequestAppControlGroupChange", "RequestApps",
                                      "RequestAppsOnekeyControl", "RequestCheckApp", "RequestChildInfo",
                                      "RequestLocation"}));
  CommandRouter::shared().route("RequestLocation", nullptr);
  EXPECT_EQ(HandlerBase::lookUpHandler("RequestLocation", context), nullptr);
}

TEST_F(DispatchTest, ThingsThatAreNotACommandAreDroppedSilently) {
  for (const char* payload : {"", "not json", "{", "[1,2]", R"(["RequestChildInfo"])", "{}", "5", "null",
                              R"({"EventNotification":{}})", R"({"EventNotification":{"type":3}})",
                              R"({"EventNotification":"bills"})"}) {
    eventMessage(payload);
  }
  EXPECT_TRUE(order.empty());
  EXPECT_FALSE(Cache::hasCacheForKey("billsNumber"));
}

TEST_F(DispatchTest, TheFirstOfSeveralKeysCounts) {
  eventMessage(R"({"RequestChildInfo":{},"RequestLocation":{}})");
  EXPECT_EQ(order.back(), "posted RequestChildInfo");
}

TEST_F(DispatchTest, EnvelopesKeepTheirKeyOrder) {
  const HandlerBase handler(context);
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
  EXPECT_EQ(HandlerBase::commandUuid(Json::parse(R"({"RequestApps":{"commandUuid":"Z"}})")), "Z");
  EXPECT_EQ(HandlerBase::commandUuid(Json::parse(R"({"RequestApps":[]})")), "");
}

}  // namespace
}  // namespace twig
