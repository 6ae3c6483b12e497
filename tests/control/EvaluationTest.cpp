// The 10-second evaluation: control groups, their windows and the running processes.
#include <gtest/gtest.h>

#include "app/Agent.h"
#include "control/AppControlManager.h"
#include "control/AppInventory.h"
#include "control/ControlWarning.h"
#include "control/GroupChangeHandler.h"
#include "identity/ChildIdentity.h"
#include "platform/Clock.h"
#include "platform/DesktopNotifier.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/TableStore.h"
#include "tests/fakes/ScopedTimeZone.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

// Monday 2016-11-28 00:00 UTC.
constexpr long long kMondayUtc = 1480291200;

WallTime at(long long dayOffset, int hour, int minute) {
  return WallTime(std::chrono::seconds(kMondayUtc + dayOffset * 86400 + hour * 3600 + minute * 60));
}

class EvaluationTest : public ::testing::Test {
 protected:
  EvaluationTest() {
    starts = ports.agent().controlEvents().started.connect([this](const Json& nBlacklist) {
      events.push_back("start");
      last = nBlacklist;
    });
    ends = ports.agent().controlEvents().ended.connect([this] {
      events.push_back("end");
      last = Json::array();
    });
    // The built-in groups, as the first inventory upload makes them.
    for (int type = 0; type < 3; ++type) groups.push_back(*ports.agent().inventory().builtInGroup(type));
  }
  void addApp(const std::string& package, const std::string& process, const ControlGroupRecord& group) {
    AppRecord app;
    app.appPackage = package;
    app.appName = package;
    app.processName = process;
    app.groupId = group.groupId;
    store.insertData(app);
  }
  void setWindow(const ControlGroupRecord& group, const std::string& start, const std::string& end,
                 const std::string& week) {
    ControlGroupRecord window;
    window.startTime = start;
    window.endTime = end;
    window.week = week;
    store.updateSpecificDataChangeKeys(window, std::vector<std::string>{"startTime", "endTime", "week"},
                                       "groupId", *group.groupId);
  }
  void evaluateAt(WallTime time) {
    ports.time.clock().setNow(time);
    manager().rebuildMonitoringTable();
  }
  AppControlManager& manager() { return ports.agent().control(); }

  test::ScopedTimeZone zone{"UTC0"};
  test::TestPorts ports;
  TableStore store{ports.agent().tables().databaseFile()};
  std::vector<ControlGroupRecord> groups;  // Other, social, games
  ObserverToken starts;
  ObserverToken ends;
  std::vector<std::string> events;
  Json last = Json::array();
};

TEST_F(EvaluationTest, TheDefaultWindowEndsAtElevenAtNight) {
  addApp("com.example.game", "game", groups[2]);
  ports.processes.set(std::vector<std::string>{"init", "game"});
  evaluateAt(at(0, 22, 59));
  EXPECT_EQ(events.back(), "end");
  evaluateAt(at(0, 23, 0));
  ASSERT_EQ(events.back(), "start");
  ASSERT_EQ(last.size(), 1u);
  const Json& entry = last[0];
  std::vector<std::string> keys;
  for (auto it = entry.begin(); it != entry.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"startTime", "endTime", "groupName", "apps", "today"}));
  EXPECT_EQ(entry["startTime"], "06:00");
  EXPECT_EQ(entry["endTime"], "23:00");
  EXPECT_EQ(entry["groupName"], "游戏");
  EXPECT_EQ(entry["today"], true);
  EXPECT_EQ(entry["apps"],
            Json::parse(
                R"([{"appPackage":"com.example.game","appName":"com.example.game","processName":"game"}])"));
  EXPECT_EQ(manager().blacklist(), last);
  // Both ends of the window are controlled; the minutes between are allowed.
  evaluateAt(at(0, 6, 0));
  EXPECT_EQ(events.back(), "start");
  evaluateAt(at(0, 6, 1));
  EXPECT_EQ(events.back(), "end");
}

TEST_F(EvaluationTest, UnreadableTimesControlTheirGroupAllDayAndSpareTheOthers) {
  addApp("com.example.game", "game", groups[2]);
  addApp("com.example.chat", "chat", groups[1]);
  setWindow(groups[2], "later", "23:00", "0,1,2,3,4,5,6");
  ports.processes.set(std::vector<std::string>{"game", "chat"});
  evaluateAt(at(0, 12, 0));
  ASSERT_EQ(events.back(), "start");
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0]["groupName"], "游戏");
}

