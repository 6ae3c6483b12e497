#include "tests/fakes/TestBroker.h"

#include <signal.h>
#include <sys/types.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace twig::test {

TestBroker::TestBroker() {
  const char* dir = std::getenv("TWIG_TEST_BROKER_DIR");
  if (dir == nullptr) return;
  dir_ = dir;
  std::ifstream env(dir_ + "/broker.env");
  for (std::string line; std::getline(env, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "MQTT_PORT") mqttPort_ = static_cast<std::uint16_t>(std::stoi(value));
    if (key == "MQTT_TLS_PORT") mqttTlsPort_ = static_cast<std::uint16_t>(std::stoi(value));
    if (key == "TLS_CA") tlsAuthority_ = value;
    if (key == "NODE") node_ = value;
    if (key == "EPMD_PORT") epmdPort_ = value;
  }
}

void TestBroker::stop() {
  if (std::system((std::string(TWIG_BROKER_SCRIPT) + " stop " + dir_ + " > /dev/null").c_str()) != 0) {
    throw std::runtime_error("stopping the test broker failed");
  }
}

void TestBroker::start() {
  if (std::system((std::string(TWIG_BROKER_SCRIPT) + " restart " + dir_ + " > /dev/null").c_str()) != 0) {
    throw std::runtime_error("restarting the test broker failed");
  }
}

void TestBroker::signalNode(int signal) {
  std::ifstream pidFile(dir_ + "/node.pid");
  pid_t pid = 0;
  pidFile >> pid;
  if (pid <= 0 || ::kill(pid, signal) != 0) throw std::runtime_error("cannot signal the test broker");
}

void TestBroker::pause() {
  signalNode(SIGSTOP);
}
void TestBroker::resume() {
  signalNode(SIGCONT);
}

std::string TestBroker::control(const std::string& arguments) const {
  // The plugin's own commands are found through the node's list of enabled plugins, and the node
  // itself through its private port mapper.
  const std::string command = "ERL_EPMD_PORT=" + epmdPort_ + " RABBITMQ_ENABLED_PLUGINS_FILE=" + dir_ +
                              "/enabled_plugins rabbitmqctl -q -n " + node_ + " " + arguments + " 2>&1";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
    ::pclose(pipe);
  }
  return output;
}

}  // namespace twig::test
