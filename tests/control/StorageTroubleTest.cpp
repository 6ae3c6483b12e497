// A table database that cannot be read or written: control goes on with what was last read, and
// the parent hears "Failed" instead of "Acknowledged".
#include <gtest/gtest.h>

#include "app/Agent.h"
#include "control/AppControlManager.h"
#include "control/AppInventory.h"
#include "control/AppsHandler.h"
#include "control/GroupChangeHandler.h"
#include "platform/AtomicFile.h"
#include "platform/Ports.h"
#include "storage/SqliteDatabase.h"
#include "storage/TableStore.h"
#include "tests/fakes/ScopedTimeZone.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

// Monday 2016-11-28 12:00 UTC.
const WallTime kMondayNoon(std::chrono::seconds(1480291200 + 12 * 3600));

class StorageTroubleTest : public ::testing::Test {
 protected:
  StorageTroubleTest() {
    starts = ports.agent().controlEvents().started.connect(
        [this](const Json& nBlacklist) { events.push_back("start " + nBlacklist.dump()); });
    ends = ports.agent().controlEvents().ended.connect([this] { events.push_back("end"); });
    for (int type = 0; type < 3; ++type) groups.push_back(*ports.agent().inventory().builtInGroup(type));
    // A game in the games group, controlled at noon on Mondays.
    AppRecord game;
    game.appPackage = "com.example.game";
    game.appName = "Game";
    game.processName = "game";
    game.groupId = groups[2].groupId;
    store.insertData(game);
    ControlGroupRecord window;
    window.startTime = "13:00";
    window.endTime = "14:00";
    window.week = "1";
    store.updateSpecificDataChangeKeys(window, std::vector<std::string>{"startTime", "endTime", "week"},
                                       "groupId", *groups[2].groupId);
    ports.processes.set(std::vector<std::string>{"game"});
    ports.time.clock().setNow(kMondayNoon);
    context.deviceId = "d41d8cd98f00b204e9800998ecf8427e";
    context.mainLoop = &ports.time.loop();
    context.clock = &ports.time.clock();
    context.publish = [this](const Json& message, PushChannel::PublishCompletion completion) {
      answers.push_back(message);
      if (completion) completion(std::nullopt);
    };
  }
  void damageTheDatabase() { ASSERT_TRUE(AtomicFile::write(store.databaseFile(), std::string(4096, 'x'))); }
  Json answerTo(const std::shared_ptr<CommandHandler>& handler, const Json& payload) {
    answers.clear();
    handler->receive(test::command(payload));
    ports.time.loop().runUntilIdle();
    return answers.empty() ? Json() : answers.back();
  }
  Json groupChange(const std::string& start) {
    return Json{{"RequestAppControlGroupChange",
                 {{"commandUuid", "C0FFEE00-0000-4000-8000-000000000001"},
                  {"groupId", *groups[2].groupId},
                  {"startTime", start},
                  {"endTime", "23:00"},
                  {"week", "1"},
                  {"apps", Json::array({Json{{"appPackage", "com.example.game"}}})}}}};
  }
  AppControlManager& manager() { return ports.agent().control(); }

  test::ScopedTimeZone zone{"UTC0"};
  test::TestPorts ports;
  TableStore store{ports.agent().tables().databaseFile()};
  std::vector<ControlGroupRecord> groups;
  ObserverToken starts;
  ObserverToken ends;
  std::vector<std::string> events;
  CommandContext context;
  std::vector<Json> answers;
};

