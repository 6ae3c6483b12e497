// Exchanging points for play time: the rule, the picker rows, the labels and the application.
#include <gtest/gtest.h>

#include <future>
#include <regex>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "control/LockPresenter.h"
#include "frame/ScreenRegistry.h"
#include "identity/ChildIdentity.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "wallet/BillRequest.h"
#include "wallet/ExchangeScreen.h"
#include "wallet/ExchangeStore.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeTest() {
    ports.useServiceHost(server.hostAndPort());
    serve();
    ports.screenHost.setRoot(test::blankScreen("Home"));
  }
  // Answers with copies of the fields as they are now: the server's thread never reads the fixture.
  void serve() {
    server.setHandler([balance = balance, statisticsDelay = statisticsDelay, rule = rule,
                       billAnswer = billAnswer,
                       down = down](const test::RecordedRequest& request) -> CannedResponse {
      if (down) return {500, "text/plain", "down"};
      if (request.path.find("/bills/bonuspoints/statistics/all/device/") != std::string::npos)
        return {200, "application/json", Json{{"total", balance}}.dump(), statisticsDelay};
      if (request.path == "/api/v2.0/settings/bonuspoints/consumes/rules")
        return {200, "application/json", rule};
      if (request.path == "/api/v2.0/bills") return billAnswer;
      return {404, "application/json", "{}"};
    });
  }
  // Opens the screen and waits until both answers have been applied.
  std::shared_ptr<ViewModel> open() {
    serve();
    const std::size_t rules = requests("/settings/");
    const std::size_t statistics = requests("/statistics/");
    ports.screenHost.clear();
    auto screen = ports.agent().screens().make("DuiHuan", "DuiHuanID");
    ports.screenHost.push(screen, true);
    ports.time.loop().runUntil(
        [&] { return requests("/settings/") > rules && requests("/statistics/") > statistics; }, 20s);
    ports.time.loop().runUntil(
        [&] { return ports.screenHost.saw("overlay success 更新成功") || failedRule(); }, 20s);
    // The statistics answer may come after the rule's.
    ports.time.loop().runUntil([] { return false; }, 100ms);
    return screen;
  }
  bool failedRule() const { return ports.screenHost.saw("overlay error 更新失败"); }
  std::size_t requests(const std::string& part) const {
    std::size_t count = 0;
    for (const auto& request : server.requests()) count += request.path.find(part) != std::string::npos;
    return count;
  }
  std::vector<Json> bills() const {
    std::vector<Json> sent;
    for (const auto& request : server.requests()) {
      if (request.path == "/api/v2.0/bills") sent.push_back(Json::parse(request.body));
    }
    return sent;
  }
  static Json rows(int count) {
    Json all = Json::array();
    for (int i = 1; i <= count; ++i) all.push_back((i < 10 ? "0" : "") + std::to_string(i));
    return all;
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  int balance = 20;
  int statisticsDelay = 0;
  std::string rule = R"({"appUseIntervalMax":10,"parities":"1:3"})";
  CannedResponse billAnswer{200, "application/json", "{}"};
  bool down = false;
  LockPresenter lockPresenter{ports.agent().controlEvents(), ports.time.loop(), ports.screenHost,
                              ports.agent().routes()};
};

TEST_F(ExchangeTest, TheRowsAreWhatTheBalanceAffordsAndTheLabelsFollowTheChoice) {
  auto screen = open();
  EXPECT_EQ(screen->title(), "兑换时间");
  EXPECT_EQ(screen->state()["date"], rows(6));
  EXPECT_EQ(screen->state()["rateText"], "(3刺猬币可兑换1分钟)");
  EXPECT_EQ(screen->state()["cost"], "3");
  EXPECT_EQ(screen->state()["remaining"], "17");
  screen->invoke("selectRow", Json{{"row", 3}});
  EXPECT_EQ(screen->state()["selected"], 4);
  EXPECT_EQ(screen->state()["cost"], "12");
  EXPECT_EQ(screen->state()["remaining"], "8");
  screen->invoke("selectRow", Json{{"row", 6}});  // no such row
  EXPECT_EQ(screen->state()["selected"], 4);
  EXPECT_EQ(ports.agent().cache().objectForKey("parities")->stringValue(), "1:3");

  screen->invoke("save");
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay success 申请成功"); }, 20s));
  const auto sent = bills();
  ASSERT_EQ(sent.size(), 1u);
  std::vector<std::string> keys;
  for (auto it = sent[0].begin(); it != sent[0].end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"childDeviceId", "type", "subjectId", "pictures", "bonuspoint",
                                            "billMd5"}));
  EXPECT_EQ(sent[0]["childDeviceId"], ports.agent().child().deviceId());
  EXPECT_EQ(sent[0]["type"], 2);
  EXPECT_EQ(sent[0]["subjectId"], 1);
  EXPECT_TRUE(sent[0]["pictures"].is_null());
  EXPECT_EQ(sent[0]["bonuspoint"], -12);
  EXPECT_TRUE(std::regex_match(sent[0]["billMd5"].get<std::string>(), std::regex("[0-9a-f]{32}")));
  EXPECT_EQ(ports.screenHost.topScreen()->className(), "Home") << "the screen closes after a success";
}

