// The parent's commands through the broker, answered by the agent's handlers.
#include <gtest/gtest.h>

#include "app/CommandCatalog.h"
#include "control/AppControlManager.h"
#include "control/AppInventory.h"
#include "messaging/CommandRouter.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/messaging/BrokerFixture.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::MqttPeer;
using test::ReceivedMessage;

class CommandsBrokerTest : public test::BrokerFixture {
 protected:
  CommandsBrokerTest() {
    ports.useServiceHost(service.hostAndPort());
    ports.settings.mqttPort = broker.mqttPort();
  }
  ~CommandsBrokerTest() override {
    // The channel and the HTTP client go before the service: a kept-alive connection would hold its
    // stop.
    endChannel();
    ports.endAgent();
  }
  void SetUp() override {
    BrokerFixture::SetUp();
    if (IsSkipped()) return;
    peer = parent();
    channel().initializeMQTT(channelContext());
    ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline")));
  }
  // Sends a command and runs the main loop until the parent has the message named `answer`.
  std::optional<Json> ask(const std::string& command, const Json& body, const std::string& answer) {
    peer->publish("/ts/20/2/" + deviceId, Json{{command, body}}, 1, false);
    std::optional<Json> found;
    ports.time.loop().runUntil(
        [&] {
          for (const auto& message : peer->received()) {
            if (message.payload.contains(answer) && !message.retained &&
                (!body.contains("commandUuid") ||
                 message.payload[answer].value("commandUuid", Json()) == body["commandUuid"])) {
              found = message.payload[answer];
              return true;
            }
          }
          return false;
        },
        20s);
    return found;
  }
  void addApp(const std::string& package, const ControlGroupRecord& group) {
    AppRecord app;
    app.appPackage = package;
    app.appName = package + " name";
    app.version = "1.0";
    app.processName = package.substr(package.rfind('.') + 1);
    app.groupId = group.groupId;
    ports.agent().tables().insertData(app);
  }

  test::TestHttpServer service;
  std::unique_ptr<MqttPeer> peer;
};

TEST_F(CommandsBrokerTest, DeviceInformationAndLocation) {
  ports.deviceState.setBatteryLevel(0.8);
  ports.deviceState.setLockState(1);
  const auto info = ask("RequestChildInfo", Json{{"commandUuid", "info-1"}}, "ResponseChildInfo");
  ASSERT_TRUE(info);
  EXPECT_EQ(keysOf(*info), (std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime",
                                                     "battery", "screenStatus"}));
  EXPECT_EQ((*info)["status"], "Acknowledged");
  EXPECT_EQ((*info)["thisDeviceId"], deviceId);
  EXPECT_EQ((*info)["battery"].get<double>(), static_cast<double>(0.8f));
  EXPECT_EQ((*info)["screenStatus"], "当前处于锁屏状态");
  EXPECT_TRUE((*info)["updateTime"].is_string());

  ports.location.enabled = false;
  const auto location = ask("RequestLocation", Json{{"commandUuid", "where-1"}}, "ResponseLocation");
  ASSERT_TRUE(location);
  EXPECT_EQ(keysOf(*location),
            (std::vector<std::string>{"commandUuid", "createTime", "thisDeviceId", "nowLng", "nowLat"}));
  EXPECT_EQ((*location)["nowLng"], 0.0);
  EXPECT_EQ((*location)["nowLat"], 0.0);
}

TEST_F(CommandsBrokerTest, ACommandDeliveredTwiceIsAnsweredOnce) {
  peer->publish("/ts/20/2/" + deviceId, Json{{"RequestChildInfo", {{"commandUuid", "twice"}}}}, 1, false);
  // The next command is answered after the repeat was handled: the session delivers in order.
  ASSERT_TRUE(ask("RequestChildInfo", Json{{"commandUuid", "twice"}}, "ResponseChildInfo"));
  ASSERT_TRUE(ask("RequestChildInfo", Json{{"commandUuid", "after"}}, "ResponseChildInfo"));
  int answers = 0;
  for (const auto& message : peer->received()) {
    if (message.payload.contains("ResponseChildInfo") &&
        message.payload["ResponseChildInfo"]["commandUuid"] == "twice")
      ++answers;
  }
  EXPECT_EQ(answers, 1);
}

