#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "app/Agent.h"
#include "frame/StackScreenHost.h"
#include "platform/PlainMainLoop.h"
#include "platform/Uuid.h"
#include "platform/fake/FakePorts.h"

namespace twig::bench {

// A screen host that shows nothing: benchmarks drive the agent without screens.
class QuietScreenHost final : public StackScreenHost {
 protected:
  void render(LineKind, const std::string&) override {}
};

// The plain main loop of a benchmark, made before the ports that use it.
struct BenchLoop {
  explicit BenchLoop(Clock& clock) : loop(clock) {}
  PlainMainLoop loop;
};

// The ports a benchmark runs the core on: the given clock and process table, a plain main loop,
// files in a scratch folder, and quiet stand-ins for the device; and the agent made from them, as
// the programs make it. A fresh device identity each time, so that sessions and retained messages
// of earlier runs stay out of the way.
class BenchPorts : public BenchLoop, public FakePorts {
 public:
  BenchPorts(Clock& clock, const std::filesystem::path& folder, std::uint16_t mqttPort,
             ProcessTable* processTable = nullptr)
      : BenchLoop(clock), FakePorts(loop, clock, folder, processTable, 1) {
    auto values = device.values();
    values.vendorIdentifier = Uuid::randomString();
    device.set(values);
    userDefaults.setBool("kChildAppsCache", true);
    settings.mqttPort = mqttPort;
  }

  Agent& agent() {
    if (!agent_) agent_.emplace(all(), host);
    return *agent_;
  }
  void endAgent() { agent_.reset(); }

  QuietScreenHost host;

 private:
  std::optional<Agent> agent_;
};

}  // namespace twig::bench
