#include "messaging/PullCycle.h"

#include <gtest/gtest.h>

#include <atomic>

#include "app/Agent.h"
#include "identity/ChildIdentity.h"
#include "messaging/PullRequestBody.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class VersionCheckTest : public ::testing::Test {
 protected:
  VersionCheckTest()
      : push(log),
        store(push, ports.agent().api(), ports.time.loop(), ports.time.clock(), ports.agent().commands()) {
    ports.useServiceHost(server.hostAndPort());
    ports.agent().child().updateChildInfo([](ChildInfo& info) { info.parentDN = "13800000000"; });
    push.initializeMQTT(ports.agent().channelContext());
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  std::vector<std::string> log;
  test::FakePushChannel push;
  PullCycle store;
};

TEST_F(VersionCheckTest, OnlyOurVersionAndSubscriptionQueuesPass) {
  EXPECT_TRUE(store.upgradeIsVersionWithTopic("/ts/20/2/abc", "{}"));
  EXPECT_TRUE(store.upgradeIsVersionWithTopic("mqtt-subscription-/ts/20/2/abcqos1", "{}"));
  EXPECT_TRUE(store.upgradeIsVersionWithTopic("mqtt-subscription-anything", "{}"));
  EXPECT_TRUE(push.published().empty());
  EXPECT_EQ(PullCycle::versionOfTopic("/ts/19/2/a"), 19);
  EXPECT_EQ(PullCycle::versionOfTopic("/ts/21x/2/a"), 21);
  EXPECT_EQ(PullCycle::versionOfTopic("/ts/x/2/a"), 0);
  EXPECT_EQ(PullCycle::versionOfTopic("/ts/-3/2/a"), -3);
  EXPECT_EQ(PullCycle::versionOfTopic("/ts"), 0);
  EXPECT_GT(PullCycle::versionOfTopic("/ts/99999999999999999999999/2"), 20);  // no overflow
}

TEST_F(VersionCheckTest, AnOlderSenderIsToldToUpgradeWithoutAPrompt) {
  for (const char* topic : {"/ts/19/2/abc", "/ts/x/2/abc"}) {
    EXPECT_FALSE(store.upgradeIsVersionWithTopic(topic, "{}")) << topic;
  }
  const auto published = push.published();
  ASSERT_EQ(published.size(), 2u);
  for (const auto& entry : published) {
    EXPECT_EQ(entry["qos"], 0);
    const Json& body = entry["message"]["EventUpgrade"];
    std::vector<std::string> keys;
    for (auto it = body.begin(); it != body.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"commandUuid", "thisDN", "createTime", "thisDeviceId",
                                              "upgradeDeviceId"}));
    EXPECT_EQ(body["upgradeDeviceId"], "13800000000");
    EXPECT_EQ(body["thisDN"], "13800000000");
    EXPECT_TRUE(body["createTime"].is_number_integer());
    EXPECT_EQ(body["createTime"], 1480000000000LL);
  }
  ports.time.settle();
  EXPECT_FALSE(ports.screenHost.openAlert().has_value());
}

TEST_F(VersionCheckTest, ANewerSenderMeansThisDeviceMustUpgrade) {
  EXPECT_FALSE(store.upgradeIsVersionWithTopic("/ts/21/2/abc", "{}"));
  const Json body = push.published().at(0)["message"]["EventUpgrade"];
  EXPECT_EQ(body["upgradeDeviceId"], ports.agent().child().deviceId());
  ports.time.settle();
  ASSERT_TRUE(ports.screenHost.openAlert().has_value());
  EXPECT_EQ(ports.screenHost.openAlert()->title, "刺猬家发现新版本请升级");
}

TEST(PullRequestBody, PullParametersCarryTheirFourKeys) {
  const Json body = PullRequestBody::pullRequestBody(Json(""), "1", "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(body.dump(), Json({{"messageId", ""},
                               {"deviceId", "d41d8cd98f00b204e9800998ecf8427e"},
                               {"status", "1"},
                               {"reasonCode", "0"}})
                             .dump());
  EXPECT_EQ(PullRequestBody::pullRequestBody(Json(42), "11", "x")["messageId"], 42);
}

class PullCycleTest : public VersionCheckTest {
 protected:
  PullCycleTest() {
    ports.agent().cache().setBool(true, "binding");
    for (const char* name : {"RequestChildInfo", "RequestApps", "EventIconUpload"})
      ports.agent().commands().routeToCall(
          name, [this](const Command& command) { posted.push_back(command.name); });
    tokens.push_back(ports.agent().remoteEvents().reset.connect([this] { posted.push_back("Reset"); }));
  }
  // Answers the pull exchanges from a queue of canned answers; records each body.
  void serve(std::vector<CannedResponse> answers) {
    auto queue = std::make_shared<std::vector<CannedResponse>>(std::move(answers));
    auto index = std::make_shared<std::atomic<std::size_t>>(0);
    server.setHandler([queue, index](const test::RecordedRequest&) {
      const std::size_t i = (*index)++;
      return i < queue->size() ? (*queue)[i] : CannedResponse{200, "application/json", ""};
    });
  }
  static CannedResponse record(const std::string& id, const std::string& payload) {
    return {200, "application/json", Json{{"messageId", id}, {"payload", payload}, {"status", 0}}.dump()};
  }
  bool runUntil(const std::function<bool()>& done) { return ports.time.loop().runUntil(done, 20s); }
  // Runs one cycle to its end; its outcome, or nothing when it did not end in time.
  std::optional<std::optional<Error>> runCycle() {
    std::optional<std::optional<Error>> outcome;
    store.startPullMessageWithComplete([&](const std::optional<Error>& error) { outcome = error; });
    if (!runUntil([&] { return outcome.has_value(); })) return std::nullopt;
    return outcome;
  }

