#pragma once

#include <optional>

#include "app/Agent.h"
#include "control/ControlCommand.h"
#include "platform/Ports.h"
#include "platform/fake/FakePorts.h"
#include "tests/fakes/FakeScreenHost.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TempDir.h"

namespace twig::test {

// The folder and the manual time of one test, made before the ports that use them.
struct TestGround {
  TempDir dir;
  ManualTime time;
};

// A complete set of ports for one test: fakes for everything that talks to the machine, real
// folders in a temp dir, manual time; and the agent made from them, as the programs make it, on
// first use (so that a test points it at its own service first).
class TestPorts : public TestGround, public FakePorts {
 public:
  TestPorts();
  ~TestPorts();

  FakeScreenHost screenHost;

  std::filesystem::path picturesFolder() const { return dir / "Pictures"; }
  // Points the API client at a test server (before its first use).
  void useServiceHost(const std::string& hostAndPort) { settings.serviceHost = hostAndPort; }

  // The agent of this test, made from these ports and the fake screen host at the first call.
  Agent& agent();
  // The agent made with another screen host (the window's), at the first call of either.
  Agent& agent(StackScreenHost& host);
  // Ends the agent (its threads and connections) before the test's own servers go.
  void endAgent() { agent_.reset(); }
  Agent::Options agentOptions;
  // What the agent hands a command on the control tables, with `rebuild` as its table rebuild.
  ControlTools controlTools(std::function<void()> rebuild = nullptr);

 private:
  std::optional<Agent> agent_;
};

// A payload as the command it decodes to (tests hand handlers payloads they wrote).
Command command(const Json& payload);

}  // namespace twig::test