TEST_F(StorageTroubleTest, ADatabaseThatCannotBeReadKeepsTheLastGroupsAndSaysSoOnce) {
  manager().rebuildMonitoringTable();
  ASSERT_EQ(events.size(), 1u);
  ASSERT_EQ(events.back().rfind("start", 0), 0u) << events.back();
  const std::string controlled = events.back();

  damageTheDatabase();
  testing::internal::CaptureStderr();
  manager().rebuildMonitoringTable();
  manager().rebuildMonitoringTable();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(events, (std::vector<std::string>{controlled, controlled, controlled}));
  EXPECT_EQ(said.find("twig: app control keeps its last groups: the control groups cannot be read ("), 0u)
      << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

  // The applications' answer says that it could not be read, instead of "no groups".
  const Json apps =
      answerTo(std::make_shared<AppsHandler>(context, ports.controlTools()),
               Json{{"RequestApps", {{"commandUuid", "C0FFEE00-0000-4000-8000-000000000002"}}}});
  ASSERT_TRUE(apps.contains("ResponseApps")) << apps;
  EXPECT_EQ(apps["ResponseApps"]["status"], "Failed");
  EXPECT_TRUE(apps["ResponseApps"]["appControlGroups"].empty());
}

TEST_F(StorageTroubleTest, AGroupChangeThatCannotBeStoredIsAnsweredFailedAndLeavesControlAsItWas) {
  manager().rebuildMonitoringTable();
  ASSERT_EQ(events.back().rfind("start", 0), 0u);
  auto handler = [this] {
    return std::make_shared<GroupChangeHandler>(
        context, ports.controlTools([this] { manager().rebuildMonitoringTable(); }));
  };

  // Half of a change is no change: the applications' table refuses its update after the window's
  // was made, and the window's is undone with it.
  {
    auto database = SqliteDatabase::open(store.databaseFile());
    ASSERT_TRUE(
        database->execute("create trigger refuse before update on TWGIAppsModel "
                          "begin select raise(abort, 'the disk is full'); end"));
  }
  testing::internal::CaptureStderr();
  const Json refused = answerTo(handler(), groupChange("00:00"));
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(refused.contains("ResponseAppControlGroupChange")) << refused;
  EXPECT_EQ(refused["ResponseAppControlGroupChange"]["status"], "Failed");
  EXPECT_NE(said.find("twig: a group change was not stored: the disk is full"), std::string::npos) << said;
  const auto games = store.readRows(ControlGroupRecord(), "groupId", Json(*groups[2].groupId));
  ASSERT_TRUE(games && games->size() == 1u);
  EXPECT_EQ((*games)[0]["startTime"], "13:00");
  EXPECT_EQ(events.back().rfind("start", 0), 0u) << "control goes on";

  {
    auto database = SqliteDatabase::open(store.databaseFile());
    ASSERT_TRUE(database->execute("drop trigger refuse"));
  }
  const Json stored = answerTo(handler(), groupChange("00:00"));
  ASSERT_TRUE(stored.contains("ResponseAppControlGroupChange")) << stored;
  EXPECT_EQ(stored["ResponseAppControlGroupChange"]["status"], "Acknowledged");
  EXPECT_EQ(events.back(), "end") << "the game's window now includes noon";

  damageTheDatabase();
  testing::internal::CaptureStderr();
  const Json damaged = answerTo(handler(), groupChange("13:00"));
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(damaged.contains("ResponseAppControlGroupChange")) << damaged;
  EXPECT_EQ(damaged["ResponseAppControlGroupChange"]["status"], "Failed");
  EXPECT_EQ(events.back(), "end") << "the last groups that were read stay";
}

TEST_F(StorageTroubleTest, AnInventoryThatCannotBeStoredIsNotMarkedDone) {
  damageTheDatabase();
  testing::internal::CaptureStderr();
  std::optional<bool> stored;
  ports.agent().inventory().postInstallationAppsWithAddApp(
      context.deviceId, Json::array({Json{{"bundleId", "com.example.new"}, {"bundleExecutable", "new"}}}),
      [&](const std::vector<AppRecord>&, bool succeeded) { stored = succeeded; });
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(stored.has_value()) << "answered at once: nothing was sent";
  EXPECT_FALSE(*stored);
  EXPECT_FALSE(ports.agent().inventory().builtInGroup(2).has_value()) << "no group made up in its place";
  EXPECT_NE(said.find("twig: the installed applications were not stored: the built-in groups cannot be read"),
            std::string::npos)
      << said;
}

}  // namespace
}  // namespace twig
