// The lock screen: its grid, headers, spoken warnings, clock and closing.
#include <gtest/gtest.h>

#include <thread>

#include "app/Agent.h"
#include "control/AppControlManager.h"
#include "control/LockScreen.h"
#include "tests/fakes/ScopedTimeZone.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

Json app(const std::string& name) {
  return Json{{"appPackage", "com.example." + name}, {"appName", name}, {"processName", name}};
}

// A blacklist entry as the evaluation posts it.
Json entry(const std::string& group, bool today, std::vector<Json> apps) {
  return Json{{"startTime", "06:00"},
              {"endTime", "23:00"},
              {"groupName", group},
              {"apps", Json(std::move(apps))},
              {"today", today}};
}

class LockScreenTest : public ::testing::Test {
 protected:
  LockScreenTest() {
    ports.useServiceHost("service.example:8080");
    home = test::blankScreen("Home");
    ports.screenHost.setRoot(home);
  }
  // Shown as the lock presenter shows it: entries first, then presented as the cover.
  std::shared_ptr<LockScreen> show(const Json& entries) {
    auto lock = std::make_shared<LockScreen>(ports.agent().services(), ports.agent().controlEvents(),
                                             ports.agent().remoteEvents());
    lock->setUnLockBlock([this] { ++unlocks; });
    lock->setArray(entries);
    ports.screenHost.presentCover(lock);
    return lock;
  }

  test::ScopedTimeZone zone{"TST-8"};
  test::TestPorts ports;
  std::shared_ptr<ViewModel> home;
  int unlocks = 0;
};

TEST_F(LockScreenTest, OneSectionPerEntryWithTheHeaderOfItsDayAndAWarningNamingEveryApplication) {
  auto lock = show(Json::array({entry("游戏", true, {app("Puzzle")}), entry("社交", false, {app("Chat")})}));
  EXPECT_EQ(lock->title(), "管控");
  const Json& sections = lock->state()["sections"];
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0]["header"], "以下游戏现在不可玩，可玩时段06:00-23:00，请双击HOME键后划走~");
  EXPECT_EQ(sections[1]["header"], "以下社交应用今天不可玩，请双击HOME键后划走~");
  ASSERT_EQ(sections[0]["apps"].size(), 1u);
  EXPECT_EQ(sections[0]["apps"][0]["appName"], "Puzzle");
  EXPECT_EQ(sections[0]["apps"][0]["iconUrl"],
            "http://service.example:8080/images/apps/ios/com.example.Puzzle/icon.png");
  EXPECT_EQ(sections[0]["apps"][0]["placeholder"], "qz_moren");

  const auto spoken = ports.speech.spoken();
  ASSERT_EQ(spoken.size(), 1u);
  EXPECT_EQ(spoken[0].text, "管控时间：请将Puzzle,Chat关闭~");
  EXPECT_EQ(spoken[0].language, "zh_CN");
  EXPECT_DOUBLE_EQ(spoken[0].rate, 0.1);
}

TEST_F(LockScreenTest, MoreThanThreeApplicationsAreNotNamed) {
  show(Json::array({entry("游戏", true, {app("A"), app("B"), app("C")}), entry("社交", true, {app("D")})}));
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>{"管控时间：请将以下应用关闭~"});
  ports.speech.clear();
  show(Json::array({entry("游戏", true, {app("A"), app("B")}), entry("社交", true, {app("C")})}));
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>{"管控时间：请将A,B,C关闭~"});
}

TEST_F(LockScreenTest, OneScreenSpeaksThreeWarningsAtMostAndANewScreenStartsAgain) {
  const Json entries = Json::array({entry("游戏", true, {app("Puzzle")})});
  auto lock = show(entries);
  for (int evaluation = 0; evaluation < 5; ++evaluation) lock->setArray(entries);
  EXPECT_EQ(ports.speech.texts().size(), 3u);
  EXPECT_EQ(lock->state()["warnings"], 3);
  // The list still follows every update.
  lock->setArray(Json::array({entry("游戏", true, {app("Puzzle"), app("Racer")})}));
  EXPECT_EQ(lock->state()["sections"][0]["apps"].size(), 2u);
  EXPECT_EQ(ports.speech.texts().size(), 3u);

  lock->lockEnd();
  show(entries);
  EXPECT_EQ(ports.speech.texts().size(), 4u);
}

TEST_F(LockScreenTest, EntriesGivenBeforeTheScreenLoadsAreSpokenOnceWhenItLoads) {
  auto lock = std::make_shared<LockScreen>(ports.agent().services(), ports.agent().controlEvents(),
                                           ports.agent().remoteEvents());
  lock->setArray(Json::array({entry("游戏", true, {app("Puzzle")})}));
  EXPECT_TRUE(ports.speech.texts().empty());
  ports.screenHost.present(lock, true);
  EXPECT_EQ(ports.speech.texts().size(), 1u);
}

