#include "tests/fakes/TestPorts.h"

namespace twig::test {

TestPorts::TestPorts() : FakePorts(time.loop(), time.clock(), dir.path()) {
  screenHost.setAnalytics(&analytics);  // as the agent names it
  settings.installManifestUrl = "http://127.0.0.1:9/install/children/manifest.plist";
  settings.launcherManifestUrl = "http://127.0.0.1:9/install/launcher/manifest.plist";
}

TestPorts::~TestPorts() = default;

Agent& TestPorts::agent() {
  return agent(screenHost);
}

Agent& TestPorts::agent(StackScreenHost& host) {
  if (!agent_) agent_.emplace(all(), host, agentOptions);
  return *agent_;
}

ControlTools TestPorts::controlTools(std::function<void()> rebuild) {
  return ControlTools{agent().inventory(), agent().cache(), agent().tables(), std::move(rebuild)};
}

Command command(const Json& payload) {
  auto decoded = Command::fromPayload(payload);
  return decoded ? *decoded : Command{};
}

}  // namespace twig::test
