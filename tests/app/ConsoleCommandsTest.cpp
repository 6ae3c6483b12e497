// The commands typed to the headless agent.
#include <gtest/gtest.h>

#include "app/Agent.h"
#include "app/ConsoleCommands.h"
#include "control/LockScreen.h"
#include "screens/NoNetworkScreen.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

const StateShape recorderShape{{"count", FieldType::Number}};

// A screen with one action that records its arguments.
class Recorder final : public ViewModel {
 public:
  Recorder() : ViewModel("Recorder", recorderShape) {
    addAction("press", [this](const Json& arguments) { received.push_back(arguments); });
  }
  std::vector<Json> received;

 protected:
  void onLoad() override {
    setTitle("记录");
    setState("count", 2);
  }
};

class ConsoleCommandsTest : public ::testing::Test {
 protected:
  ConsoleCommandsTest() {
    home = test::blankScreen("Home");
    ports.screenHost.setRoot(home);
    recorder = std::make_shared<Recorder>();
    ports.screenHost.push(recorder, true);
  }
  test::TestPorts ports;
  std::shared_ptr<ViewModel> home;
  std::shared_ptr<Recorder> recorder;
  ConsoleCommands commands{ports.screenHost};
};

TEST_F(ConsoleCommandsTest, ScreensAndShowDescribeWhatIsShown) {
  EXPECT_EQ(commands.run("screens"), std::vector<std::string>{"screens Home Recorder"});
  EXPECT_EQ(commands.run("  show  "),
            (std::vector<std::string>{"show Recorder title=\"记录\"", "show Recorder count=2",
                                      "actions Recorder press"}));
  ports.screenHost.present(std::make_shared<NoNetworkScreen>(), true);
  EXPECT_EQ(commands.run("screens"), std::vector<std::string>{"screens Home Recorder | NoNetworkScreen"});
  EXPECT_TRUE(commands.run("").empty());
}

TEST_F(ConsoleCommandsTest, TapPassesKeyValuePairsOrAJsonObject) {
  EXPECT_TRUE(commands.run("tap press tag=204 text=abc flag=true").empty());
  EXPECT_TRUE(commands.run(R"(tap press {"row": 0, "name": "a b"})").empty());
  EXPECT_TRUE(commands.run("tap press").empty());
  ASSERT_EQ(recorder->received.size(), 3u);
  EXPECT_EQ(recorder->received[0], (Json{{"tag", 204}, {"text", "abc"}, {"flag", true}}));
  EXPECT_EQ(recorder->received[1], (Json{{"row", 0}, {"name", "a b"}}));
  EXPECT_EQ(recorder->received[2], Json::object());

  EXPECT_EQ(commands.run("tap nothing"), std::vector<std::string>{"error Recorder has no action 'nothing'"});
  EXPECT_EQ(commands.run("tap press oops"), std::vector<std::string>{"error 'oops' is not KEY=VALUE"});
  EXPECT_EQ(commands.run("tap press {broken"),
            std::vector<std::string>{"error the argument is not a JSON object"});
  EXPECT_EQ(commands.run("tap"), std::vector<std::string>{"error tap takes an action name"});
  EXPECT_EQ(recorder->received.size(), 3u);
}

TEST_F(ConsoleCommandsTest, BackLeavesPushedScreensButAModalOnlyByItsOwnWay) {
  auto lock = std::make_shared<LockScreen>(ports.agent().services(), ports.agent().controlEvents(),
                                           ports.agent().remoteEvents());
  ports.screenHost.present(lock, true);
  EXPECT_EQ(commands.run("back"), std::vector<std::string>{"error LockScreen cannot be left"});
  EXPECT_EQ(ports.screenHost.topScreen(), lock) << "the lock screen stays";
  lock->lockEnd();

  ports.screenHost.present(std::make_shared<NoNetworkScreen>(), true);
  EXPECT_TRUE(commands.run("back").empty());
  EXPECT_EQ(ports.screenHost.topScreen(), recorder);
  EXPECT_TRUE(commands.run("back").empty());
  EXPECT_EQ(ports.screenHost.topScreen(), home);
  EXPECT_EQ(commands.run("back"), std::vector<std::string>{"error there is no screen to go back to"});
}

TEST_F(ConsoleCommandsTest, TheBarAlertsAndMistakes) {
  EXPECT_EQ(commands.run("bar"), std::vector<std::string>{"error the no-network bar is not shown"});
  int taps = 0;
  ports.screenHost.showNoNetworkBar([&] { ++taps; });
  EXPECT_TRUE(commands.run("bar").empty());
  EXPECT_EQ(taps, 1);

  int pressed = -1;
  ports.screenHost.showAlert({"新版本", "请升级", {"取消", "升级"}}, [&](int index) { pressed = index; });
  EXPECT_EQ(commands.run("alert x"), std::vector<std::string>{"error 'x' is no button index"});
  EXPECT_EQ(commands.run("alert 2"), std::vector<std::string>{"error the alert has no button 2"});
  EXPECT_TRUE(commands.run("alert 1").empty());
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(commands.run("alert 0"), std::vector<std::string>{"error no alert is open"});

  EXPECT_EQ(commands.run("dance"), std::vector<std::string>{"error unknown command 'dance' (try help)"});
  EXPECT_GE(commands.run("help").size(), 6u);
}

}  // namespace
}  // namespace twig
