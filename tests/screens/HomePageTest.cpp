// The home page: balance and new-bills mark, feature buttons, and an unbinding.
#include <gtest/gtest.h>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "frame/ScreenRegistry.h"
#include "identity/ChildIdentity.h"
#include "screens/HomeScreen.h"
#include "screens/HomeStore.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "wallet/ExchangeStore.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class HomePageTest : public ::testing::Test {
 protected:
  HomePageTest() { ports.useServiceHost(server.hostAndPort()); }
  // Answers with copies of the fields as they are now: the server's thread never reads the fixture.
  void serve() {
    server.setHandler([status = statisticsStatus, total = freshTotal](const test::RecordedRequest& request) {
      if (request.path.find("/bills/bonuspoints/statistics/all/device/") != std::string::npos)
        return CannedResponse{status, "application/json", Json{{"total", total}, {"currentWeek", 5}}.dump()};
      return CannedResponse{404, "application/json", "{}"};
    });
  }
  void bind() { ports.agent().cache().setObjectValue(CacheObject(Json(true)), "binding"); }
  // The page as the catalogue would make it, with recording hooks, shown as the root.
  std::shared_ptr<HomeScreen> open() {
    serve();
    HomeScreen::Hooks homeHooks;
    homeHooks.eraseStoredState = [this] {
      hooks.push_back("erase");
      ports.agent().eraseStoredState();
    };
    homeHooks.openApplicationWithTessel = [this] { hooks.push_back("open"); };
    homeHooks.updateManagementTable = [this] { hooks.push_back("table"); };
    homeHooks.screenInUse = [this] { return inUse; };
    auto page = std::make_shared<HomeScreen>(ports.agent().walletContext(), std::move(homeHooks));
    page->setRouteIdentity("HomePage", "HomePageID");
    ports.screenHost.setRoot(page);
    return page;
  }
  // Every text the balance label showed, in order.
  std::vector<std::string> balances() const {
    std::vector<std::string> shown;
    const std::string prefix = "state HomePage/HomePageID balance=";
    for (const auto& line : ports.screenHost.lines()) {
      if (line.rfind(prefix, 0) == 0)
        shown.push_back(Json::parse(line.substr(prefix.size())).get<std::string>());
    }
    return shown;
  }
  std::size_t loginPushes() const {
    const auto& lines = ports.screenHost.lines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), "screen push Login/LoginID"));
  }
  bool runUntil(const std::function<bool()>& done) { return ports.time.loop().runUntil(done, 20s); }

  test::TestHttpServer server;
  test::TestPorts ports;
  int statisticsStatus = 200;
  int freshTotal = 150;
  bool inUse = true;
  std::vector<std::string> hooks;
};

TEST_F(HomePageTest, AnUnboundDeviceIsSentToTheBindingScreenAtOnce) {
  auto page = open();
  EXPECT_EQ(page->title(), "刺猬家");
  ports.time.settle();
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Login/LoginID");
}

TEST_F(HomePageTest, TheBalanceShowsTheStoredTotalThenTheFreshOne) {
  bind();
  PointsTotal stored;
  stored.total = Json(120);
  ports.agent().cache().setObjectValue(CacheObject::model(stored), stored::kPointsTotal);
  auto page = open();
  EXPECT_EQ(balances(), std::vector<std::string>{"120"}) << "the stored total comes at once";
  ASSERT_TRUE(runUntil([&] { return balances().size() == 2; }));
  EXPECT_EQ(balances(), (std::vector<std::string>{"120", "150"}));
  // The fresh answer is kept for the next time.
  const auto kept = ports.agent().cache().objectForKey(stored::kPointsTotal)->modelValue<PointsTotal>();
  ASSERT_TRUE(kept && kept->total);
  EXPECT_EQ(*kept->total, 150);
  EXPECT_EQ(ports.screenHost.topScreen(), page) << "a bound device stays on its home page";
}

