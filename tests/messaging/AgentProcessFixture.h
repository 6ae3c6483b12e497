#pragma once

#include <string>
#include <vector>

#include "tests/fakes/TestHttpServer.h"
#include "tests/messaging/BrokerFixture.h"

namespace twig::test {

// A broker test that starts `twig-child --headless` as a process of its own, with a loopback
// service that approves it and binds every enrolment to this test's parent.
class AgentProcessFixture : public BrokerFixture {
 protected:
  void serveBinding() {
    service.setHandler([this](const RecordedRequest& request) -> CannedResponse {
      if (request.path == "/api/v2.0/config") return {200, "application/json", R"({"approvalStatus":1})"};
      return {200, "application/json",
              Json{{"parentDN", parentDN}, {"parentDeviceId", "parent-device"}}.dump()};
    });
  }
  // The agent's arguments: this test's broker and service, its data in the test's folder.
  std::vector<std::string> agentArguments() {
    return {"--headless",
            "--service-host",
            service.hostAndPort(),
            "--mqtt-port",
            std::to_string(broker.mqttPort()),
            "--data-dir",
            (ports.dir / "agent").string()};
  }

  TestHttpServer service;
};

}  // namespace twig::test