TEST_F(ExchangeTest, AStatisticsAnswerAfterTheRuleStillOffersWhatTheBalanceAffords) {
  statisticsDelay = 400;  // the rule arrives first, when no balance is known
  auto screen = open();
  ports.time.loop().runUntil([&] { return screen->state()["remaining"] == "17"; }, 20s);
  EXPECT_EQ(screen->state()["date"], rows(6));
}

TEST_F(ExchangeTest, ABalanceBeyondTheMostUnitsOffersTheMostAndAnEmptyRuleIsTheDefault) {
  balance = 100;
  rule = "";
  auto screen = open();
  EXPECT_EQ(screen->state()["date"], rows(10));
  EXPECT_EQ(screen->state()["rateText"], "(3刺猬币可兑换1分钟)");
}

TEST_F(ExchangeTest, ABalanceOfZeroShowsZeroWhateverIsChosenAndSendsNothing) {
  balance = 0;
  auto screen = open();
  EXPECT_TRUE(screen->state()["date"].empty());
  EXPECT_EQ(screen->state()["cost"], "0");
  EXPECT_EQ(screen->state()["remaining"], "0");
  screen->invoke("selectRow", Json{{"row", 2}});
  EXPECT_EQ(screen->state()["cost"], "0");
  screen->invoke("save");
  ports.time.loop().runUntil([] { return false; }, 200ms);
  EXPECT_TRUE(bills().empty()) << "no unit can be afforded, so nothing is asked for";
  EXPECT_TRUE(ports.screenHost.saw("overlay error 刺猬币不足")) << "and the tap says why";
}

TEST_F(ExchangeTest, ABalanceThatShrinksMovesTheChoiceOntoTheLastRowLeft) {
  // The stored balance offers six units until the fresh one, much smaller, arrives: held back by
  // the service until the choice is made.
  PointsTotal stored;
  stored.total = Json(20);
  ports.agent().cache().setObjectValue(CacheObject::model(stored), stored::kPointsTotal);
  auto release = std::make_shared<std::promise<void>>();
  server.setHandler(
      [released = release->get_future().share()](const test::RecordedRequest& request) -> CannedResponse {
        if (request.path.find("/bills/bonuspoints/statistics/all/device/") != std::string::npos) {
          released.wait_for(20s);
          return {200, "application/json", Json{{"total", 5}}.dump()};
        }
        if (request.path == "/api/v2.0/settings/bonuspoints/consumes/rules")
          return {200, "application/json", R"({"appUseIntervalMax":10,"parities":"1:3"})"};
        return {200, "application/json", "{}"};
      });
  auto screen = ports.agent().screens().make("DuiHuan", "DuiHuanID");
  ports.screenHost.push(screen, true);
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay success 更新成功"); }, 20s));
  ASSERT_EQ(screen->state()["date"], rows(6));
  screen->invoke("selectRow", Json{{"row", 5}});
  EXPECT_EQ(screen->state()["cost"], "18");
  release->set_value();
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return screen->state()["date"] == rows(1); }, 20s));
  EXPECT_EQ(screen->state()["selected"], 1);
  EXPECT_EQ(screen->state()["cost"], "3");
  EXPECT_EQ(screen->state()["remaining"], "2");
  screen->invoke("save");
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay success 申请成功"); }, 20s));
  ASSERT_EQ(bills().size(), 1u);
  EXPECT_EQ(bills()[0]["bonuspoint"], -3);
}

TEST_F(ExchangeTest, ASecondTapBeforeTheAnswerSendsNothingMore) {
  billAnswer = {202, "application/json", R"({"errorCode":20001,"errorDescription":"刺猬币不足"})", 300};
  auto screen = open();
  screen->invoke("save");
  screen->invoke("save");
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay error 刺猬币不足"); }, 20s));
  ports.time.loop().runUntil([] { return false; }, 100ms);
  EXPECT_EQ(bills().size(), 1u);
  // Answered: the next tap is a new application.
  screen->invoke("save");
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return bills().size() == 2u; }, 20s));
}

