#include "api/ApiClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "api/CurlHttpTransport.h"
#include "platform/NotificationCenter.h"
#include "platform/PlainMainLoop.h"
#include "platform/SystemClock.h"
#include "platform/fake/FakeReachability.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TestHttpServer.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;
using test::RecordedRequest;

struct Outcome {
  bool done = false;
  bool succeeded = false;
  ApiClient::Operation operation;
  std::optional<Json> answer;
  std::optional<Error> error;
  std::thread::id thread;
};

class ApiClientTest : public ::testing::Test {
 protected:
  ApiClientTest() : time(WallTime(std::chrono::milliseconds(1480000000000LL))) {}

  std::unique_ptr<ApiClient> makeClient(Clock& clock, MainLoop& loop,
                                        CurlHttpTransport::Options options = {}) {
    ApiClient::Dependencies dependencies;
    dependencies.loop = &loop;
    dependencies.clock = &clock;
    dependencies.reachability = &reachability;
    dependencies.baseAddress = server.baseAddress();
    dependencies.transport = std::make_unique<CurlHttpTransport>(options);
    return std::make_unique<ApiClient>(std::move(dependencies));
  }

  void SetUp() override { client = makeClient(time.clock(), time.loop()); }

  // Starts a request whose outcome is written to `outcome` on the main loop.
  void start(Outcome& outcome, const std::string& path, const std::optional<Json>& parameters,
             int methodType) {
    client->requestWithPath(
        path, parameters, methodType,
        [&outcome](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
          outcome = {true, true, operation, answer, std::nullopt, std::this_thread::get_id()};
        },
        [&outcome](const ApiClient::Operation& operation, const Error& error) {
          outcome = {true, false, operation, std::nullopt, error, std::this_thread::get_id()};
        });
  }

  Outcome run(const std::string& path, const std::optional<Json>& parameters, int methodType) {
    Outcome outcome;
    start(outcome, path, parameters, methodType);
    EXPECT_TRUE(time.loop().runUntil([&] { return outcome.done; }, 20s)) << path;
    return outcome;
  }

  void answerWith(CannedResponse response) {
    server.setHandler([response](const RecordedRequest&) { return response; });
  }

  test::ManualTime time;
  NotificationCenter notifications;
  FakeReachability reachability;
  test::TestHttpServer server;
  std::unique_ptr<ApiClient> client;
};

TEST_F(ApiClientTest, PostIsSignedAndCarriesAJsonBody) {
  answerWith({200, "application/json", R"({"approvalStatus":1})"});
  Json body = Json::object();
  body["platform"] = "2";
  body["uuid"] = "6F9619FF-8B86-4D11-B42D-00C04FC964FF";
  body["clientVersion"] = "v1.0.0";
  const Outcome outcome = run("config", body, 1);

  ASSERT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.operation->statusCode, 200);
  EXPECT_EQ((*outcome.answer)["approvalStatus"], 1);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const RecordedRequest& seen = requests[0];
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.target, "/api/v2.0/config");
  EXPECT_EQ(seen.header("X-TS-TIME"), "1480000000000");
  EXPECT_EQ(seen.header("X-TS-HMAC"), "hkskzutWDY2LRoVEoZn624Poz50=");
  EXPECT_TRUE(seen.signatureValid);
  EXPECT_EQ(seen.header("Content-Type"), "application/json");
  EXPECT_EQ(seen.body,
            R"({"platform":"2","uuid":"6F9619FF-8B86-4D11-B42D-00C04FC964FF","clientVersion":"v1.0.0"})");
}

TEST_F(ApiClientTest, GetPutsParametersInTheQueryAndSignsThePathAlone) {
  Json parameters = Json::object();
  parameters["pageNow"] = 1;
  parameters["deviceId"] = "a b";
  const Outcome outcome = run("apps/device/0123abcd", parameters, 0);
  ASSERT_TRUE(outcome.succeeded);
  const auto seen = server.requests().at(0);
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.target, "/api/v2.0/apps/device/0123abcd?deviceId=a%20b&pageNow=1");
  EXPECT_EQ(seen.params.find("deviceId")->second, "a b");
  EXPECT_TRUE(seen.signatureValid);
  EXPECT_TRUE(seen.body.empty());
  EXPECT_TRUE(seen.header("Content-Type").empty());
}

TEST_F(ApiClientTest, PutAndPatchSendJsonAndOtherMethodTypesSendNothing) {
  Json body = Json::object();
  body["messageId"] = "";
  body["status"] = "1";
  ASSERT_TRUE(run("push/messages", body, 2).succeeded);
  ASSERT_TRUE(run("push/messages", body, 4).succeeded);

  int called = 0;
  for (int none : {3, 5, 9, -1}) {
    client->requestWithPath(
        "config", body, none, [&](const auto&, const auto&) { ++called; },
        [&](const auto&, const auto&) { ++called; });
  }
  ASSERT_TRUE(run("config", std::nullopt, 1).succeeded);  // anything sent before would have arrived first
  time.settle();
  EXPECT_EQ(called, 0);

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].method, "PUT");
  EXPECT_EQ(requests[1].method, "PATCH");
  EXPECT_EQ(requests[0].body, R"({"messageId":"","status":"1"})");
  EXPECT_EQ(requests[1].header("Content-Type"), "application/json");
  EXPECT_TRUE(requests[0].signatureValid && requests[1].signatureValid && requests[2].signatureValid);
  EXPECT_EQ(requests[2].method, "POST");
  EXPECT_TRUE(requests[2].body.empty());
}

