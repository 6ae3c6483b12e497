// https to a service whose certificate comes from a deployment's own authority.
#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <memory>

#include "api/ApiClient.h"
#include "api/CurlHttpTransport.h"
#include "app/Agent.h"
#include "tests/fakes/TempDir.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class HttpsTest : public ::testing::Test {
 protected:
  // One authority for the whole suite: making keys takes a moment.
  static void SetUpTestSuite() {
    authority = std::make_unique<test::TempDir>();
    const std::string command = std::string(TWIG_TLS_AUTHORITY_SCRIPT) + " " + authority->path().string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  static void TearDownTestSuite() { authority.reset(); }

  static std::string file(const std::string& name) { return (*authority / name).string(); }
  static test::TestHttpServer::Tls certificate(const std::string& name) {
    return {file(name + ".pem"), file(name + ".key")};
  }

  static HttpResponse get(const test::TestHttpServer& server, const std::string& caFile) {
    CurlHttpTransport::Options options;
    options.caFile = caFile;
    CurlHttpTransport transport(options);
    std::promise<HttpResponse> answered;
    transport.send({"GET", server.origin() + "/api/v2.0/ping", {}, {}, std::nullopt},
                   [&](HttpResponse response) { answered.set_value(std::move(response)); });
    auto future = answered.get_future();
    EXPECT_EQ(future.wait_for(20s), std::future_status::ready);
    return future.get();
  }

  static inline std::unique_ptr<test::TempDir> authority;
};

TEST_F(HttpsTest, OnlyACertificateOfATrustedAuthorityForThisHostIsAccepted) {
  test::TestHttpServer server(certificate("server"));

  const auto trusted = get(server, file("ca.pem"));
  EXPECT_EQ(trusted.transportError, 0) << trusted.transportErrorText;
  EXPECT_EQ(trusted.status, 200);
  EXPECT_EQ(trusted.body, "{}");

  // The system's authorities do not know this one: nothing is sent.
  const auto unknown = get(server, "");
  EXPECT_NE(unknown.transportError, 0);
  EXPECT_EQ(unknown.status, 0);
  EXPECT_NE(unknown.transportErrorText.find("certificate"), std::string::npos) << unknown.transportErrorText;
  EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(HttpsTest, ACertificateForAnotherHostIsRefusedEvenFromTheTrustedAuthority) {
  test::TestHttpServer server(certificate("wrong-name"));
  const auto answer = get(server, file("ca.pem"));
  EXPECT_NE(answer.transportError, 0);
  EXPECT_NE(answer.transportErrorText.find("127.0.0.1"), std::string::npos) << answer.transportErrorText;
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(HttpsTest, TheAgentsRequestsFollowAnHttpsServiceHostAndItsAuthority) {
  // The ports first, so that the server (and every thread of it) has ended before they go.
  test::TestPorts ports;
  test::TestHttpServer server(certificate("server"));
  ports.settings.serviceHost = server.hostAndPort();
  ports.settings.serviceTls = true;
  ports.settings.caFile = file("ca.pem");
  bool done = false;
  bool succeeded = false;
  ports.agent().api().requestWithPath(
      "device/ping", std::nullopt, 0,
      [&](const ApiClient::Operation&, const std::optional<Json>&) { done = succeeded = true; },
      [&](const ApiClient::Operation&, const Error&) { done = true; });
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return done; }, 20s));
  EXPECT_TRUE(succeeded);
  ASSERT_EQ(server.requestCount(), 1u);
  EXPECT_EQ(server.requests().front().path, "/api/v2.0/device/ping");
  EXPECT_TRUE(server.requests().front().signatureValid);
}

}  // namespace
}  // namespace twig