TEST_F(ExchangeTest, ARuleAnswerWithNothingToApplyEndsTheProgressMessage) {
  server.setHandler([](const test::RecordedRequest& request) -> CannedResponse {
    if (request.path == "/api/v2.0/settings/bonuspoints/consumes/rules")
      return {202, "application/json", R"({"errorCode":1,"errorDescription":"x"})"};
    return {200, "application/json", Json{{"total", 20}}.dump()};
  });
  ports.screenHost.clear();
  auto screen = ports.agent().screens().make("DuiHuan", "DuiHuanID");
  ports.screenHost.push(screen, true);
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay dismiss"); }, 20s));
  EXPECT_EQ(ports.screenHost.lines("overlay"),
            (std::vector<std::string>{"overlay progress 更新汇率", "overlay dismiss"}));
  // A screen closed before its rule came leaves no progress message behind either.
  ports.screenHost.pop(true);
  serve();
  ports.screenHost.clear();
  {
    auto closing = ports.agent().screens().make("DuiHuan", "DuiHuanID");
    ports.screenHost.push(closing, true);
    ports.screenHost.pop(true);
  }
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay dismiss"); }, 20s));
  EXPECT_FALSE(ports.screenHost.saw("overlay success 更新成功"));
}

TEST_F(ExchangeTest, TheStoredFiguresShowBeforeTheAnswersAndAnUnreadableRateIsNoRule) {
  ports.agent().cache().setObjectValue(CacheObject(Json("1:3")), "parities");
  balance = 30;
  for (const char* unreadable :
       {R"({"appUseIntervalMax":10,"parities":"1:"})", R"({"appUseIntervalMax":10,"parities":"a:3"})",
        R"({"appUseIntervalMax":10,"parities":"1:x"})", R"({"parities":5})"}) {
    PointsTotal stored;
    stored.total = Json(42);
    ports.agent().cache().setObjectValue(CacheObject::model(stored), stored::kPointsTotal);
    rule = unreadable;
    serve();
    auto screen = ports.agent().screens().make("DuiHuan", "DuiHuanID");
    ports.screenHost.push(screen, true);
    EXPECT_EQ(screen->state()["remaining"], "42") << "the stored balance at once";
    // The fresh balance prices the choice by the stored rate.
    ports.time.loop().runUntil([&] { return screen->state()["remaining"] == "27"; }, 20s);
    ports.time.loop().runUntil([] { return false; }, 200ms);
    EXPECT_TRUE(screen->state()["date"].empty()) << unreadable;
    EXPECT_FALSE(screen->state().contains("rateText")) << unreadable;
    EXPECT_EQ(screen->state()["cost"], "3") << "the stored rate still prices the choice";
    EXPECT_EQ(ports.agent().cache().objectForKey("parities")->stringValue(), "1:3");
    ports.screenHost.pop(true);
  }
}

TEST_F(ExchangeTest, AnApplicationAnsweredWhileTheLockShowsStillClosesTheScreenUnderIt) {
  billAnswer = {200, "application/json", "{}", 300};
  auto screen = open();
  screen->invoke("save");
  ports.agent().controlEvents().started.notify(
      Json::array({Json{{"groupName", "游戏"}, {"today", true}, {"apps", Json::array()}}}));
  ports.time.settle();
  ASSERT_TRUE(ports.screenHost.coverScreen());
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay success 申请成功"); }, 20s));
  EXPECT_EQ(ports.screenHost.topScreen()->className(), "Home");
  ASSERT_TRUE(ports.screenHost.coverScreen());
  EXPECT_EQ(ports.screenHost.coverScreen()->screenName(), "Lock/LockID");
}

TEST_F(ExchangeTest, ARefusalShowsTheServicesWordsAndAFailedRuleRequestSaysSo) {
  billAnswer = {202, "application/json", R"({"errorCode":20001,"errorDescription":"刺猬币不足"})"};
  auto screen = open();
  screen->invoke("save");
  ASSERT_TRUE(
      ports.time.loop().runUntil([&] { return ports.screenHost.saw("overlay error 刺猬币不足"); }, 20s));
  EXPECT_EQ(ports.screenHost.topScreen(), screen) << "a refused application stays open";

  ports.screenHost.pop(true);
  down = true;
  open();
  EXPECT_TRUE(failedRule());
}

TEST(BillRequest, EveryApplicationCarriesItsOwnMd5) {
  const Json parameters = {{"childDeviceId", "d"}, {"type", 1}, {"subjectId", 7}, {"pictures", nullptr}};
  const Json first = BillRequest::withBillMd5(parameters);
  const Json second = BillRequest::withBillMd5(parameters);
  EXPECT_NE(first["billMd5"], second["billMd5"]);
  EXPECT_EQ((--first.end()).key(), "billMd5");
  EXPECT_EQ(first.size(), parameters.size() + 1);
}

TEST(ExchangeStore, TheRateIsReadByPosition) {
  const auto rate = ExchangeStore::parseParities("2:15");
  ASSERT_TRUE(rate);
  EXPECT_EQ(rate->minutes, 2);
  EXPECT_EQ(rate->points, 15);
  EXPECT_EQ(ExchangeStore::parseParities("1-3")->points, 3) << "the separator's value is not read";
  for (const char* unreadable : {"", "1:", "13", "x:3", "1:3a", "1: 3", "1:-3", "1:99999999999999"})
    EXPECT_FALSE(ExchangeStore::parseParities(unreadable)) << unreadable;
}

}  // namespace
}  // namespace twig
