#include <gtest/gtest.h>

#include "app/Agent.h"
#include "control/AppInventory.h"
#include "identity/ChildIdentity.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "tests/fakes/ScopedTimeZone.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

Json installedList() {
  return Json::parse(R"([
    {"bundleId":"com.example.mixed","bundleExecutable":"mixed","displayName":"Mixed"},
    {"bundleId":"com.example.game","bundleExecutable":"game","displayName":"Game"},
    {"bundleId":"com.example.low","bundleExecutable":"low","displayName":"Low"},
    {"bundleId":"com.example.high","bundleExecutable":"high","displayName":"High"},
    {"bundleId":"com.example.plain","bundleExecutable":"plain","displayName":"Plain"}])");
}

Json serviceAnswer() {
  return Json::parse(R"({"apps":[
    {"appPackage":"com.example.mixed","appName":"Mixed","version":"1","processName":"mixed","tagIds":[6014,6005]},
    {"appPackage":"com.example.game","appName":"Game","version":"2","processName":"game","tagIds":[7005]},
    {"appPackage":"com.example.low","appName":"Low","version":"3","processName":"low","tagIds":[7000]},
    {"appPackage":"com.example.high","appName":"High","version":"4","processName":"high","tagIds":[7020]},
    {"appPackage":"com.example.plain","appName":"Plain","version":"5","processName":"plain"}],
    "needIconApps":[]})");
}

class InventoryTest : public ::testing::Test {
 protected:
  InventoryTest() { ports.useServiceHost(server.hostAndPort()); }
  std::string groupOf(const std::string& package) {
    const auto rows = ports.agent().tables().fetchSpecificData(AppRecord(), "appPackage", Json(package));
    if (!rows) return "<none>";
    const std::string groupId = (*rows)[0]["groupId"];
    const auto groups =
        ports.agent().tables().fetchSpecificData(ControlGroupRecord(), "groupId", Json(groupId));
    return groups ? (*groups)[0]["groupName"].get<std::string>() : "<no group>";
  }
  struct Result {
    bool done = false;
    bool succeeded = false;
    std::vector<AppRecord> models;
  };
  Result upload(const std::optional<Json>& added) {
    Result result;
    ports.agent().inventory().postInstallationAppsWithAddApp(
        added, [&](const std::vector<AppRecord>& models, bool ok) {
          result = {true, ok, models};
        });
    ports.time.loop().runUntil([&] { return result.done; }, 20s);
    return result;
  }

  test::TestHttpServer server;
  test::TestPorts ports;
};

TEST_F(InventoryTest, TagsFileApplicationsIntoGroups) {
  server.setHandler([](const test::RecordedRequest&) {
    return CannedResponse{200, "application/json", serviceAnswer().dump()};
  });
  ports.installed.set(installedList());
  const Result result = upload(std::nullopt);
  ASSERT_TRUE(result.succeeded);
  EXPECT_TRUE(result.models.empty()) << "a full upload hands back nothing";
  EXPECT_EQ(groupOf("com.example.mixed"), "社交");
  EXPECT_EQ(groupOf("com.example.game"), "游戏");
  EXPECT_EQ(groupOf("com.example.low"), "其它");
  EXPECT_EQ(groupOf("com.example.high"), "其它");
  EXPECT_EQ(groupOf("com.example.plain"), "其它");

  const auto request = server.requests().at(0);
  EXPECT_EQ(request.path, "/api/v2.0/apps/device/" + ports.agent().child().deviceId());
  EXPECT_TRUE(request.signatureValid);
  const Json sent = Json::parse(request.body)["apps"];
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0].dump(),
            R"({"appPackage":"com.example.mixed","processName":"mixed","appName":"Mixed","isSystem":2})");
  EXPECT_TRUE(ports.userDefaults.boolForKey("kChildAppsCache"));
  EXPECT_EQ(ports.agent().cache().objectForKey("childInstallationApps")->plain(), installedList());
}

TEST_F(InventoryTest, AnApplicationTheServiceDoesNotKnowIsFiledByItsPlatformTags) {
  server.setHandler([](const test::RecordedRequest&) {
    return CannedResponse{200, "application/json", serviceAnswer().dump()};
  });
  Json installed = installedList();
  installed[4]["tagIds"] = Json::array({6005});  // "plain": a chat program by its desktop entry
  installed[1]["tagIds"] = Json::array({6005});  // the service's own tags win
  ports.installed.set(installed);
  ASSERT_TRUE(upload(std::nullopt).succeeded);
  EXPECT_EQ(groupOf("com.example.plain"), "社交");
  EXPECT_EQ(groupOf("com.example.game"), "游戏");
  const Json sent = Json::parse(server.requests().at(0).body)["apps"];
  EXPECT_FALSE(sent[4].contains("tagIds")) << "the upload itself is unchanged";
}

TEST_F(InventoryTest, KnownApplicationsKeepTheirGroupAndGroupsAreMadeOnce) {
  server.setHandler([](const test::RecordedRequest&) {
    return CannedResponse{200, "application/json", serviceAnswer().dump()};
  });
  ports.installed.set(installedList());
  upload(std::nullopt);
  Json changed = serviceAnswer();
  changed["apps"][2]["tagIds"] = Json::array({6005});
  server.setHandler([changed](const test::RecordedRequest&) {
    return CannedResponse{200, "application/json", changed.dump()};
  });
  const Result added = upload(Json::array({installedList()[2]}));
  ASSERT_EQ(added.models.size(), 5u) << "the models the service answered for";
  EXPECT_EQ(groupOf("com.example.low"), "其它") << "the stored row is kept";
  EXPECT_EQ(ports.agent().tables().fetchAllData(ControlGroupRecord())->size(), 3u);
  EXPECT_EQ(ports.agent().tables().fetchAllData(AppRecord())->size(), 5u);
}

TEST_F(InventoryTest, AFailureLeavesTheInventoryFlagUnset) {
  server.setHandler([](const test::RecordedRequest&) {
    return CannedResponse{500, "application/json", "{}"};
  });
  ports.installed.set(installedList());
  const Result failed = upload(std::nullopt);
  EXPECT_TRUE(failed.done);
  EXPECT_FALSE(failed.succeeded);
  EXPECT_FALSE(ports.userDefaults.objectForKey("kChildAppsCache").has_value());
  EXPECT_FALSE(ports.agent().cache().hasCacheForKey("childInstallationApps"));

  server.setHandler([](const test::RecordedRequest&) {
    return CannedResponse{200, "application/json", R"({"apps":null})"};
  });
  EXPECT_TRUE(upload(std::nullopt).succeeded);
  EXPECT_TRUE(ports.userDefaults.boolForKey("kChildAppsCache"));

  ports.installed.set(std::nullopt);
  const std::size_t before = server.requestCount();
  EXPECT_TRUE(upload(std::nullopt).done);
  EXPECT_EQ(server.requestCount(), before) << "nothing to send, nothing sent";
}

}  // namespace
}  // namespace twig