TEST_F(EvaluationTest, OnlyRunningApplicationsOfControlledGroupsCount) {
  addApp("com.example.notes", "notes", groups[0]);
  addApp("com.example.game", "game", groups[2]);
  addApp("com.example.quiet", "quiet", groups[2]);
  ports.processes.set(std::vector<std::string>{"notes", "quiet", "GAME"});
  evaluateAt(at(0, 23, 30));
  ASSERT_EQ(events.back(), "start");
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0]["apps"].size(), 1u);
  EXPECT_EQ(last[0]["apps"][0]["processName"], "quiet");
  ports.processes.set(std::vector<std::string>{"notes"});  // the Other group is never controlled
  evaluateAt(at(0, 23, 30));
  EXPECT_EQ(events.back(), "end");
  ports.processes.set(std::nullopt);  // an unreadable table finds nothing running
  evaluateAt(at(0, 23, 30));
  EXPECT_EQ(events.back(), "end");
}

TEST_F(EvaluationTest, AGroupChangeTakesEffectAtOnce) {
  addApp("com.example.game", "game", groups[2]);
  addApp("com.example.other", "other", groups[0]);
  ports.processes.set(std::vector<std::string>{"game", "other"});
  evaluateAt(at(0, 12, 0));
  EXPECT_EQ(events.back(), "end");
  events.clear();
  EXPECT_TRUE(GroupChangeHandler::applyChange(
      ports.agent().tables(), GroupChangeHandler::changeOf(
                                  Json{{"groupId", *groups[2].groupId},
                                       {"startTime", "13:00"},
                                       {"endTime", "14:00"},
                                       {"week", "1"},
                                       {"apps", Json::array({Json{{"appPackage", "com.example.other"}}})}})));
  manager().rebuildMonitoringTable();
  ASSERT_EQ(events, (std::vector<std::string>{"start"}));
  ASSERT_EQ(last[0]["apps"].size(), 1u);
  EXPECT_EQ(last[0]["apps"][0]["processName"], "other");
  EXPECT_EQ(last[0]["startTime"], "13:00");
  // No applications listed: the group is emptied into the Other group.
  EXPECT_TRUE(GroupChangeHandler::applyChange(
      ports.agent().tables(), GroupChangeHandler::changeOf(Json{{"groupId", *groups[2].groupId},
                                                                {"startTime", "13:00"},
                                                                {"endTime", "14:00"},
                                                                {"week", "1"},
                                                                {"apps", Json::array()}})));
  manager().rebuildMonitoringTable();
  EXPECT_EQ(events.back(), "end");
  const auto inOther = store.fetchSpecificData(AppRecord(), "groupId", Json(*groups[0].groupId));
  ASSERT_TRUE(inOther);
  EXPECT_EQ(inOther->size(), 2u);
}

// Moves one second on every reading, as a real clock may between two readings.
class TickingClock final : public Clock {
 public:
  explicit TickingClock(WallTime start) : next_(start) {}
  WallTime now() const override {
    const WallTime reading = next_;
    next_ += std::chrono::seconds(1);
    return reading;
  }
  SteadyTime steadyNow() const override { return SteadyTime(); }

 private:
  mutable WallTime next_;
};

TEST_F(EvaluationTest, OneEvaluationReadsTheDayAndTheMinuteFromOneReading) {
  addApp("com.example.chat", "chat", groups[1]);
  setWindow(groups[1], "06:00", "23:59", "1");  // Mondays only
  ports.processes.set(std::vector<std::string>{"chat"});
  // Sunday 23:59:59: a second reading would already be Monday 00:00.
  TickingClock ticking(at(0, 0, 0) - std::chrono::seconds(1));
  const Ports ticked = ports.withClock(ticking);
  auto& agent = ports.agent();
  Services services = agent.services();
  AppControlManager onTicks(
      Services{ticked, services.api, services.cache, services.tables, services.host, services.routes},
      agent.child(), agent.inventory(), agent.controlEvents(), agent.remoteEvents());
  onTicks.rebuildMonitoringTable();
  ASSERT_EQ(events.back(), "start");
  EXPECT_EQ(last[0]["today"], false);  // Sunday, which the group does not list
}