TEST_F(HomePageTest, AnAnswerOtherThan200LeavesTheStoredTotal) {
  bind();
  statisticsStatus = 202;
  PointsTotal stored;
  stored.total = Json(120);
  ports.agent().cache().setObjectValue(CacheObject::model(stored), stored::kPointsTotal);
  open();
  ASSERT_TRUE(runUntil([&] { return server.requestCount() == 1; }));
  ports.time.loop().runUntil([] { return false; }, 300ms);
  EXPECT_EQ(balances(), std::vector<std::string>{"120"});
  EXPECT_EQ(*ports.agent().cache().objectForKey(stored::kPointsTotal)->modelValue<PointsTotal>()->total, 120);
}

TEST_F(HomePageTest, TheNewBillsMarkFollowsBillsNumberOnEveryBillsNotice) {
  bind();
  auto page = open();
  EXPECT_EQ(page->state()["redPoint"], false) << "absent";
  ports.agent().cache().setObjectValue(CacheObject(Json(1)), "billsNumber");
  std::thread([&] { ports.agent().remoteEvents().bills.notify(); }).join();
  ports.time.settle();
  EXPECT_EQ(page->state()["redPoint"], true);
  ports.agent().cache().setObjectValue(CacheObject(Json(0)), "billsNumber");
  ports.agent().remoteEvents().bills.notify();
  ports.time.settle();
  EXPECT_EQ(page->state()["redPoint"], false);
}

TEST_F(HomePageTest, FeatureButtonsOpenTheScreensOfTheRoutingData) {
  bind();
  auto page = open();
  const Json& buttons = page->state()["buttons"];
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(buttons[0]["tag"], 200);
  EXPECT_EQ(buttons[4]["tag"], 204);
  EXPECT_EQ(buttons[4]["storyboardID"], "AboutID");
  EXPECT_TRUE(page->invoke("homePageButton", Json{{"tag", 204}}));
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Setting/AboutID");
  ports.screenHost.pop(true);
  page->homePageButton(299);  // no such entry: reported, nothing opens
  EXPECT_EQ(ports.screenHost.topScreen(), page);
}

TEST_F(HomePageTest, AResetClearsTheStoredStateAndReturnsToTheBindingScreenOnce) {
  bind();
  auto page = open();
  ports.time.settle();
  ports.screenHost.push(test::blankScreen("Feature"), true);
  ports.agent().remoteEvents().reset.notify();
  ports.time.settle();
  EXPECT_FALSE(ports.agent().child().isBound()) << "the stored state is cleared";
  EXPECT_EQ(hooks, (std::vector<std::string>{"erase", "open", "table"}));
  EXPECT_EQ(ports.screenHost.topScreen(), page) << "back to the root at once";
  ports.time.advance(499ms);
  EXPECT_EQ(ports.screenHost.topScreen(), page);
  ports.time.advance(1ms);
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Login/LoginID");
  EXPECT_EQ(loginPushes(), 1u);
}

TEST_F(HomePageTest, AResetWhileTheDeviceIsLockedWaitsUntilItIsUsed) {
  bind();
  auto page = open();
  ports.time.settle();
  inUse = false;
  ports.agent().remoteEvents().reset.notify();
  ports.time.advance(2s);
  EXPECT_FALSE(ports.agent().child().isBound());
  EXPECT_EQ(ports.screenHost.topScreen(), page) << "the screens stay as they are";
  // The manager posts it again once the child uses the device.
  inUse = true;
  ports.agent().remoteEvents().reset.notify();
  ports.time.advance(1s);
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Login/LoginID");
  EXPECT_EQ(loginPushes(), 1u);
}

TEST_F(HomePageTest, TheStoreWritesTotalsAsTheyCame) {
  EXPECT_EQ(HomeStore::totalText(Json(150)), "150");
  EXPECT_EQ(HomeStore::totalText(Json(150.0)), "150");
  EXPECT_EQ(HomeStore::totalText(Json(12.5)), "12.5");
  EXPECT_EQ(HomeStore::totalText(Json(-20)), "-20");
  EXPECT_EQ(HomeStore::totalText(Json("88")), "88");
}

}  // namespace
}  // namespace twig
