#include "tests/fakes/ServiceProcess.h"

#include <chrono>

namespace twig::test {

ServiceProcess::ServiceProcess(const std::string& program, std::uint16_t mqttPort) {
  process_ = std::make_unique<ChildProcess>(
      program, std::vector<std::string>{"--port", "0", "--db", (dir_ / "service.sqlite").string(),
                                        "--mqtt-port", std::to_string(mqttPort)});
  // The first line names the port it took: "twig-service: listening on 127.0.0.1:PORT, ...".
  const auto line = process_->nextLine(std::chrono::seconds(30));
  const std::string marker = "listening on 127.0.0.1:";
  if (!line || line->find(marker) == std::string::npos) return;
  port_ = static_cast<std::uint16_t>(std::stoi(line->substr(line->find(marker) + marker.size())));
}

}  // namespace twig::test
