// The lock screen over whatever the agent shows: one lock per stretch of control, updated by later
// starts, closed by the end wherever the screens under it have got to.
#include "control/LockPresenter.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "control/LockScreen.h"
#include "frame/ScreenRegistry.h"
#include "messaging/PullCycle.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

Json blacklist(std::vector<std::string> names) {
  Json apps = Json::array();
  for (const auto& name : names)
    apps.push_back(Json{{"appPackage", "p." + name}, {"appName", name}, {"processName", name}});
  return Json::array({Json{
      {"startTime", "06:00"}, {"endTime", "23:00"}, {"groupName", "游戏"}, {"apps", apps}, {"today", true}}});
}

class LockPresenterTest : public ::testing::Test {
 protected:
  LockPresenterTest() {
    ports.useServiceHost("service.example:8080");
    // The start-up placeholder: no home page exists yet.
    ports.screenHost.setRoot(test::blankScreen("Placeholder"));
  }
  std::size_t lockPresentations() const {
    const auto lines = ports.screenHost.lines("screen");
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), "screen present Lock/LockID"));
  }

  test::TestPorts ports;
  LockPresenter presenter{ports.agent().controlEvents(), ports.time.loop(), ports.screenHost,
                          ports.agent().routes()};
};

TEST_F(LockPresenterTest, AControlStartShowsOneLockScreenAndLaterStartsOnlyUpdateIt) {
  // Posted on the push channel's thread, as a command's evaluation does.
  std::thread([&] { ports.agent().controlEvents().started.notify(blacklist({"Puzzle"})); }).join();
  EXPECT_FALSE(presenter.lock()) << "nothing happens on the posting thread";
  ports.time.settle();
  auto lock = presenter.lock();
  ASSERT_TRUE(lock);
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>{"管控时间：请将Puzzle关闭~"});
  ports.agent().controlEvents().started.notify(blacklist({"Puzzle", "Racer"}));
  ports.time.settle();
  EXPECT_EQ(presenter.lock(), lock);
  EXPECT_EQ(lockPresentations(), 1u) << "nothing new is presented";
  EXPECT_EQ(lock->state()["sections"][0]["apps"].size(), 2u);

  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_FALSE(presenter.lock());
  EXPECT_FALSE(ports.screenHost.coverScreen());
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Placeholder");
  // The next start shows a new screen.
  ports.agent().controlEvents().started.notify(blacklist({"Puzzle"}));
  ports.time.settle();
  ASSERT_TRUE(presenter.lock());
  EXPECT_NE(presenter.lock(), lock);
  EXPECT_EQ(ports.screenHost.coverScreen(), presenter.lock());
}

TEST_F(LockPresenterTest, CommandsNamedLikeTheEndOfControlLeaveTheLockShown) {
  ports.agent().controlEvents().started.notify(blacklist({"Puzzle"}));
  ports.time.settle();
  const auto lock = presenter.lock();
  ASSERT_TRUE(lock);
  // What a parent, or anyone who can publish on the device's topic, might send: the agent's own
  // event names are no commands.
  std::vector<std::string> log;
  test::FakePushChannel push(log);
  push.initializeMQTT(ports.agent().channelContext());
  const auto context = PullCycle::commandContext(push, ports.time.loop(), ports.time.clock());
  for (const char* payload :
       {R"({"EventAppControlEnd":{"commandUuid":"E-1"}})", R"({"EventAppControlEnd":{}})",
        R"({"EventAppControlStart":[]})", R"({"AppControlSoon":{}})"})
    std::thread([&] { ports.agent().commands().dispatch(payload, context); }).join();
  ports.time.settle();
  EXPECT_EQ(presenter.lock(), lock);
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);
  EXPECT_FALSE(lock->state().value("closed", false));
  // Only app control ends it.
  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_FALSE(ports.screenHost.coverScreen());
}

TEST_F(LockPresenterTest, TwoStartsPostedBeforeTheMainLoopTurnsShowOneScreen) {
  std::thread([&] {
    ports.agent().controlEvents().started.notify(blacklist({"Puzzle"}));
    ports.agent().controlEvents().started.notify(blacklist({"Puzzle"}));
  }).join();
  ports.time.settle();
  EXPECT_EQ(lockPresentations(), 1u);
  EXPECT_EQ(ports.speech.texts().size(), 2u) << "the second start is the screen's second warning";
}

TEST_F(LockPresenterTest, TheLockStaysOverANewRootAndOverModalScreensOpenedLater) {
  ports.agent().controlEvents().started.notify(blacklist({"Puzzle"}));
  ports.time.settle();
  auto lock = presenter.lock();
  ASSERT_TRUE(lock);
  // The configuration answers: the first screen replaces the placeholder beneath the lock.
  ports.screenHost.setRoot(test::blankScreen("Install"));
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);
  // The no-network help opens under it.
  auto help = test::blankScreen("NotNetWork");
  ports.screenHost.present(help, true);
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);
  EXPECT_TRUE(lock->store()->isTicking());

  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_FALSE(ports.screenHost.coverScreen()) << "closed wherever the other screens are";
  EXPECT_FALSE(lock->store()->isTicking());
  EXPECT_EQ(ports.screenHost.topScreen(), help);
  EXPECT_EQ(ports.screenHost.lines("screen").back(), "screen dismiss Lock/LockID");
}

TEST_F(LockPresenterTest, AMinuteOfEvaluationsSpeaksThreeWarningsAndTheEndClosesTheScreen) {
  // A group controlled all day, every day (its one-minute window never holds a present minute).
  auto& manager = ports.agent().control();
  ports.processes.set(std::vector<std::string>{"puzzle"});
  manager.setArrayMonitorings(Json::array({Json{
      {"groupName", "游戏"},
      {"startTime", "00:00"},
      {"endTime", "00:01"},
      {"week", "0,1,2,3,4,5,6"},
      {"apps",
       Json::array({Json{{"appPackage", "p.puzzle"}, {"appName", "Puzzle"}, {"processName", "puzzle"}}})}}}));
  manager.start();
  ports.time.settle();
  for (int second = 0; second < 60; ++second) ports.time.advance(1s);
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>(3, "管控时间：请将Puzzle关闭~"));
  EXPECT_EQ(lockPresentations(), 1u);

  ports.processes.set(std::vector<std::string>{});
  ports.time.advance(10s);
  EXPECT_FALSE(presenter.lock());
  EXPECT_FALSE(ports.screenHost.coverScreen());
  EXPECT_EQ(ports.speech.texts().size(), 3u);
}

}  // namespace
}  // namespace twig
