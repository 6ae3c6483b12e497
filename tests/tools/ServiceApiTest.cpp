// twig-service as a separate process: its signature check and the answers the device relies on.
#include <gtest/gtest.h>

#include <httplib.h>
#include <set>

#include <chrono>

#include "api/Digest.h"
#include "api/RequestSigner.h"
#include "api/Utils.h"
#include "platform/Json.h"
#include "platform/SystemClock.h"
#include "tests/fakes/ServiceProcess.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

// Nothing listens on port 1: the service keeps trying the broker in the background, which these
// tests do not need.
constexpr std::uint16_t kNoBroker = 1;

std::int64_t nowMilliseconds() {
  SystemClock clock;
  return Utils::millisecondsSince1970(clock.now());
}

httplib::Headers signedHeaders(const std::string& path, const std::string& method, std::int64_t skew = 0) {
  const std::string time = std::to_string(nowMilliseconds() + skew);
  return {{"X-TS-TIME", time}, {"X-TS-HMAC", RequestSigner::signature(time, path, method)}};
}

class ServiceApi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.started()) << "twig-service did not start";
    client = std::make_unique<httplib::Client>("127.0.0.1", service.port());
    client->set_read_timeout(10, 0);
  }

  Json parse(const httplib::Result& result) {
    if (!result) return Json();
    return Json::parse(result->body.empty() ? std::string("null") : result->body, nullptr, false);
  }
  Json admin(const std::string& path, const Json& body = Json()) {
    auto result = body.is_null() ? client->Get(path) : client->Post(path, body.dump(), "application/json");
    EXPECT_TRUE(result && result->status == 200) << path;
    return parse(result);
  }
  httplib::Result api(const std::string& method, const std::string& path, const Json& body = Json::object(),
                      const httplib::Headers& headers = {}) {
    const std::string full = "/api/v2.0/" + path;
    const auto used = headers.empty() ? signedHeaders(path, method) : headers;
    if (method == "GET") return client->Get(full, used);
    if (method == "PUT") return client->Put(full, used, body.dump(), "application/json");
    return client->Post(full, used, body.dump(), "application/json");
  }
  std::string bindCode() { return Utils::stringValue(admin("/admin/bind-codes", Json::object()), "code"); }
  Json enrolment(const std::string& code, const std::string& device) {
    return Json{{"enrollCode", code}, {"deviceId", device}, {"deviceName", "Test"}, {"platform", "2"}};
  }

  test::ServiceProcess service{TWIG_SERVICE_PATH, kNoBroker};
  std::unique_ptr<httplib::Client> client;
};

TEST_F(ServiceApi, RefusesMissingWrongOrStaleSignaturesWith401AndChangesNothing) {
  const std::string code = bindCode();
  ASSERT_EQ(code.size(), 6u);
  const std::string time = std::to_string(nowMilliseconds());
  const std::vector<std::pair<std::string, httplib::Headers>> refused = {
      {"no headers", {{"X-Unrelated", "1"}}},
      {"time only", {{"X-TS-TIME", time}}},
      {"signature only", {{"X-TS-HMAC", RequestSigner::signature(time, "device/enroll", "POST")}}},
      {"wrong signature", {{"X-TS-TIME", time}, {"X-TS-HMAC", "AAAAAAAAAAAAAAAAAAAAAAAAAAA="}}},
      {"another path's signature", signedHeaders("config", "POST")},
      {"another method's signature", signedHeaders("device/enroll", "PUT")},
      {"six minutes old", signedHeaders("device/enroll", "POST", -6 * 60 * 1000)},
      {"six minutes ahead", signedHeaders("device/enroll", "POST", 6 * 60 * 1000)},
  };
  for (const auto& [what, headers] : refused) {
    const auto result = api("POST", "device/enroll", enrolment(code, "device-1"), headers);
    ASSERT_TRUE(result) << what;
    EXPECT_EQ(result->status, 401) << what;
    const Json body = parse(result);
    EXPECT_FALSE(Utils::stringValue(body, "errorDescription").empty()) << what << ": " << result->body;
  }
  // A bill with a bad signature is not recorded either.
  const auto bill = api("POST", "bills", Json{{"childDeviceId", "device-1"}, {"billMd5", "x"}, {"type", 2}},
                        signedHeaders("bills", "POST", -10 * 60 * 1000));
  ASSERT_TRUE(bill);
  EXPECT_EQ(bill->status, 401);

  EXPECT_EQ(admin("/admin/devices")["devices"], Json::array());
  EXPECT_EQ(admin("/admin/devices/device-1/bills")["bills"], Json::array());

  // The code was not used up by the refused attempts: a correctly signed one binds, and a little
  // clock difference (within five minutes) is tolerated.
  const auto accepted = api("POST", "device/enroll", enrolment(code, "device-1"),
                            signedHeaders("device/enroll", "POST", -4 * 60 * 1000));
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->status, 200);
  EXPECT_FALSE(Utils::stringValue(parse(accepted), "parentDN").empty());
  EXPECT_EQ(admin("/admin/devices")["devices"].size(), 1u);
}

