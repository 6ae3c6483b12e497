// A message as the broker delivers it, all the way through the agent's own command table: decoded,
// admitted, routed to the real handler of its name, run and answered. The ports are the
// test fakes (no network: the service host refuses), and the main loop runs dry after each input so
// work a handler queued there runs too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/Agent.h"
#include "messaging/CommandRouter.h"
#include "messaging/PullCycle.h"
#include "messaging/PushChannel.h"
#include "tests/fakes/TestPorts.h"

namespace {

// Answers go nowhere; every command is new, so repeated identifiers in the corpus still reach the
// handlers.
class DiscardingPushChannel final : public twig::PushChannel {
 public:
  void initializeMQTT(const twig::ChannelContext& initial) override { context_ = initial; }
  bool setParentDN(const std::string& parentDN) override {
    context_.parentDN = parentDN;
    return false;
  }
  twig::ChannelContext channelContext() const override { return context_; }
  void startPullMessage() override {}
  void connectToHost() override {}
  bool isConnect() const override { return true; }
  void setMqttEventOnline() override {}
  void publishWithParameter(const twig::Json& message, int, PublishCompletion completion) override {
    (void)message.dump();
    if (completion) completion(std::nullopt);
  }
  void publishWithParameter(const twig::Json& message, PublishCompletion completion) override {
    publishWithParameter(message, 1, std::move(completion));
  }
  bool admitCommand(const std::string&, const std::string&, const std::string&) override { return true; }

 private:
  twig::ChannelContext context_;
};

struct Road {
  Road() {
    push.initializeMQTT(ports.agent().channelContext());
    context = twig::PullCycle::commandContext(push, ports.time.loop(), ports.time.clock());
  }
  twig::test::TestPorts ports;
  DiscardingPushChannel push;
  twig::CommandContext context;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Road* road = new Road;  // lives for the process: handlers may still hold its ports
  road->ports.agent().commands().dispatch(std::string(reinterpret_cast<const char*>(data), size),
                                          road->context);
  road->ports.time.settle();
  return 0;
}
