// The wallet: pages of bills, the stored first page, the banner, the total and the bill rows.
#include <gtest/gtest.h>

#include "api/ApiClient.h"
#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "tests/fakes/ScopedTimeZone.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "wallet/BillRow.h"
#include "wallet/ExchangeStore.h"
#include "wallet/PhotoViewerScreen.h"
#include "wallet/WalletScreen.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

Json bill(int number, int status = 1, int points = 5) {
  return Json{{"billId", "b" + std::to_string(number)},
              {"childDeviceId", "d"},
              {"type", 1},
              {"subject", {{"name", "洗碗"}, {"type", 2}, {"iconUrl", "http://x/i.png"}, {"subjectId", 1}}},
              {"pictures", nullptr},
              {"comments", Json::array()},
              {"bonuspoint", points},
              {"status", status},
              {"createTime", 1462233600000LL},
              {"updateTime", 1462233600000LL},
              {"description", "第" + std::to_string(number) + "张"}};
}

class WalletTest : public ::testing::Test {
 protected:
  WalletTest() {
    ports.useServiceHost(server.hostAndPort());
    serve();
    ports.screenHost.setRoot(test::blankScreen("Home"));
  }
  // Answers with copies of the fields as they are now: the server's thread never reads the fixture.
  void serve() {
    server.setHandler(
        [billCount = billCount, delay = delay](const test::RecordedRequest& request) -> CannedResponse {
          if (request.path.find("/bills/device/") == std::string::npos)
            return {404, "application/json", "{}"};
          const int page = std::stoi(request.params.find("page")->second);
          Json list = Json::array();
          for (int i = (page - 1) * 10; i < std::min(page * 10, billCount); ++i) list.push_back(bill(i + 1));
          return {200, "application/json",
                  Json{{"bonuspointsStatistics", {{"total", 77}}}, {"bills", list}}.dump(), delay};
        });
  }
  std::shared_ptr<WalletScreen> open() {
    serve();
    auto screen =
        std::static_pointer_cast<WalletScreen>(ports.agent().screens().make("QianBao", "QianBaoID"));
    ports.screenHost.push(screen, true);
    settle(screen);
    return screen;
  }
  void settle(const std::shared_ptr<WalletScreen>& screen) {
    ports.time.loop().runUntil([&] { return !screen->store()->refState(); }, 20s);
    ports.time.settle();
  }
  std::size_t stashed() {
    const auto stored = ports.agent().cache().objectForKey("localStash");
    const auto bills = stored ? stored->modelArray<Bill>() : std::nullopt;
    return bills ? bills->size() : 0;
  }

  test::ScopedTimeZone zone{"TST-8"};
  test::TestHttpServer server;
  test::TestPorts ports;
  int billCount = 10;
  int delay = 0;
};

TEST_F(WalletTest, AFullFirstPageOffersMoreAndANineBillPageDoesNot) {
  auto screen = open();
  EXPECT_EQ(screen->title(), "刺猬积分");
  EXPECT_EQ(screen->state()["rows"].size(), 10u);
  EXPECT_TRUE(screen->store()->haveMoreBills());
  EXPECT_EQ(screen->state()["loadMore"]["text"], "点击加载更多");
  EXPECT_EQ(screen->state()["total"], "77");
  EXPECT_TRUE(screen->state()["empty"].is_null());
  EXPECT_TRUE(ports.screenHost.saw("overlay progress 正在加载数据"));
  EXPECT_TRUE(ports.screenHost.saw("overlay success 刷新成功"));

  billCount = 9;
  serve();
  screen->invoke("refresh");
  settle(screen);
  EXPECT_FALSE(screen->store()->haveMoreBills());
  EXPECT_EQ(screen->state()["loadMore"]["text"], "木有更多了~");
  EXPECT_EQ(screen->state()["loadMore"]["image"], "cwqb_jiazai2");
}

TEST_F(WalletTest, ThreePagesKeepTenStoredAndARefreshShowsThemBeforeTheAnswer) {
  billCount = 30;
  auto screen = open();
  screen->invoke("loadMore");
  EXPECT_EQ(screen->state()["loadMore"]["text"], "正在加载中...");
  settle(screen);
  screen->invoke("loadMore");
  settle(screen);
  EXPECT_EQ(screen->state()["rows"].size(), 30u);
  EXPECT_EQ(screen->store()->pages(), 3);
  EXPECT_EQ(stashed(), 10u);

  delay = 300;
  serve();
  screen->invoke("refresh");
  EXPECT_EQ(screen->state()["rows"].size(), 10u) << "the stored page at once";
  EXPECT_EQ(screen->state()["rows"][0]["billId"], "b1");
  EXPECT_TRUE(screen->store()->refState());
  settle(screen);
  EXPECT_EQ(screen->store()->pages(), 1);
}

TEST_F(WalletTest, ManyBillsEventsShowOneBannerAndTheNextFirstPageRemovesIt) {
  auto screen = open();
  for (int event = 0; event < 3; ++event) ports.agent().remoteEvents().bills.notify();
  ports.time.settle();
  EXPECT_EQ(screen->state()["banner"]["title"], "有新消息，点击阅读");
  std::size_t shown = 0;
  for (const auto& line : ports.screenHost.lines())
    shown += line.rfind("state QianBao/QianBaoID banner={", 0) == 0;
  EXPECT_EQ(shown, 1u);
  screen->invoke("refresh");
  settle(screen);
  EXPECT_TRUE(screen->state()["banner"].is_null());
  EXPECT_FALSE(screen->store()->isShowNewMag());
}