TEST_F(CommandsBrokerTest, ApplicationsAndAGroupChange) {
  const auto other = *ports.agent().inventory().builtInGroup(0);
  const auto social = *ports.agent().inventory().builtInGroup(1);
  const auto games = *ports.agent().inventory().builtInGroup(2);
  addApp("com.example.notes", other);
  addApp("com.example.chat", social);
  addApp("com.example.game", games);

  const auto apps = ask("RequestApps", Json{{"commandUuid", "apps-1"}}, "ResponseApps");
  ASSERT_TRUE(apps);
  EXPECT_EQ(keysOf(*apps), (std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime",
                                                     "appControlGroups", "apps"}));
  const Json& groups = (*apps)["appControlGroups"];
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(keysOf(groups[0]), (std::vector<std::string>{"groupId", "groupName", "type", "startTime",
                                                         "endTime", "week", "apps"}));
  EXPECT_EQ(groups[0]["type"], "1");
  EXPECT_EQ(
      groups[1]["apps"][0].dump(),
      R"({"appPackage":"com.example.game","appName":"com.example.game name","version":"1.0","processName":"game"})");
  ASSERT_EQ((*apps)["apps"].size(), 1u);
  EXPECT_EQ(keysOf((*apps)["apps"][0]),
            (std::vector<std::string>{"appPackage", "appName", "version", "processName"}));

  const Json change = {{"commandUuid", "change-1"},
                       {"groupId", *games.groupId},
                       {"startTime", "08:00"},
                       {"endTime", "09:00"},
                       {"week", "1,2"},
                       {"apps", Json::array({Json{{"appPackage", "com.example.notes"}}})}};
  const auto changed = ask("RequestAppControlGroupChange", change, "ResponseAppControlGroupChange");
  ASSERT_TRUE(changed);
  EXPECT_EQ(keysOf(*changed),
            (std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime"}));
  const auto rows = ports.agent().tables().fetchSpecificData(AppRecord(), "groupId", Json(*games.groupId));
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ((*rows)[0]["appPackage"], "com.example.notes");
  EXPECT_EQ(ports.agent().control().arrayMonitorings().size(), 2u);
}

TEST_F(CommandsBrokerTest, OneKeyControlThenTheInstallationCheck) {
  ports.installed.set(
      Json::parse(R"([{"bundleId":"com.example.game","bundleExecutable":"game","displayName":"Game"},
                                      {"bundleId":"com.example.gone","bundleExecutable":"gone","displayName":"Gone"}])"));
  service.setHandler([](const test::RecordedRequest& request) {
    Json apps = Json::array();
    const Json sent = Json::parse(request.body);
    for (const auto& app : sent["apps"]) {
      apps.push_back(Json{{"appPackage", app["appPackage"]},
                          {"appName", app["appName"]},
                          {"version", "2"},
                          {"processName", app["processName"]},
                          {"tagIds", Json::array({7001})}});
    }
    return test::CannedResponse{200, "application/json", Json{{"apps", apps}}.dump()};
  });
  // Installation checks do nothing before one-key control has been answered.
  peer->publish("/ts/20/2/" + deviceId, Json{{"RequestCheckApp", Json::object()}}, 1, false);

  const auto oneKey =
      ask("RequestAppsOnekeyControl", Json{{"commandUuid", "one-1"}}, "ResponseAppsOnekeyControl");
  ASSERT_TRUE(oneKey);
  EXPECT_EQ(keysOf(*oneKey), (std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime",
                                                       "appControlGroups", "apps"}));
  EXPECT_EQ((*oneKey)["appControlGroups"][1]["apps"].size(), 2u);  // both filed as games
  EXPECT_TRUE((*oneKey)["apps"].empty());
  ASSERT_TRUE(ports.time.loop().runUntil(
      [this] { return ports.agent().cache().boolForKey("ResponseAppsOnekeyControl"); }, 10s));
  EXPECT_EQ(service.requestCount(), 1u);
  EXPECT_FALSE(peer->waitFor(MqttPeer::named("EventAppInstall"), 0s));

  ports.installed.set(
      Json::parse(R"([{"bundleId":"com.example.game","bundleExecutable":"game","displayName":"Game"},
                                      {"bundleId":"com.example.new","bundleExecutable":"new","displayName":"New"}])"));
  peer->publish("/ts/20/2/" + deviceId, Json{{"RequestCheckApp", Json::object()}}, 1, false);
  ASSERT_TRUE(ports.time.loop().runUntil(
      [&] {
        return peer->waitFor(MqttPeer::named("EventAppInstall"), 0s) &&
               peer->waitFor(MqttPeer::named("EventAppUninstall"), 0s);
      },
      20s));
  for (const auto& message : peer->received()) {
    if (message.payload.contains("EventAppInstall")) {
      const Json& event = message.payload["EventAppInstall"];
      EXPECT_EQ(keysOf(event), (std::vector<std::string>{"commandUuid", "thisDeviceId", "createTime",
                                                         "appPackage", "appName", "groupId"}));
      EXPECT_EQ(event["appPackage"], "com.example.new");
      EXPECT_EQ(event["groupId"], *ports.agent().inventory().builtInGroup(2)->groupId);
    }
    if (message.payload.contains("EventAppUninstall")) {
      const Json& event = message.payload["EventAppUninstall"];
      EXPECT_EQ(keysOf(event),
                (std::vector<std::string>{"commandUuid", "thisDeviceId", "createTime", "appPackage"}));
      EXPECT_EQ(event["appPackage"], "com.example.gone");
    }
  }
  EXPECT_EQ(ports.agent().cache().objectForKey("childInstallationApps")->plain(), ports.installed.fetch());
}

}  // namespace
}  // namespace twig
