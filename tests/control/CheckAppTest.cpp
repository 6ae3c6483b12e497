// The installation check of "RequestCheckApp", handled without a broker: its answers are recorded.
#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "app/Agent.h"
#include "control/AppInventory.h"
#include "control/AppsHandler.h"
#include "control/CheckAppHandler.h"
#include "control/GroupChangeHandler.h"
#include "control/OneKeyControlHandler.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "storage/TableStore.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

Json app(const std::string& name) {
  return Json{{"bundleId", "com.example." + name}, {"bundleExecutable", name}, {"displayName", name}};
}

class CheckAppTest : public ::testing::Test {
 protected:
  CheckAppTest() {
    ports.useServiceHost(server.hostAndPort());
    // The service registers whatever it is sent, once the test lets it answer.
    server.setHandler([this, answered = answered](const test::RecordedRequest& request) {
      ++uploads;
      answered.wait();
      Json registered = Json::array();
      const Json sent = Json::parse(request.body);
      for (const auto& record : sent["apps"]) {
        registered.push_back(Json{{"appPackage", record["appPackage"]},
                                  {"appName", record["appName"]},
                                  {"processName", record["processName"]},
                                  {"version", "1"}});
      }
      return CannedResponse{200, "application/json", Json{{"apps", registered}}.dump()};
    });
    ports.agent().cache().setBool(true, stored::kOneKeyControlEnabled);
    ports.agent().cache().setObjectValue(CacheObject(Json::array({app("known")})), stored::kInstalledApps);
    context.deviceId = "d41d8cd98f00b204e9800998ecf8427e";
    context.mainLoop = &ports.time.loop();
    context.clock = &ports.time.clock();
    context.publish = [this](const Json& message, PushChannel::PublishCompletion completion) {
      published.push_back(message.begin().key() + " " + message.begin().value().value("appPackage", ""));
      if (completion) completion(std::nullopt);
    };
  }
  void command() {
    std::make_shared<CheckAppHandler>(context, ports.controlTools([this] {
      ++rebuilds;
    }))->receive(test::command(Json{{"RequestCheckApp", Json::object()}}));
  }
  Json remembered() {
    return ports.agent().cache().objectForKey(stored::kInstalledApps)->plain().value_or(Json());
  }

  std::promise<void> answer;
  std::shared_future<void> answered = answer.get_future().share();
  test::TestHttpServer server;
  test::TestPorts ports;
  CommandContext context;
  std::vector<std::string> published;
  std::atomic<int> uploads{0};
  int rebuilds = 0;
};

TEST_F(CheckAppTest, ARepeatedCommandReportsANewApplicationOnce) {
  ports.installed.set(Json::array({app("known"), app("fresh")}));
  command();
  command();  // a redelivery, before the first upload has its answer
  ports.time.settle();
  answer.set_value();
  ports.time.loop().runUntil([&] { return !published.empty(); }, 20s);
  ports.time.advance(1s);
  ports.time.settle();
  EXPECT_EQ(published, (std::vector<std::string>{"EventAppInstall com.example.fresh"}));
  EXPECT_EQ(uploads.load(), 1);
  EXPECT_EQ(remembered(), Json::array({app("known"), app("fresh")}));

  command();  // known now: nothing to report
  ports.time.settle();
  EXPECT_EQ(published.size(), 1u);
}

TEST_F(CheckAppTest, AListThatCannotBeReadChangesNothing) {
  answer.set_value();
  ports.installed.set(std::nullopt);  // missing or half written
  command();
  ports.time.settle();
  EXPECT_TRUE(published.empty());
  EXPECT_EQ(remembered(), Json::array({app("known")}));
  EXPECT_EQ(rebuilds, 0);

  ports.installed.set(Json::array());  // read, and really empty: the known application is gone
  command();
  ports.time.settle();
  EXPECT_EQ(published, (std::vector<std::string>{"EventAppUninstall com.example.known"}));
  EXPECT_EQ(remembered(), Json::array());
}

TEST_F(CheckAppTest, CommandsOnTheControlTablesAreHandledInArrivalOrder) {
  answer.set_value();
  const auto games = *ports.agent().inventory().builtInGroup(2);
  ports.agent().inventory().builtInGroup(0);
  AppRecord chat;
  chat.appPackage = "com.example.chat";
  chat.appName = "Chat";
  chat.processName = "chat";
  chat.groupId = ports.agent().inventory().builtInGroup(1)->groupId;
  ports.agent().tables().insertData(chat);
  std::vector<Json> answers;
  context.publish = [&](const Json& message, PushChannel::PublishCompletion completion) {
    answers.push_back(message);
    if (completion) completion(std::nullopt);
  };
  // A group change, then a question about the groups, delivered together on the network thread.
  std::make_shared<GroupChangeHandler>(context, ports.controlTools([this] { ++rebuilds; }))
      ->receive(test::command(Json{{"RequestAppControlGroupChange",
                                    {{"commandUuid", "change"},
                                     {"groupId", *games.groupId},
                                     {"startTime", "08:00"},
                                     {"endTime", "09:00"},
                                     {"week", "1"},
                                     {"apps", Json::array({Json{{"appPackage", "com.example.chat"}}})}}}}));
  std::make_shared<AppsHandler>(context, ports.controlTools())
      ->receive(test::command(Json{{"RequestApps", {{"commandUuid", "apps"}}}}));
  ports.time.settle();
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_TRUE(answers[0].contains("ResponseAppControlGroupChange"));
  ASSERT_TRUE(answers[1].contains("ResponseApps"));
  // The answer shows the change: the chat application is now in the games group.
  std::string groupOfChat;
  for (const auto& group : answers[1]["ResponseApps"]["appControlGroups"]) {
    for (const auto& app : group["apps"]) {
      if (app["appPackage"] == "com.example.chat") groupOfChat = group["groupId"];
    }
  }
  EXPECT_EQ(groupOfChat, *games.groupId);
}

}  // namespace
}  // namespace twig