TEST_F(WalletTest, ASuccessfulPageClearsTheBadgeEvenWhenEmpty) {
  billCount = 0;
  ports.agent().cache().setObjectValue(CacheObject(Json(1)), "billsNumber");
  auto screen = open();
  EXPECT_EQ(ports.agent().cache().objectForKey("billsNumber")->integerValue(), 0);
  EXPECT_FALSE(screen->state()["empty"].is_null()) << "no rows at all: the empty view";
  EXPECT_EQ(screen->state()["empty"]["button"], "点击重新加载");
  const auto statistics = ports.agent().cache().objectForKey(stored::kPointsTotal)->modelValue<PointsTotal>();
  ASSERT_TRUE(statistics && statistics->total);
  EXPECT_EQ(*statistics->total, 77);
}

TEST_F(WalletTest, AFailureWhileTheNetworkIsDownLeavesTheWalletAbleToRefresh) {
  ports.agent().api();
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  auto screen = ports.agent().screens().make("QianBao", "QianBaoID");
  auto wallet = std::static_pointer_cast<WalletScreen>(screen);
  ports.screenHost.push(screen, true);
  ports.time.settle();
  EXPECT_FALSE(wallet->store()->refState()) << "the failure came before the request returned";
  EXPECT_TRUE(ports.screenHost.saw("overlay error 刷新失败"));
  ports.reachability.setStatus(ReachabilityStatus::ReachableViaWiFi);
  ports.time.settle();
  screen->invoke("refresh");
  settle(wallet);
  EXPECT_EQ(screen->state()["rows"].size(), 10u);
}

TEST(BillRow, PointsStampsDatesPicturesAndComments) {
  test::ScopedTimeZone zone{"TST-8"};
  test::TestPorts ports;
  // Monday 2016-05-09 10:00 in UTC+8.
  ports.time.clock().setNow(WallTime(std::chrono::seconds(1462759200)));
  std::optional<Error> error;
  auto refused = Bill::fromAnswer(bill(1, 2, 5), error);
  ASSERT_TRUE(refused);
  Json cell = BillRow::rowState(*refused, ports.time.clock());
  EXPECT_EQ(cell["points"], "0刺猬币");
  EXPECT_EQ(cell["stamp"], "cwqb(haizi)_yijujue");
  EXPECT_EQ(cell["date"], "16-05-03");
  EXPECT_TRUE(cell["picture"].is_null());
  EXPECT_TRUE(cell["comment"].is_null());

  Json today = bill(2, 1, 5);
  today["createTime"] = 1462752300000LL;  // 2016-05-09 08:05 in UTC+8
  today["pictures"] =
      Json::array({Json{{"fileUrl", "http://x/p.jpg"}, {"high", 900}}, Json{{"fileUrl", "q"}}});
  today["comments"] = Json::array({Json{{"comment", "真棒"}}, Json{{"comment", ""}}});
  cell = BillRow::rowState(*Bill::fromAnswer(today, error), ports.time.clock());
  EXPECT_EQ(cell["points"], "5刺猬币");
  EXPECT_EQ(cell["stamp"], "cwqb_wancheng");
  EXPECT_EQ(cell["date"], "今天 08:05");
  EXPECT_EQ(cell["picture"]["count"], "2");
  EXPECT_EQ(cell["picture"]["url"], "http://x/p.jpg");
  EXPECT_EQ(cell["comment"]["text"], "真棒");

  today["createTime"] = 1462752300000LL - 86400000LL;
  today["status"] = 0;
  cell = BillRow::rowState(*Bill::fromAnswer(today, error), ports.time.clock());
  EXPECT_EQ(cell["date"], "昨天 08:05");
  EXPECT_EQ(cell["stamp"], "cwqb(haizi)_weichuli");
  EXPECT_FALSE(error);
  EXPECT_FALSE(Bill::fromAnswer(Json("no bill"), error));
  EXPECT_TRUE(error);
}

TEST_F(WalletTest, ABillsPicturesOpenFullScreenAndATapClosesThem) {
  auto screen = open();
  EXPECT_TRUE(screen->invoke("openPictures", Json{{"row", 0}}));
  EXPECT_EQ(ports.screenHost.topScreen(), screen) << "a bill without pictures opens nothing";

  auto viewer =
      std::make_shared<PhotoViewerScreen>(std::vector<std::string>{"http://x/1.jpg", "http://x/2.jpg"}, 5);
  ports.screenHost.present(viewer, true);
  EXPECT_EQ(viewer->state()["index"], 1) << "a page beyond the last shows the last";
  EXPECT_EQ(viewer->state()["statusBarHidden"], true);
  viewer->doubleTap();
  EXPECT_EQ(viewer->state()["zoom"], 3);
  viewer->doubleTap();
  EXPECT_EQ(viewer->state()["zoom"], 1);
  viewer->doubleTap();
  viewer->showPage(0);
  EXPECT_EQ(viewer->state()["index"], 0);
  EXPECT_EQ(viewer->state()["zoom"], 1);
  viewer->showPage(2);
  EXPECT_EQ(viewer->state()["index"], 0);
  viewer->tap();
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
}

}  // namespace
}  // namespace twig