TEST_F(ApiClientTest, MultipartPostCarriesFieldsAndParts) {
  const std::string jpeg("\xFF\xD8\xFF\x00jpeg-bytes", 14);
  Json parameters = Json::object();
  parameters["childDeviceId"] = "0123abcd";
  Outcome outcome;
  client->POST(
      "file/pictures", parameters,
      [&](MultipartFormData& form) { form.appendPartWithFileData(jpeg, "file", "name.", "image/jpeg"); },
      [&](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        outcome = {true, true, operation, answer, std::nullopt, std::this_thread::get_id()};
      },
      [&](const ApiClient::Operation&, const Error& error) { outcome = {true, false, {}, {}, error, {}}; });
  ASSERT_TRUE(time.loop().runUntil([&] { return outcome.done; }, 20s));
  ASSERT_TRUE(outcome.succeeded);

  const auto seen = server.requests().at(0);
  EXPECT_EQ(seen.method, "POST");
  EXPECT_TRUE(seen.signatureValid);
  EXPECT_EQ(seen.header("Content-Type").rfind("multipart/form-data; boundary=", 0), 0u);
  ASSERT_EQ(seen.parts.size(), 2u);
  std::map<std::string, test::RecordedPart> parts;
  for (const auto& part : seen.parts) parts[part.name] = part;
  EXPECT_EQ(parts["childDeviceId"].content, "0123abcd");
  EXPECT_EQ(parts["file"].fileName, "name.");
  EXPECT_EQ(parts["file"].contentType, "image/jpeg");
  EXPECT_EQ(parts["file"].content, jpeg);
}

TEST_F(ApiClientTest, AnswersAreSortedIntoSuccessAndFailure) {
  server.setHandler([](const RecordedRequest& request) -> CannedResponse {
    if (request.path == "/api/v2.0/refused")
      return {202, "application/json", R"({"errorCode":10101,"errorDescription":"x"})"};
    if (request.path == "/api/v2.0/missing") return {404, "application/json", R"({"errorCode":404001})"};
    if (request.path == "/api/v2.0/broken") return {500, "application/json", R"({"errorCode":500001})"};
    if (request.path == "/api/v2.0/text") return {200, "text/plain", "hello"};
    if (request.path == "/api/v2.0/garbled") return {200, "application/json", "{not json"};
    if (request.path == "/api/v2.0/empty") return {200, "", ""};
    return {200, "application/json", "[1,2,3]"};
  });

  const Outcome ok = run("list", std::nullopt, 0);
  ASSERT_TRUE(ok.succeeded);
  EXPECT_EQ(*ok.answer, Json::parse("[1,2,3]"));

  const Outcome refused = run("refused", Json::object(), 1);
  ASSERT_TRUE(refused.succeeded);
  EXPECT_EQ(refused.operation->statusCode, 202);
  EXPECT_EQ((*refused.answer)["errorCode"], 10101);

  for (const char* path : {"missing", "broken"}) {
    const Outcome failed = run(path, Json::object(), 1);
    ASSERT_FALSE(failed.succeeded) << path;
    EXPECT_EQ(failed.error->domain, Error::kStatus);
    ASSERT_TRUE(failed.operation);
    ASSERT_TRUE(failed.operation->responseObject) << path;
    EXPECT_TRUE((*failed.operation->responseObject)["errorCode"].is_number());
  }
  EXPECT_EQ(run("missing", std::nullopt, 0).operation->statusCode, 404);

  const Outcome text = run("text", std::nullopt, 0);
  EXPECT_FALSE(text.succeeded);
  EXPECT_EQ(text.error->domain, Error::kContentType);
  EXPECT_EQ(text.operation->responseString, "hello");

  const Outcome garbled = run("garbled", std::nullopt, 0);
  EXPECT_FALSE(garbled.succeeded);
  EXPECT_EQ(garbled.error->domain, Error::kBadJson);

  const Outcome empty = run("empty", std::nullopt, 0);
  EXPECT_TRUE(empty.succeeded);
  EXPECT_FALSE(empty.answer.has_value());
}

