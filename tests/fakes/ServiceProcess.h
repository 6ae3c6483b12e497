#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/TempDir.h"

namespace twig::test {

// twig-service started for one test on a free port, its state in a fresh folder.
class ServiceProcess {
 public:
  // `program` is the twig-service binary; `mqttPort` the broker it speaks to for the parents.
  ServiceProcess(const std::string& program, std::uint16_t mqttPort);
  bool started() const { return port_ != 0; }
  std::uint16_t port() const { return port_; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  const TempDir& dir() const { return dir_; }
  ChildProcess& process() { return *process_; }

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> process_;
  std::uint16_t port_ = 0;
};

}  // namespace twig::test
