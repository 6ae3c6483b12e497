// Survival: a parent sends commands in a steady stream while the agent is killed (SIGKILL) and
// started again, and the broker node is stopped and started again. Rounds: TWIG_CHAOS_ROUNDS
// (5 by default; scripts/test --chaos runs 50).
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <set>
#include <thread>

#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/MqttPeer.h"
#include "tests/messaging/AgentProcessFixture.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::MqttPeer;
using test::ReceivedMessage;

int rounds() {
  const char* text = std::getenv("TWIG_CHAOS_ROUNDS");
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : 5;
}

class ChaosTest : public test::AgentProcessFixture {
 protected:
  // Messages named `name` that are not retained copies; each is one announcement or answer.
  std::size_t live(const std::string& name) const { return liveUuids(peer->received(), name).size(); }
  // Waits until more than `before` live messages named `name` have arrived.
  bool waitForMore(const std::string& name, std::size_t before, std::chrono::seconds timeout) {
    return eventually([&] { return live(name) > before; }, timeout);
  }
  void startAgent() { agent = std::make_unique<test::ChildProcess>(TWIG_CHILD_PATH, agentArguments()); }

  std::unique_ptr<MqttPeer> peer;
  std::unique_ptr<test::ChildProcess> agent;
};

TEST_F(ChaosTest, EveryCommandIsAnsweredThroughKillsAndBrokerRestarts) {
  serveBinding();
  {
    auto arguments = agentArguments();
    arguments.insert(arguments.end(), {"--enroll-code", "112233"});
    test::ChildProcess binding(TWIG_CHILD_PATH, arguments);
    ASSERT_TRUE(binding.waitForLine("screen pop Login/LoginID", 30s));
    binding.stop(SIGTERM);
  }
  // The parent keeps its session across the broker's restarts, as the parent's app does.
  peer = parent(/*cleanSession=*/false);
  startAgent();
  ASSERT_TRUE(waitForMore("EventOnline", 0, 30s));
  // The agent's own identity (its data folder's), not this test process's.
  std::string agentDevice;
  for (const auto& message : peer->received()) {
    if (message.payload.contains("EventOnline"))
      agentDevice = message.payload["EventOnline"].value("thisDeviceId", "");
  }
  ASSERT_FALSE(agentDevice.empty());

  std::atomic<bool> sending{true};
  std::atomic<int> sent{0};
  std::thread sender([&] {
    while (sending) {
      const int n = sent.load();
      peer->publish("/ts/20/2/" + agentDevice,
                    Json{{"RequestChildInfo", {{"commandUuid", "chaos-" + std::to_string(n)}}}}, 1, false);
      sent = n + 1;
      std::this_thread::sleep_for(50ms);
    }
  });

  std::vector<std::string> timeline;
  std::vector<int> killedAt;  // the number of commands sent when each kill came
  const int total = rounds();
  int kills = 0;
  int starts = 1;
  int restarts = 0;
  for (int round = 0; round < total; ++round) {
    const std::size_t offline = live("EventOffline");
    const std::size_t online = live("EventOnline");
    killedAt.push_back(sent.load());
    timeline.push_back("kill at command " + std::to_string(killedAt.back()));
    agent->stop(SIGKILL);
    ++kills;
    ASSERT_TRUE(waitForMore("EventOffline", offline, 30s)) << "no EventOffline after kill " << kills;
    startAgent();
    ++starts;
    ASSERT_TRUE(waitForMore("EventOnline", online, 30s)) << "no EventOnline after start " << starts;
    std::this_thread::sleep_for(500ms);  // commands flow for a moment between the blows

    const std::size_t beforeRestart = live("EventOnline");
    timeline.push_back("broker stop at command " + std::to_string(sent.load()));
    broker.stop();
    timeline.push_back("broker start at command " + std::to_string(sent.load()));
    broker.start();
    timeline.push_back("broker started at command " + std::to_string(sent.load()));
    ++restarts;
    ASSERT_TRUE(waitForMore("EventOnline", beforeRestart, 90s))
        << "no EventOnline after broker restart " << restarts;
    std::this_thread::sleep_for(500ms);
  }
  sending = false;
  sender.join();

  // Every command sent gets its answer, whatever it went through. The answers still due arrive
  // within seconds; twenty seconds without a new one means no more are coming.
  std::size_t answered = 0;
  auto lastGrowth = std::chrono::steady_clock::now();
  while (answered < static_cast<std::size_t>(sent.load()) &&
         std::chrono::steady_clock::now() - lastGrowth < 20s) {
    std::this_thread::sleep_for(100ms);
    const std::size_t now = liveUuids(peer->received(), "ResponseChildInfo").size();
    if (now > answered) lastGrowth = std::chrono::steady_clock::now();
    answered = now;
  }
  const bool complete = answered >= static_cast<std::size_t>(sent.load());
  std::map<std::string, int> answers;
  for (const auto& message : peer->received()) {
    if (!message.retained && message.payload.contains("ResponseChildInfo"))
      ++answers[message.payload["ResponseChildInfo"].value("commandUuid", "")];
  }
  int missing = 0;
  int repeated = 0;
  for (int n = 0; n < sent; ++n) {
    const int count = answers["chaos-" + std::to_string(n)];
    if (count == 0) {
      ++missing;
      timeline.push_back("unanswered: chaos-" + std::to_string(n));
    }
    if (count > 1) repeated += count - 1;
  }
  std::printf(
      "chaos: %d rounds, %d commands, %d kills, %d starts, %d broker restarts; %d unanswered, %d answers "
      "repeated, %zu EventOffline, %zu EventOnline\n",
      total, sent.load(), kills, starts, restarts, missing, repeated, live("EventOffline"),
      live("EventOnline"));
  for (const auto& line : timeline) std::printf("  %s\n", line.c_str());
  EXPECT_TRUE(complete);
  EXPECT_EQ(missing, 0);
  // QoS 1 may repeat what was in flight when a process died or the broker went: at most the
  // commands of about a second around each blow, never the whole stream again.
  EXPECT_LE(repeated, (kills + restarts) * 20);
  EXPECT_GE(live("EventOffline"), static_cast<std::size_t>(kills));
  EXPECT_GE(live("EventOnline"), static_cast<std::size_t>(starts + restarts));
}

}  // namespace
}  // namespace twig