TEST_F(EvaluationTest, TheTimerEvaluatesEveryTenSecondsOnceStarted) {
  addApp("com.example.game", "game", groups[2]);
  ports.processes.set(std::vector<std::string>{"game"});
  ports.time.clock().setNow(at(0, 23, 30));
  manager().start();
  manager().start();  // one timer only
  manager().rebuildMonitoringTable();
  events.clear();
  ports.time.advance(9s);
  EXPECT_TRUE(events.empty());
  ports.time.advance(21s);
  EXPECT_EQ(events, (std::vector<std::string>{"start", "start", "start"}));
}

// The warning before a window closes: once per closing, only while an application of the group
// runs, spoken and shown in the desktop's notification area.
class ClosingWarningTest : public EvaluationTest {
 protected:
  class RecordingNotifier final : public DesktopNotifier {
   public:
    bool notify(const std::string& summary, const std::string& body) override {
      shown.push_back(summary + ": " + body);
      return true;
    }
    std::vector<std::string> shown;
  };
  ClosingWarningTest() {
    soon = ports.agent().controlEvents().closingSoon.connect(
        [this](const Json& nNotice) { notices.push_back(nNotice); });
    addApp("com.example.game", "game", groups[2]);
    addApp("com.example.quiz", "quiz", groups[2]);
    setWindow(groups[2], "08:00", "10:00", "1");  // Mondays
  }
  ObserverToken soon;
  std::vector<Json> notices;
  RecordingNotifier desktop;
  ControlWarning warning{ports.agent().controlEvents(), ports.speech, desktop};
};

TEST_F(ClosingWarningTest, FiveMinutesAheadOnceWhileAnApplicationRuns) {
  ports.processes.set(std::vector<std::string>{"init", "game", "quiz"});
  evaluateAt(at(0, 9, 54));
  EXPECT_TRUE(notices.empty());
  evaluateAt(at(0, 9, 55));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], (Json{{"groupName", "游戏"},
                              {"endTime", "10:00"},
                              {"minutesLeft", 5},
                              {"apps", {"com.example.game", "com.example.quiz"}}}));
  ASSERT_EQ(ports.speech.spoken().size(), 1u);
  EXPECT_EQ(ports.speech.spoken()[0].text, "还有5分钟，com.example.game、com.example.quiz就要到管控时间了");
  EXPECT_EQ(ports.speech.spoken()[0].language, "zh_CN");
  EXPECT_EQ(desktop.shown,
            (std::vector<std::string>{
                "使用时间快到了: 还有5分钟，com.example.game、com.example.quiz就要到管控时间了"}));

  // The ten-second ticks of the next minutes, and an application that stops and starts again.
  for (int minute = 56; minute < 60; ++minute) evaluateAt(at(0, 9, minute));
  ports.processes.set(std::vector<std::string>{"init"});
  evaluateAt(at(0, 9, 58));
  ports.processes.set(std::vector<std::string>{"init", "game"});
  evaluateAt(at(0, 9, 59));
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_EQ(events.back(), "end");  // nothing controlled yet

  evaluateAt(at(0, 10, 0));
  EXPECT_EQ(events.back(), "start");
  // Next Monday's closing is a new one.
  evaluateAt(at(7, 9, 57));
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1]["minutesLeft"], 3);
  EXPECT_EQ(notices[1]["apps"], Json::array({"com.example.game"}));
}

TEST_F(ClosingWarningTest, NothingWithoutARunningApplicationOrOnAnotherDayOrWithNoLead) {
  ports.processes.set(std::vector<std::string>{"init", "editor"});
  evaluateAt(at(0, 9, 57));  // the window closes soon, but none of its applications runs
  ports.processes.set(std::vector<std::string>{"init", "game"});
  evaluateAt(at(1, 9, 57));  // Tuesday: the group is controlled all day, there is no closing to warn of
  EXPECT_EQ(events.back(), "start");
  manager().setWarningLead(0);
  evaluateAt(at(7, 9, 57));
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(ports.speech.spoken().empty());
}

}  // namespace
}  // namespace twig