TEST_F(ServiceApi, BindsOnceWithEachCodeAndPullsOnlyForBoundDevices) {
  const auto unknown = api("POST", "device/enroll", enrolment("000000x", "device-1"));
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 202);
  EXPECT_EQ(parse(unknown)["errorCode"], 10101);

  const auto pullUnbound =
      api("PUT", "push/messages", Json{{"messageId", ""}, {"deviceId", "device-1"}, {"status", "1"}});
  ASSERT_TRUE(pullUnbound);
  EXPECT_EQ(parse(pullUnbound)["errorCode"], 30204);

  const std::string code = bindCode();
  const Json parent = parse(api("POST", "device/enroll", enrolment(code, "device-1")));
  EXPECT_FALSE(Utils::stringValue(parent, "parentDeviceId").empty());
  const auto again = api("POST", "device/enroll", enrolment(code, "device-2"));
  EXPECT_EQ(parse(again)["errorCode"], 10101) << "a code binds one device only";

  // A command sent by the parent waits for the pull cycle until acknowledged.
  admin("/admin/devices/device-1/commands",
        Json{{"command", "RequestChildInfo"}, {"body", {{"commandUuid", "u-1"}}}});
  const Json record =
      parse(api("PUT", "push/messages", Json{{"messageId", ""}, {"deviceId", "device-1"}, {"status", "1"}}));
  ASSERT_TRUE(record.is_object()) << record;
  EXPECT_EQ(Json::parse(record["payload"].get<std::string>()),
            Json({{"RequestChildInfo", {{"commandUuid", "u-1"}}}}));
  const auto done = api("PUT", "push/messages",
                        Json{{"messageId", record["messageId"]}, {"deviceId", "device-1"}, {"status", "11"}});
  ASSERT_TRUE(done);
  EXPECT_EQ(done->status, 200);
  EXPECT_TRUE(done->body.empty()) << "nothing left after the acknowledgement: " << done->body;

  // Unbinding ends it: the pull cycle is told so.
  admin("/admin/devices/device-1/unbind", Json::object());
  EXPECT_EQ(parse(api("PUT", "push/messages",
                      Json{{"messageId", ""}, {"deviceId", "device-1"}, {"status", "1"}}))["errorCode"],
            30204);
}

