// MQTT over TLS against the tests' RabbitMQ node, whose TLS listener shows a certificate of its own
// authority (scripts/broker).
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>

#include "messaging/MQTTClient.h"
#include "platform/Uuid.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/ScopedVariable.h"
#include "tests/messaging/BrokerFixture.h"

namespace twig {
namespace {

using test::MqttPeer;

class TlsBrokerTest : public test::BrokerFixture {
 protected:
  void SetUp() override {
    BrokerFixture::SetUp();
    if (!IsSkipped() && broker.mqttTlsPort() == 0) GTEST_SKIP() << "the test broker has no TLS listener";
  }

  // A bare TLS session, on the TLS listener unless `port` names another; `caFile` empty trusts the
  // system's authorities.
  std::unique_ptr<MQTTClient> tlsClient(const std::string& caFile, std::uint16_t port = 0) {
    auto client = std::make_unique<MQTTClient>("tls-" + Uuid::randomString().substr(0, 8), true);
    client->settings().port = port != 0 ? port : broker.mqttTlsPort();
    client->settings().username = "qomri";
    client->settings().password = "qomri";
    client->settings().tls = true;
    client->settings().caFile = caFile;
    client->connectToHost("127.0.0.1", [](int) {});
    return client;
  }
};

TEST_F(TlsBrokerTest, TheChannelWorksOverTlsWithTheDeploymentsAuthority) {
  ports.settings.mqttTls = true;
  ports.settings.mqttPort = broker.mqttTlsPort();
  ports.settings.caFile = broker.tlsAuthority();
  auto peer = parent();
  std::atomic<int> bills{0};
  auto observer = ports.agent().remoteEvents().bills.connect([&] { ++bills; });
  channel().initializeMQTT(channelContext());

  ASSERT_TRUE(peer->waitFor(MqttPeer::named("EventOnline", parentTopic)));
  peer->publish("/ts/20/2/" + deviceId, Json{{"EventNotification", {{"type", "bills"}}}}, 1, false);
  ASSERT_TRUE(eventually([&] { return bills.load() == 1; }));

  // The broker saw the device's connection arrive encrypted.
  bool listed = false;
  std::istringstream connections(broker.control("list_mqtt_connections client_id ssl"));
  for (std::string line; std::getline(connections, line);) {
    if (line.find(channel().clientID()) == std::string::npos) continue;
    listed = true;
    EXPECT_NE(line.find("true"), std::string::npos) << line;
  }
  EXPECT_TRUE(listed);
}

TEST_F(TlsBrokerTest, ABrokerCertificateOfAnAuthorityTheSystemDoesNotKnowIsRefused) {
  auto trusted = tlsClient(broker.tlsAuthority());
  auto unknown = tlsClient("");
  ASSERT_TRUE(eventually([&] { return !unknown->connectionProblem().empty(); }));
  EXPECT_NE(unknown->connectionProblem().find("certificate verify failed"), std::string::npos)
      << unknown->connectionProblem();
  ASSERT_TRUE(eventually([&] { return trusted->connected(); }));
  EXPECT_TRUE(trusted->connectionProblem().empty()) << trusted->connectionProblem();
  EXPECT_FALSE(unknown->connected());
}

TEST_F(TlsBrokerTest, WithTheSystemsAuthoritiesASessionComesBackAfterTheBrokerRestarts) {
  // The system's store as OpenSSL finds it, pointed at the node's authority for this test.
  test::ScopedVariable store("SSL_CERT_FILE", broker.tlsAuthority());
  auto client = tlsClient("");
  ASSERT_TRUE(eventually([&] { return client->connected(); })) << client->connectionProblem();
  broker.stop();
  ASSERT_TRUE(eventually([&] { return !client->connected(); }));
  broker.start();
  EXPECT_TRUE(eventually([&] { return client->connected(); }, std::chrono::seconds(60)))
      << client->connectionProblem();
}

TEST_F(TlsBrokerTest, AnAuthorityFileThatCannotBeReadMeansNoConnectionRatherThanPlainText) {
  // Even the plain listener, which would take a plain-text session, gets none.
  auto client = tlsClient((ports.dir / "missing.pem").string(), broker.mqttPort());
  ASSERT_TRUE(eventually([&] { return !client->connectionProblem().empty(); }));
  EXPECT_NE(client->connectionProblem().find("TLS cannot be set up"), std::string::npos)
      << client->connectionProblem();
  // A plain session started after it gets through; by then a fallback would have too.
  MQTTClient plain("plain-" + Uuid::randomString().substr(0, 8), true);
  plain.settings().port = broker.mqttPort();
  plain.settings().username = plain.settings().password = "qomri";
  plain.connectToHost("127.0.0.1", [](int) {});
  ASSERT_TRUE(eventually([&] { return plain.connected(); }));
  EXPECT_FALSE(client->connected());
}

}  // namespace
}  // namespace twig
