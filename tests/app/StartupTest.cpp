#include "app/Startup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>

#include "api/ApiClient.h"
#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "frame/ScreenRegistry.h"
#include "frame/ViewModel.h"
#include "identity/ChildInfo.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { ports.useServiceHost(server.hostAndPort()); }

  void answerConfig(int status, const std::string& body) {
    server.setHandler([status, body](const test::RecordedRequest&) {
      return CannedResponse{status, "application/json", body};
    });
  }
  // Configuration requests only: the home page, once shown, asks for the balance too.
  std::size_t configRequests() {
    const auto requests = server.requests();
    return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [](const auto& request) {
      return request.path == "/api/v2.0/config";
    }));
  }
  bool runUntil(const std::function<bool()>& done) { return ports.time.loop().runUntil(done, 20s); }
  // The root set after the placeholder, once the configuration has answered.
  std::string firstScreen() {
    runUntil([&] { return ports.screenHost.lines("screen").size() >= 2; });
    const auto screens = ports.screenHost.lines("screen");
    return screens.size() >= 2 ? screens[1] : "<none>";
  }
  Duration nextTimerIn() {
    const auto next = ports.time.loop().nextDeadline();
    return next ? *next - ports.time.clock().steadyNow() : Duration::max();
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  Startup& delegate = ports.agent().startup();
};

// A bound computer started while the service cannot be reached: the first screen waits for the
// configuration, and the lock (with its warning) comes all the same, over the placeholder, and
// stays when the first screen finally arrives.
TEST_F(StartupTest, ControlStartedBeforeTheServiceAnswersShowsTheLockOverThePlaceholder) {
  answerConfig(500, "{}");
  ASSERT_TRUE(delegate.didFinishLaunching());
  // Refused, and asked again in a second.
  ASSERT_TRUE(runUntil([&] { return ports.time.loop().nextDeadline().has_value(); }));
  const Json entries = Json::array({Json{
      {"startTime", "06:00"},
      {"endTime", "20:00"},
      {"groupName", "游戏"},
      {"today", true},
      {"apps",
       Json::array({Json{{"appPackage", "p.puzzle"}, {"appName", "Puzzle"}, {"processName", "puzzle"}}})}}});
  ports.agent().controlEvents().started.notify(entries);
  ports.time.settle();
  EXPECT_EQ(ports.screenHost.lines("screen"),
            (std::vector<std::string>{"screen root Placeholder", "screen present Lock/LockID"}));
  EXPECT_EQ(ports.speech.texts(), std::vector<std::string>{"管控时间：请将Puzzle关闭~"});

  answerConfig(200, R"({"approvalStatus":1})");
  ports.time.advance(1s);
  ASSERT_TRUE(runUntil([&] { return ports.screenHost.lines("screen").size() >= 3; }));
  EXPECT_EQ(ports.screenHost.lines("screen").back(), "screen root HomePage/HomePageID");
  ASSERT_TRUE(ports.screenHost.coverScreen());
  EXPECT_EQ(ports.screenHost.coverScreen()->screenName(), "Lock/LockID") << "the lock stays over it";
  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  EXPECT_TRUE(ports.screenHost.saw("screen dismiss Lock/LockID"));
  EXPECT_FALSE(ports.screenHost.coverScreen());
}

TEST_F(StartupTest, TheConfigurationAnswerChoosesTheFirstScreen) {
  answerConfig(200, R"({"approvalStatus":1})");
  ASSERT_TRUE(delegate.didFinishLaunching());
  EXPECT_EQ(firstScreen(), "screen root HomePage/HomePageID");

  const auto request = server.requests().at(0);
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/api/v2.0/config");
  EXPECT_TRUE(request.signatureValid);
  const Json body = Json::parse(request.body);
  EXPECT_EQ(body.dump(), Json({{"platform", "2"},
                               {"uuid", ports.device.vendorIdentifier()},
                               {"advertisingIdentifier", ports.device.advertisingIdentifier()},
                               {"clientVersion", "v1.0.0"},
                               {"bundleId", "com.orvane.tessel.children"}})
                             .dump());
  EXPECT_EQ(body.begin().key(), "platform");
}

TEST_F(StartupTest, AnyOtherApprovalLeadsToTheInstallationScreen) {
  for (const char* answer :
       {R"({"approvalStatus":0})", R"({"approvalStatus":2})", R"({})", R"({"approvalStatus":"x"})"}) {
    test::TestPorts fresh;
    fresh.useServiceHost(server.hostAndPort());
    answerConfig(200, answer);
    fresh.agent().startup().didFinishLaunching();
    fresh.time.loop().runUntil([&] { return fresh.screenHost.lines("screen").size() >= 2; }, 20s);
    const auto screens = fresh.screenHost.lines("screen");
    ASSERT_EQ(screens.size(), 2u) << answer;
    EXPECT_EQ(screens[1], "screen root Install/InstallID") << answer;
  }
}

TEST_F(StartupTest, RefusalsAreAskedAgainWithAGrowingPause) {
  // Counted on the server's thread, in memory that outlives the test's frame.
  auto served = std::make_shared<std::atomic<int>>(0);
  server.setHandler([served](const test::RecordedRequest&) {
    return ++*served < 3 ? CannedResponse{201, "application/json", "{}"}
                         : CannedResponse{200, "application/json", R"({"approvalStatus":0})"};
  });
  delegate.didFinishLaunching();
  ASSERT_TRUE(runUntil([&] { return ports.time.loop().nextDeadline().has_value(); }));
  EXPECT_EQ(nextTimerIn(), 1s);
  ports.time.advance(999ms);
  EXPECT_EQ(configRequests(), 1u);
  ports.time.advance(1ms);
  ASSERT_TRUE(
      runUntil([&] { return configRequests() == 2 && ports.time.loop().nextDeadline().has_value(); }));
  EXPECT_EQ(nextTimerIn(), 2s);
  EXPECT_EQ(ports.screenHost.lines("screen"), (std::vector<std::string>{"screen root Placeholder"}));
  ports.time.advance(2s);
  EXPECT_EQ(firstScreen(), "screen root Install/InstallID");
  EXPECT_EQ(configRequests(), 3u);
}