TEST_F(ServiceApi, KnowsCatalogueCategoriesServesIconsAndKeepsUploadedPictures) {
  api("POST", "device/enroll", enrolment(bindCode(), "device-1"));
  const Json apps =
      parse(api("POST", "apps/device/device-1",
                Json{{"apps",
                      {{{"appPackage", "com.example.game"}, {"appName", "Game"}, {"processName", "game"}},
                       {{"appPackage", "org.unknown"}, {"appName", "Other"}, {"processName", "other"}}}}}));
  ASSERT_EQ(apps["apps"].size(), 2u) << apps;
  EXPECT_EQ(apps["apps"][0]["tagIds"], Json({7005}));
  EXPECT_TRUE(apps["apps"][1]["tagIds"].is_null());
  EXPECT_EQ(parse(api("POST", "apps/device/stranger", Json{{"apps", Json::array()}}))["errorCode"], 30204);

  const auto icon = client->Get("/images/apps/ios/com.example.game/icon.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->status, 200);
  EXPECT_EQ(icon->body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  const std::string picture = std::string("\xff\xd8\xff\xe0 picture bytes \0 with a zero", 32);
  httplib::MultipartFormDataItems items = {{"file", picture, "photo.jpg", "image/jpeg"}};
  const auto uploaded =
      client->Post("/api/v2.0/file/pictures", signedHeaders("file/pictures", "POST"), items);
  ASSERT_TRUE(uploaded);
  ASSERT_EQ(uploaded->status, 200) << uploaded->body;
  const Json stored = parse(uploaded);
  EXPECT_EQ(stored["fileMd5"], Digest::MD5(picture));
  const std::string url = stored["fileUrl"];
  const auto back = client->Get(url.substr(url.find("/files/")));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->body, picture);
  EXPECT_EQ(client->Get("/files/00000000000000000000000000000000.jpg")->status, 404);

  const auto upload = [&](const std::string& bytes, const httplib::Headers& headers) {
    return client->Post("/api/v2.0/file/pictures", headers,
                        httplib::MultipartFormDataItems{{"file", bytes, "name.", "image/jpeg"}});
  };
  EXPECT_EQ(upload(picture, {})->status, 401) << "unsigned";
  EXPECT_EQ(upload("GIF89a", signedHeaders("file/pictures", "POST"))->status, 415);
  std::string huge = picture;
  huge.resize(5u * 1024u * 1024u + 1u, 'x');
  const auto refused = upload(huge, signedHeaders("file/pictures", "POST"));
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 413);
  EXPECT_EQ(parse(refused)["errorDescription"], "图片太大");
}

TEST_F(ServiceApi, AParentAddsHouseworkAndGivesASpecialRewardItsPoints) {
  api("POST", "device/enroll", enrolment(bindCode(), "device-1"));
  const Json added = admin("/admin/subjects", Json{{"name", "浇花"}, {"bonuspoint", 4}});
  Json listed;
  const Json catalogue = parse(api("GET", "bills/subjects/thisDevice/device-1"));
  for (const auto& subject : catalogue["subjects"]) {
    if (subject["name"] == "浇花") listed = subject;
  }
  ASSERT_TRUE(listed.is_object()) << catalogue;
  EXPECT_EQ(listed["type"], 2);
  EXPECT_EQ(listed["bonuspoint"], 4);
  EXPECT_EQ(listed["subjectId"], added["subjectId"]);
  EXPECT_LT(added["subjectId"].get<int>(), 10000);
  EXPECT_EQ(client->Post("/admin/subjects", R"({"name":"x","bonuspoint":-1})", "application/json")->status,
            400);

  const Json reward = {{"childDeviceId", "device-1"},     {"type", 1},
                       {"description", "帮邻居找到了猫"}, {"subjectId", 10000},
                       {"pictures", Json::array()},       {"billMd5", "md5-r"}};
  ASSERT_EQ(api("POST", "bills", reward)->status, 200);
  const std::string billId = admin("/admin/devices/device-1/bills")["bills"][0]["billId"];
  EXPECT_EQ(admin("/admin/bills/" + billId + "/approve", Json{{"bonuspoint", 20}})["bonuspoint"], 20);
  EXPECT_EQ(parse(api("GET", "bills/bonuspoints/statistics/all/device/device-1"))["total"], 20);

  const Json exchange = {
      {"childDeviceId", "device-1"}, {"type", 2}, {"subjectId", 1}, {"bonuspoint", -3}, {"billMd5", "md5-x"}};
  ASSERT_EQ(api("POST", "bills", exchange)->status, 200);
  const std::string exchangeId = admin("/admin/devices/device-1/bills")["bills"][0]["billId"];
  EXPECT_EQ(
      client->Post("/admin/bills/" + exchangeId + "/approve", R"({"bonuspoint":50})", "application/json")
          ->status,
      400)
      << "an exchange keeps its cost";
}