TEST_F(ApiClientTest, ANetworkReportedDownFailsBeforeTheCallReturns) {
  std::vector<bool> callbacks;
  auto observer = client->onReachabilityChange([&](bool reachable) { callbacks.push_back(reachable); });

  EXPECT_TRUE(client->isConnectionAvailable());  // before the first report requests are sent
  reachability.setStatus(ReachabilityStatus::NotReachable);
  time.settle();
  EXPECT_FALSE(client->isConnectionAvailable());

  Outcome outcome;
  start(outcome, "config", Json::object(), 1);
  ASSERT_TRUE(outcome.done);  // no loop turn needed
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.operation, nullptr);
  EXPECT_EQ(outcome.error->domain, "断网");
  EXPECT_EQ(outcome.error->code, 0);
  client->requestWithPath("config", Json::object(), 1, nullptr, nullptr);  // no callbacks: nothing happens

  reachability.setStatus(ReachabilityStatus::Unknown);  // unknown counts as reachable
  time.settle();
  EXPECT_TRUE(client->isConnectionAvailable());
  reachability.setStatus(ReachabilityStatus::ReachableViaWWAN);
  time.settle();
  EXPECT_EQ(callbacks, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(ApiClientTest, CallbacksArriveOnTheMainLoopWhateverThreadStarted) {
  time.settle();  // the test's thread is the main thread
  Outcome outcome;
  std::thread other([&] { start(outcome, "config", Json::object(), 1); });
  other.join();
  ASSERT_TRUE(time.loop().runUntil([&] { return outcome.done; }, 20s));
  EXPECT_EQ(outcome.thread, std::this_thread::get_id());

  Outcome failure;
  answerWith({500, "application/json", "{}"});
  std::thread again([&] { start(failure, "config", Json::object(), 1); });
  again.join();
  ASSERT_TRUE(time.loop().runUntil([&] { return failure.done; }, 20s));
  EXPECT_FALSE(failure.succeeded);
  EXPECT_EQ(failure.thread, std::this_thread::get_id());
}

TEST_F(ApiClientTest, ConcurrentRequestsEachCarryTheirOwnSignature) {
  SystemClock realClock;
  PlainMainLoop loop(realClock);
  auto realClient = makeClient(realClock, loop);
  constexpr int kPerThread = 150;
  std::atomic<int> finished{0};
  auto fire = [&](const std::string& path) {
    for (int i = 0; i < kPerThread; ++i) {
      realClient->requestWithPath(
          path, Json::object(), i % 2, [&](const auto&, const auto&) { ++finished; },
          [&](const auto&, const auto&) { ++finished; });
    }
  };
  std::thread a(fire, "apps/device/aaaa");
  std::thread b(fire, "bills/device/bbbb");
  a.join();
  b.join();
  ASSERT_TRUE(loop.runUntil([&] { return finished == 2 * kPerThread; }, 60s));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u * kPerThread);
  std::set<std::string> times;
  for (const auto& request : requests) {
    EXPECT_TRUE(request.signatureValid)
        << request.method << " " << request.path << " " << request.header("X-TS-TIME");
    times.insert(request.header("X-TS-TIME"));
  }
  EXPECT_GT(times.size(), 1u);
}

TEST_F(ApiClientTest, PathsThatCannotBeSignedAreRefused) {
  for (const char* path : {"config?x=1", "apps/device/é", "../admin", "/config"}) {
    Outcome outcome;
    start(outcome, path, Json::object(), 1);
    EXPECT_FALSE(outcome.done) << "the refusal arrives on the main loop like other failures";
    ASSERT_TRUE(time.loop().runUntil([&] { return outcome.done; }, 5s));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error->domain, Error::kInvalidPath);
    EXPECT_EQ(outcome.operation, nullptr);
  }
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(ApiClientTest, TransportFailuresReachTheFailureCallback) {
  int closedPort = 0;
  {
    test::TestHttpServer gone;
    closedPort = gone.port();
  }
  ApiClient::Dependencies dependencies;
  dependencies.loop = &time.loop();
  dependencies.clock = &time.clock();
  dependencies.baseAddress = "http://127.0.0.1:" + std::to_string(closedPort) + "/api/v2.0";
  dependencies.transport = std::make_unique<CurlHttpTransport>();
  client = std::make_unique<ApiClient>(std::move(dependencies));
  const Outcome outcome = run("config", Json::object(), 1);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.error->domain, Error::kTransport);
  ASSERT_TRUE(outcome.operation);
  EXPECT_EQ(outcome.operation->statusCode, 0);
}

TEST_F(ApiClientTest, StalledAndOversizedAnswersFail) {
  CurlHttpTransport::Options options;
  options.inactivityTimeout = 1s;
  options.maxResponseBytes = 1000;
  client = makeClient(time.clock(), time.loop(), options);
  server.setHandler([](const RecordedRequest& request) -> CannedResponse {
    if (request.path == "/api/v2.0/stall") return {200, "application/json", "{}", 3000};
    return {200, "application/json", "[\"" + std::string(5000, 'x') + "\"]"};
  });
  const Outcome stalled = run("stall", std::nullopt, 0);
  EXPECT_FALSE(stalled.succeeded);
  EXPECT_EQ(stalled.error->domain, Error::kTransport);
  const Outcome huge = run("huge", std::nullopt, 0);
  EXPECT_FALSE(huge.succeeded);
  EXPECT_EQ(huge.error->domain, Error::kTransport);
}

}  // namespace
}  // namespace twig