TEST_F(LockScreenTest, TheClockShowsLocalTimeAndDateAndTicksEverySecond) {
  // Monday 2016-05-09 07:59:30 in UTC+8.
  ports.time.clock().setNow(WallTime(std::chrono::seconds(1462751970)));
  auto lock = show(Json::array({entry("游戏", true, {app("Puzzle")})}));
  EXPECT_EQ(lock->state()["time"], "07:59");
  EXPECT_EQ(lock->state()["date"], "星期一·2016-05-09");
  EXPECT_EQ(lock->state()["expected"], "目前您的手机处于管控状态");
  EXPECT_EQ(lock->state()["expectedLineHeight"], 1.5);
  EXPECT_EQ(lock->state()["statusBarHidden"], true);
  ports.time.advance(30s);
  EXPECT_EQ(lock->state()["time"], "08:00");
  // Sunday midnight.
  ports.time.clock().setNow(WallTime(std::chrono::seconds(1462723200 + 6 * 86400 - 1)));
  ports.time.advance(1s);
  EXPECT_EQ(lock->state()["date"], "星期天·2016-05-15");
  EXPECT_EQ(lock->state()["time"], "00:00");
}

TEST_F(LockScreenTest, ControlEndStopsTheClockTellsTheShowerAndClosesOnce) {
  auto lock = show(Json::array({entry("游戏", true, {app("Puzzle")})}));
  ASSERT_TRUE(lock->store()->isTicking());
  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_FALSE(lock->store()->isTicking());
  EXPECT_EQ(unlocks, 1);
  EXPECT_EQ(ports.screenHost.coverScreen(), nullptr);
  EXPECT_EQ(ports.screenHost.topScreen(), home);
  EXPECT_EQ(lock->state()["closed"], true);

  // The closed screen still listens while it lives; a later end must not close another screen.
  auto other = test::blankScreen("Other");
  ports.screenHost.present(other, true);
  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_EQ(ports.screenHost.topScreen(), other);
  EXPECT_EQ(unlocks, 2);
}

TEST_F(LockScreenTest, AResetClosesItAndAnEndFromAnotherThreadIsHandledOnTheMainLoop) {
  auto lock = show(Json::array({entry("游戏", true, {app("Puzzle")})}));
  std::thread([&] { ports.agent().remoteEvents().reset.notify(); }).join();
  EXPECT_EQ(ports.screenHost.coverScreen(), lock) << "nothing happens on the posting thread";
  ports.time.settle();
  EXPECT_EQ(ports.screenHost.coverScreen(), nullptr);
  EXPECT_EQ(unlocks, 1);
}

TEST_F(LockScreenTest, ScreensOpenedWhileItShowsStayUnderItAndTheEndClosesItWhereverTheyAre) {
  auto lock = show(Json::array({entry("游戏", true, {app("Puzzle")})}));
  // A screen presented later (the no-network help, a picker) opens under the lock, not over it.
  auto help = test::blankScreen("Help");
  ports.screenHost.present(help, true);
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);
  EXPECT_EQ(ports.screenHost.topScreen(), help);
  ports.screenHost.clear();
  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_FALSE(lock->store()->isTicking());
  EXPECT_EQ(ports.screenHost.coverScreen(), nullptr) << "not left behind under the help screen";
  EXPECT_EQ(ports.screenHost.lines("screen"), std::vector<std::string>{"screen dismiss LockScreen"});
  EXPECT_EQ(ports.screenHost.topScreen(), help);
}

TEST_F(LockScreenTest, TheGridFollowsTheScreenSize) {
  struct Case {
    double height;
    InterfaceIdiom idiom;
    double side;
  };
  for (const Case& c : {Case{480, InterfaceIdiom::Phone, 210}, Case{568, InterfaceIdiom::Phone, 320},
                        Case{667, InterfaceIdiom::Phone, 360}, Case{844, InterfaceIdiom::Phone, 360},
                        Case{1024, InterfaceIdiom::Pad, 500}}) {
    auto values = ports.device.values();
    values.screenHeightPoints = c.height;
    values.idiom = c.idiom;
    ports.device.set(values);
    auto lock = show(Json::array());
    EXPECT_EQ(lock->state()["gridSide"], c.side) << c.height;
    EXPECT_DOUBLE_EQ(lock->state()["cellSide"].get<double>(), (c.side - 50) / 3) << c.height;
    EXPECT_EQ(lock->state()["headerHeight"], 60);
    EXPECT_EQ(lock->state()["sectionInset"], 10);
  }
}

TEST_F(LockScreenTest, MalformedEntriesShowWhatCanBeShownAndNeverThrow) {
  auto lock =
      show(Json::array({Json("not an entry"), Json{{"groupName", "游戏"}, {"apps", "none"}},
                        Json{{"groupName", 7}, {"today", 1}, {"apps", Json::array({Json(3), app("Ok")})}}}));
  const Json& sections = lock->state()["sections"];
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_TRUE(sections[0]["apps"].empty());
  EXPECT_EQ(sections[1]["header"], "以下社交应用现在不可玩，可玩时段-，请双击HOME键后划走~");
  ASSERT_EQ(sections[1]["apps"].size(), 1u);
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>{"管控时间：请将Ok关闭~"});
  lock->setArray(Json("not a list"));
  EXPECT_TRUE(lock->state()["sections"].empty());
  EXPECT_EQ(ports.speech.texts().size(), 1u) << "nothing to name, nothing said";
}

}  // namespace
}  // namespace twig