TEST_F(ServiceApi, RecordsBillsOnceAndRefusesExchangesThePointsCannotCover) {
  api("POST", "device/enroll", enrolment(bindCode(), "device-1"));
  const Json housework = {{"childDeviceId", "device-1"},
                          {"type", 1},
                          {"subjectId", 1},
                          {"billMd5", "md5-a"},
                          {"description", "洗碗"}};
  EXPECT_EQ(api("POST", "bills", housework)->status, 200);
  EXPECT_EQ(parse(api("POST", "bills", housework))["errorCode"], 20001) << "the same bill twice";

  const Json exchange = {
      {"childDeviceId", "device-1"}, {"type", 2}, {"subjectId", 1}, {"bonuspoint", -3}, {"billMd5", "md5-b"}};
  EXPECT_EQ(parse(api("POST", "bills", exchange))["errorCode"], 20001) << "nothing approved yet";

  const Json list = admin("/admin/devices/device-1/bills");
  ASSERT_EQ(list["bills"].size(), 1u);
  EXPECT_EQ(list["bills"][0]["bonuspoint"], 5) << "the subject's points";
  admin("/admin/bills/" + list["bills"][0]["billId"].get<std::string>() + "/approve", Json::object());
  EXPECT_EQ(api("POST", "bills", exchange)->status, 200);

  const Json statistics = parse(api("GET", "bills/bonuspoints/statistics/all/device/device-1"));
  EXPECT_EQ(statistics["total"], 5) << "only approved bills count";
  EXPECT_EQ(statistics["currentWeek"], 5);
  const Json page =
      parse(client->Get("/api/v2.0/bills/device/device-1?page=1&pageSize=10&params=bonuspointsStatistics",
                        signedHeaders("bills/device/device-1", "GET")));
  ASSERT_EQ(page["bills"].size(), 2u);
  std::set<std::string> subjects;
  for (const auto& bill : page["bills"]) subjects.insert(bill["subject"]["name"].get<std::string>());
  EXPECT_EQ(subjects, (std::set<std::string>{"洗碗", "兑换时间"}))
      << "an exchange shows as one, whatever subject it names";
  EXPECT_EQ(page["bonuspointsStatistics"]["total"], 5);
  EXPECT_FALSE(parse(api("GET", "bills/subjects/thisDevice/device-1"))["subjects"].empty());
  EXPECT_EQ(parse(api("GET", "settings/bonuspoints/consumes/rules"))["parities"], "1:3");
}

TEST_F(ServiceApi, PendingExchangesCannotSpendTheSamePointsTwice) {
  api("POST", "device/enroll", enrolment(bindCode(), "device-1"));
  const Json housework = {{"childDeviceId", "device-1"}, {"type", 1}, {"subjectId", 1}, {"billMd5", "md5-a"}};
  ASSERT_EQ(api("POST", "bills", housework)->status, 200);
  const Json approved = admin("/admin/devices/device-1/bills");
  admin("/admin/bills/" + approved["bills"][0]["billId"].get<std::string>() + "/approve", Json::object());

  auto exchange = [](const std::string& md5) {
    return Json{
        {"childDeviceId", "device-1"}, {"type", 2}, {"subjectId", 1}, {"bonuspoint", -3}, {"billMd5", md5}};
  };
  // Five points: the first exchange of three waits for the parent, the second would need six.
  ASSERT_EQ(api("POST", "bills", exchange("md5-b"))->status, 200);
  const Json second = parse(api("POST", "bills", exchange("md5-c")));
  EXPECT_EQ(second.value("errorCode", 0), 20001) << second;
  EXPECT_EQ(second.value("errorDescription", ""), "刺猬币不足") << second;

  // The points that covered the waiting exchange are taken back (the parent refuses the housework
  // after all): its approval checks again and is refused.
  std::string pending;
  const Json listed = admin("/admin/devices/device-1/bills");
  for (const auto& bill : listed["bills"]) {
    if (bill["bonuspoint"] == -3) pending = bill["billId"];
  }
  ASSERT_FALSE(pending.empty()) << listed;
  admin("/admin/bills/" + approved["bills"][0]["billId"].get<std::string>() + "/refuse", Json::object());
  const auto refused = client->Post("/admin/bills/" + pending + "/approve", "{}", "application/json");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 409);
  EXPECT_EQ(parse(refused)["error"], "刺猬币不足");
  const Json statistics = parse(api("GET", "bills/bonuspoints/statistics/all/device/device-1"));
  EXPECT_EQ(statistics["total"], 0) << "nothing was spent that was not there";
}

}  // namespace
}  // namespace twig