TEST_F(StartupTest, AFailureWhileOfflineIsSentAgainWhenTheNetworkReturns) {
  answerConfig(200, R"({"approvalStatus":1})");
  ports.agent().api();  // monitoring starts
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  delegate.didFinishLaunching();
  ports.time.settle();
  EXPECT_EQ(configRequests(), 0u);
  EXPECT_FALSE(ports.time.loop().nextDeadline().has_value()) << "no retry timer while offline";

  ports.reachability.setStatus(ReachabilityStatus::ReachableViaWiFi);
  EXPECT_EQ(firstScreen(), "screen root HomePage/HomePageID");
  EXPECT_EQ(configRequests(), 1u);
}

TEST_F(StartupTest, ANetworkThatFlickersBackStillSendsOneRequest) {
  answerConfig(200, R"({"approvalStatus":1})");
  ports.agent().api();
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  delegate.didFinishLaunching();
  ports.time.settle();
  // Up, down and up again before the main loop turns.
  ports.reachability.setStatus(ReachabilityStatus::ReachableViaWiFi);
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.reachability.setStatus(ReachabilityStatus::ReachableViaWiFi);
  EXPECT_EQ(firstScreen(), "screen root HomePage/HomePageID");
  ports.time.loop().runUntil([&] { return configRequests() > 1; }, 2s);
  ports.time.settle();
  EXPECT_EQ(configRequests(), 1u);
  const auto screens = ports.screenHost.lines("screen");
  EXPECT_EQ(std::count(screens.begin(), screens.end(), "screen root HomePage/HomePageID"), 1);
}

TEST_F(StartupTest, ServicesComeUpInLaunchOrder) {
  answerConfig(200, "{}");
  std::vector<std::string> order;
  auto note = [&](const std::string& line) { order.push_back(line); };
  ports.analytics.echo = note;
  ports.shell.echo = note;
  ports.screenHost.echo = note;
  delegate.didFinishLaunching();
  EXPECT_EQ(ports.agent().channel().clientID(), "/ts/20/2/" + ports.agent().child().deviceId());
  EXPECT_EQ(order,
            (std::vector<std::string>{"start a7c41e09b3d25f6e8a0c1b94 1 ''", "version 1.0.0",
                                      "crashReport NO", "window", "register 7", "statusBar 1", "badge 0",
                                      "cancelLocal", "screen root Placeholder", "begin 助手_Placeholder"}));
  ASSERT_TRUE(runUntil([&] { return configRequests() == 1; }));
}

TEST_F(StartupTest, ThePushTokenIsStoredWithoutBracketsAndSpaces) {
  delegate.didFinishLaunching();
  delegate.didRegisterForRemoteNotificationsWithDeviceToken("<ab12 cd34>");
  const auto stored = ports.agent().cache().modelForKey<ChildInfo>(stored::kChildInfo);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->pushToken, "ab12cd34");
  EXPECT_EQ(StartupSteps::normaliseToken("<0a1b2c3d 4e5f6071 8293a4b5>"), "0a1b2c3d4e5f60718293a4b5");
}

TEST_F(StartupTest, LosingTheNetworkShowsTheBarWhichOpensTheHelpScreen) {
  answerConfig(200, R"({"approvalStatus":0})");
  delegate.didFinishLaunching();
  firstScreen();
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  EXPECT_TRUE(ports.screenHost.saw("bar show"));
  ASSERT_TRUE(ports.screenHost.tapNoNetworkBar());
  auto help = ports.screenHost.topScreen();
  EXPECT_EQ(help->screenName(), "NotNetWork/NotNetWorkViewControllerID");
  EXPECT_EQ(help->title(), "网络无法连接");
  // A second tap while the help screen is shown opens nothing more.
  const std::size_t modals = ports.screenHost.modalScreens().size();
  ASSERT_TRUE(ports.screenHost.tapNoNetworkBar());
  EXPECT_EQ(ports.screenHost.modalScreens().size(), modals);
  EXPECT_EQ(ports.screenHost.topScreen(), help);

  ports.reachability.setStatus(ReachabilityStatus::ReachableViaWiFi);
  ports.time.settle();
  EXPECT_TRUE(ports.screenHost.saw("bar hide"));
  EXPECT_EQ(ports.screenHost.topScreen(), help) << "the help screen stays until its back action";
  help->invoke("back");
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Install/InstallID");
}

TEST_F(StartupTest, ForegroundAndNoticesClearTheBadge) {
  answerConfig(200, "{}");
  delegate.didFinishLaunching();
  delegate.applicationWillEnterForeground();
  delegate.applicationWillEnterForeground();
  const auto shellCalls = ports.shell.calls();
  EXPECT_EQ(std::count(shellCalls.begin(), shellCalls.end(), "badge 0"), 3);
  delegate.didReceiveRemoteNotification();
  EXPECT_EQ(ports.shell.calls().back(), "cancelLocal");
}

}  // namespace
}  // namespace twig
