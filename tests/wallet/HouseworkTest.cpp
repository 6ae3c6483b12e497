// Housework: the catalogue (or the shipped one), the rows and the applications.
#include <gtest/gtest.h>

#include "api/ApiClient.h"
#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "frame/ViewModel.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "wallet/HouseworkStore.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class HouseworkTest : public ::testing::Test {
 protected:
  HouseworkTest() {
    ports.useServiceHost(server.hostAndPort());
    serve();
    ports.screenHost.setRoot(test::blankScreen("Home"));
  }
  // Answers with copies of the fields as they are now: the server's thread never reads the fixture.
  void serve() {
    server.setHandler([catalogue = catalogue,
                       billAnswer = billAnswer](const test::RecordedRequest& request) -> CannedResponse {
      if (request.path.find("/bills/subjects/thisDevice/") != std::string::npos) return catalogue;
      if (request.path == "/api/v2.0/bills") return billAnswer;
      return {404, "application/json", "{}"};
    });
  }
  std::shared_ptr<ViewModel> open() {
    serve();
    auto screen = ports.agent().screens().make("GanJiaWu", "GanJiaWuID");
    ports.screenHost.push(screen, true);
    ports.time.loop().runUntil([&] { return server.requestCount() >= 1; }, 20s);
    ports.time.loop().runUntil([] { return false; }, 100ms);
    return screen;
  }
  std::vector<Json> bills() const {
    std::vector<Json> sent;
    for (const auto& request : server.requests()) {
      if (request.path == "/api/v2.0/bills") sent.push_back(Json::parse(request.body));
    }
    return sent;
  }
  bool waitForOverlay(const std::string& line) {
    return ports.time.loop().runUntil([&] { return ports.screenHost.saw(line); }, 20s);
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  CannedResponse catalogue{200, "application/json", R"({"subjects":[
      {"subjectId":10000,"name":"特别奖励","type":1,"bonuspoint":0},
      {"subjectId":1,"name":"洗碗","type":2,"iconUrl":"http://x/1.png","bonuspoint":5,"description":"洗干净"},
      {"subjectId":5,"name":"兑换时间","type":3,"bonuspoint":0}]})"};
  CannedResponse billAnswer{200, "application/json", "{}"};
};

TEST_F(HouseworkTest, OnlyHouseworkIsListedWithItsPoints) {
  auto screen = open();
  EXPECT_EQ(screen->title(), "干家务");
  EXPECT_EQ(screen->state()["rowHeight"], 70);
  const Json& rows = screen->state()["worksList"];
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["name"], "洗碗");
  EXPECT_EQ(rows[0]["points"], "5刺猬币");
  EXPECT_EQ(rows[0]["iconUrl"], "http://x/1.png");
  const auto request = server.requests().at(0);
  EXPECT_EQ(request.params.find("type")->second, "2");
}

TEST_F(HouseworkTest, WithoutTheServiceTheShippedCatalogueIsListed) {
  catalogue = {500, "text/plain", "down"};
  auto screen = open();
  const Json& rows = screen->state()["worksList"];
  ASSERT_GE(rows.size(), 4u);
  for (const auto& row : rows) {
    EXPECT_NE(row["name"], "特别奖励");
    EXPECT_NE(row["name"], "兑换时间");
  }
  EXPECT_EQ(rows[0]["name"], "洗碗");
}

TEST_F(HouseworkTest, AnIconAddressThatIsNotAWebAddressIsNotShown) {
  catalogue = {200, "application/json", R"({"subjects":[
      {"subjectId":1,"name":"洗碗","type":2,"iconUrl":"file:///etc/shadow","bonuspoint":5}]})"};
  const Json rows = open()->state()["worksList"];
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["iconUrl"], "");
}

TEST_F(HouseworkTest, AnAnswerWithoutSubjectsListsNothing) {
  catalogue = {200, "application/json", R"({"other":[]})"};
  EXPECT_TRUE(open()->state()["worksList"].empty());
}

TEST_F(HouseworkTest, EachApplicationIsABillWithItsOwnMd5) {
  auto screen = open();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  ASSERT_TRUE(waitForOverlay("overlay success 申请成功"));
  ports.screenHost.clear();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  ASSERT_TRUE(waitForOverlay("overlay success 申请成功"));
  const auto sent = bills();
  ASSERT_EQ(sent.size(), 2u);
  std::vector<std::string> keys;
  for (auto it = sent[0].begin(); it != sent[0].end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"childDeviceId", "type", "subjectId", "pictures", "billMd5"}));
  EXPECT_EQ(sent[0]["type"], 1);
  EXPECT_EQ(sent[0]["subjectId"], 1);
  EXPECT_NE(sent[0]["billMd5"], sent[1]["billMd5"]);
  screen->invoke("requestHouseWork", Json{{"row", 1}});  // no such row
  ports.time.loop().runUntil([] { return false; }, 100ms);
  EXPECT_EQ(bills().size(), 2u);
}

TEST_F(HouseworkTest, ASecondTapBeforeTheAnswerSendsNothingMore) {
  billAnswer = {200, "application/json", "{}", 300};
  auto screen = open();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  ASSERT_TRUE(waitForOverlay("overlay success 申请成功"));
  ports.time.loop().runUntil([] { return false; }, 100ms);
  EXPECT_EQ(bills().size(), 1u);
}

TEST_F(HouseworkTest, RefusalsFailuresAndAnUnreachableNetworkAreShown) {
  auto screen = open();
  billAnswer = {202, "application/json", R"({"errorCode":20001,"errorDescription":"今天已经申请过了"})"};
  serve();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  EXPECT_TRUE(waitForOverlay("overlay error 今天已经申请过了"));
  billAnswer = {500, "text/plain", "down"};
  serve();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  EXPECT_TRUE(waitForOverlay("overlay error 申请失败"));

  const std::size_t before = bills().size();
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  screen->invoke("requestHouseWork", Json{{"row", 0}});
  EXPECT_TRUE(waitForOverlay("overlay error 网络连接失败"));
  ports.time.loop().runUntil([] { return false; }, 100ms);
  EXPECT_EQ(bills().size(), before) << "nothing is sent while the network is down";
}

TEST(HouseworkStore, TheShippedCatalogueHasTheFormOfTheServicesAnswer) {
  const Json catalogue = HouseworkStore::defaultCatalogue();
  ASSERT_TRUE(catalogue.contains("subjects"));
  std::optional<Error> error;
  const auto entries = HouseworkStore::houseworkOf(catalogue, error);
  EXPECT_FALSE(error);
  ASSERT_GE(entries.size(), 4u);
  for (const auto& entry : entries) {
    EXPECT_TRUE(entry.name && !entry.name->empty());
    EXPECT_TRUE(entry.bonuspoint && entry.bonuspoint->is_number());
  }
  // A catalogue entry that is no record is skipped and reported.
  error.reset();
  const auto mixed =
      HouseworkStore::houseworkOf(Json{{"subjects", Json::array({Json(3), Json{{"type", 2}}})}}, error);
  EXPECT_EQ(mixed.size(), 1u);
  EXPECT_TRUE(error);
}

}  // namespace
}  // namespace twig
