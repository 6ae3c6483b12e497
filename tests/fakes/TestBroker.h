#pragma once

#include <cstdint>
#include <string>

namespace twig::test {

// The private RabbitMQ node that the CTest fixture started (scripts/broker), found through
// TWIG_TEST_BROKER_DIR. Tests that stop, pause or restart it hold the "broker" resource lock.
class TestBroker {
 public:
  TestBroker();
  bool available() const { return mqttPort_ != 0; }
  std::uint16_t mqttPort() const { return mqttPort_; }
  // MQTT over TLS, with a certificate for 127.0.0.1 of the node's own authority (a PEM file).
  std::uint16_t mqttTlsPort() const { return mqttTlsPort_; }
  const std::string& tlsAuthority() const { return tlsAuthority_; }
  const std::string& node() const { return node_; }

  // Stops the node (its data stays) and starts it again on the same ports.
  void stop();
  void start();
  // Freezes and thaws the node's process: connections stay open but nothing is answered.
  void pause();
  void resume();
  // `rabbitmqctl -n NODE <arguments>` output.
  std::string control(const std::string& arguments) const;

 private:
  void signalNode(int signal);
  std::string dir_;
  std::string node_;
  std::string epmdPort_;
  std::uint16_t mqttPort_ = 0;
  std::uint16_t mqttTlsPort_ = 0;
  std::string tlsAuthority_;
};

}  // namespace twig::test