  std::vector<std::string> posted;
  std::vector<ObserverToken> tokens;
};

TEST_F(PullCycleTest, ThreeRecordsTakeFourExchangesAndArriveInOrder) {
  serve({record("m1", R"({"RequestChildInfo":{"commandUuid":"1"}})"), record("m2", R"({"RequestApps":{}})"),
         record("m3", R"({"EventIconUpload":{}})")});
  int completions = 0;
  std::optional<Error> outcome;
  store.startPullMessageWithComplete([&](const std::optional<Error>& error) {
    ++completions;
    outcome = error;
  });
  EXPECT_TRUE(store.isPushMessage());
  ASSERT_TRUE(runUntil([&] { return completions == 1; }));
  EXPECT_FALSE(outcome.has_value());
  EXPECT_FALSE(store.isPushMessage());
  EXPECT_EQ(posted, (std::vector<std::string>{"RequestChildInfo", "RequestApps", "EventIconUpload"}));

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 4u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"", "1"}, {"m1", "11"}, {"m2", "11"}, {"m3", "11"}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(requests[i].method, "PUT");
    EXPECT_EQ(requests[i].path, "/api/v2.0/push/messages");
    EXPECT_TRUE(requests[i].signatureValid);
    const Json body = Json::parse(requests[i].body);
    EXPECT_EQ(body["messageId"], expected[i].first);
    EXPECT_EQ(body["status"], expected[i].second);
    EXPECT_EQ(body["reasonCode"], "0");
  }
}

TEST_F(PullCycleTest, AnUnboundAnswerClearsTheBindingAndPostsReset) {
  serve({{200, "application/json", R"({"errorCode":30204,"errorDescription":"unbound"})"}});
  int completions = 0;
  store.startPullMessageWithComplete([&](const std::optional<Error>&) { ++completions; });
  ASSERT_TRUE(runUntil([&] { return !store.isPushMessage(); }));
  EXPECT_EQ(posted, (std::vector<std::string>{"Reset"}));
  EXPECT_FALSE(ports.agent().cache().boolForKey("binding"));
  EXPECT_TRUE(ports.agent().cache().hasCacheForKey("binding"));
  ports.time.settle();
  EXPECT_EQ(completions, 0);
}

TEST_F(PullCycleTest, ASecondStartWhileRunningIsIgnored) {
  serve({record("m1", R"({"RequestApps":{}})")});
  int first = 0;
  int second = 0;
  store.startPullMessageWithComplete([&](const std::optional<Error>&) { ++first; });
  store.startPullMessageWithComplete([&](const std::optional<Error>&) { ++second; });
  ASSERT_TRUE(runUntil([&] { return first == 1; }));
  ports.time.settle();
  EXPECT_EQ(second, 0);
  EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(PullCycleTest, AnUnboundDeviceCompletesAtOnceWithoutAsking) {
  ports.agent().cache().setBool(false, "binding");
  bool completed = false;
  store.startPullMessageWithComplete([&](const std::optional<Error>& error) { completed = !error; });
  EXPECT_TRUE(completed);
  EXPECT_FALSE(store.isPushMessage());
  ports.time.settle();
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(PullCycleTest, RecordsWithoutIdEndTheCycleAndWithoutPayloadAreSkipped) {
  serve({record("m1", ""),
         {200, "application/json", R"({"messageId":"m2"})"},
         {200, "application/json", R"({"payload":"{\"RequestApps\":{}}"})"}});
  const auto ended = runCycle();
  ASSERT_TRUE(ended.has_value());
  const auto& outcome = *ended;
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(server.requestCount(), 3u);  // m1 and m2 were acknowledged; the id-less record ended it
  EXPECT_TRUE(posted.empty());
  EXPECT_FALSE(store.isPushMessage());
}

TEST_F(PullCycleTest, AnEmptyIdIsNoIdAndEndsTheCycle) {
  // A service that keeps returning the record would otherwise be asked for ever.
  for (const char* id : {R"("")", "null"}) {
    serve({{200, "application/json",
            std::string(R"({"messageId":)") + id + R"(,"payload":"{\"RequestApps\":{}}"})"},
           record("m2", R"({"RequestApps":{}})")});
    const std::size_t before = server.requestCount();
    const auto ended = runCycle();
    ASSERT_TRUE(ended.has_value()) << id;
    EXPECT_TRUE(ended->has_value()) << id;  // an error
    EXPECT_EQ(server.requestCount() - before, 1u) << id;
    EXPECT_TRUE(posted.empty()) << id;
  }
}

TEST_F(PullCycleTest, AFailedExchangeEndsTheCycleWithItsError) {
  serve({{500, "text/html", "oops"}});
  const auto ended = runCycle();
  ASSERT_TRUE(ended.has_value());
  const auto& outcome = *ended;
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->code, 500);
  EXPECT_FALSE(store.isPushMessage());
}

}  // namespace
}  // namespace twig
