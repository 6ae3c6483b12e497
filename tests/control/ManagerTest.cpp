#include "control/AppControlManager.h"

#include <gtest/gtest.h>

#include "app/Agent.h"
#include "control/AppInventory.h"
#include "platform/ApplicationEvents.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class ManagerTest : public ::testing::Test {
 protected:
  ManagerTest() {
    ports.useServiceHost(server.hostAndPort());
    resets = ports.agent().remoteEvents().reset.connect([this] { ++resetCount; });
    ends = ports.agent().controlEvents().ended.connect([this] { ++endCount; });
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  ObserverToken resets;
  ObserverToken ends;
  int resetCount = 0;
  int endCount = 0;
};

TEST_F(ManagerTest, StartingUpKeepsAliveReadsTheDeviceAndMakesTheBuiltInGroups) {
  ports.deviceState.setLockState(1);
  ports.deviceState.setBatteryLevel(0.55);
  auto& manager = ports.agent().control();
  EXPECT_EQ(ports.audio.calls(), (std::vector<std::string>{"play 无声"}));
  EXPECT_EQ(manager.screenStatus(), "当前处于锁屏状态");
  EXPECT_DOUBLE_EQ(manager.battery(), 0.55);
  const auto groups = ports.agent().tables().fetchAllData(ControlGroupRecord());
  ASSERT_TRUE(groups);
  ASSERT_EQ(groups->size(), 3u);
  EXPECT_EQ((*groups)[0]["groupName"], "其它");
  EXPECT_EQ((*groups)[1]["groupName"], "社交");
  EXPECT_EQ((*groups)[2]["groupName"], "游戏");
  EXPECT_FALSE(ports.userDefaults.boolForKey("kChildAppsCache")) << "no list, no upload";
  EXPECT_EQ(server.requestCount(), 0u);

  ports.deviceState.setBatteryLevel(0.4);
  ports.deviceState.setLockState(0);
  EXPECT_DOUBLE_EQ(manager.battery(), 0.4);
  EXPECT_EQ(manager.screenStatus(), "孩子端使用中");
  ports.notifications.post(ApplicationEvents::kAudioRouteChange);
  ports.time.settle();
  EXPECT_EQ(ports.audio.calls().size(), 2u);
  EXPECT_FALSE(manager.isMonitoring());
  ports.time.advance(1s);
  EXPECT_FALSE(manager.isMonitoring()) << "an unbound device is not monitored";
}

TEST_F(ManagerTest, ABoundDeviceStartsMonitoringOneSecondAfterTheManager) {
  ports.agent().cache().setBool(true, "binding");
  auto& manager = ports.agent().control();
  EXPECT_FALSE(manager.isMonitoring());
  ports.time.advance(1s);
  EXPECT_TRUE(manager.isMonitoring());
}

TEST_F(ManagerTest, AResetStopsMonitoringAndUploadsTheInventoryAgain) {
  ports.agent().cache().setBool(true, "binding");
  ports.userDefaults.setBool("kChildAppsCache", true);
  auto& manager = ports.agent().control();
  ports.time.advance(1s);
  ASSERT_TRUE(manager.isMonitoring());
  ports.installed.set(Json::parse(R"([{"bundleId":"a.b","bundleExecutable":"b","displayName":"B"}])"));
  endCount = 0;
  ports.agent().remoteEvents().reset.notify();
  ports.time.settle();
  EXPECT_FALSE(manager.isMonitoring());
  EXPECT_EQ(endCount, 1);
  EXPECT_FALSE(ports.userDefaults.objectForKey("kChildAppsCache").has_value());
  EXPECT_FALSE(manager.isReset());
  EXPECT_EQ(server.requestCount(), 0u);
  ports.time.advance(1s);
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.userDefaults.boolForKey("kChildAppsCache"); }, 20s));
  EXPECT_EQ(server.requests().at(0).path.rfind("/api/v2.0/apps/device/", 0), 0u);
}

TEST_F(ManagerTest, AResetWhileLockedRunsAgainWhenTheScreenIsUnlocked) {
  auto& manager = ports.agent().control();
  ports.deviceState.setLockState(1);
  ports.agent().remoteEvents().reset.notify();
  ports.time.settle();
  EXPECT_TRUE(manager.isReset());
  EXPECT_EQ(resetCount, 1);
  ports.deviceState.setLockState(0);
  EXPECT_EQ(resetCount, 2) << "posted again at the unlock";
  ports.time.settle();
  EXPECT_FALSE(manager.isReset());
  ports.deviceState.setLockState(1);
  ports.deviceState.setLockState(0);
  EXPECT_EQ(resetCount, 2);
  ports.deviceState.setLockState(7);  // unknown states change nothing
  EXPECT_EQ(manager.screenStatus(), "孩子端使用中");
}

}  // namespace
}  // namespace twig
