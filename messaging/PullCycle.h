#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "api/Error.h"
#include "messaging/CommandContext.h"
#include "platform/Json.h"

namespace twig {

class ApiClient;
class Clock;
class CommandRouter;
class MainLoop;
class PushChannel;

// Beside the live push channel: the protocol-version check of every received message, and the
// pull-and-acknowledge cycle over "push/messages" (offered; nothing in the agent starts it).
class PullCycle {
 public:
  using Completion = std::function<void(const std::optional<Error>& error)>;
  static constexpr long long kUnboundError = 30204;
  static constexpr const char* kPullPath = "push/messages";

  // The device, its parent and the reactions come from the channel's context.
  PullCycle(PushChannel& channel, ApiClient& api, MainLoop& loop, const Clock& clock,
            const CommandRouter& commands);

  // What a command received through `channel` is handled with: the channel's device and parent,
  // its QoS 1 publication and the main loop.
  static CommandContext commandContext(PushChannel& channel, MainLoop& loop, const Clock& clock);

  // Whether a received message may be dispatched: topics beginning "mqtt-subscription" always,
  // others when their version level is 20. Any other version is answered with "EventUpgrade".
  bool upgradeIsVersionWithTopic(const std::string& topic, const std::string& message);
  // Publishes "EventUpgrade" (QoS 0, no backlog) naming who must upgrade, and raises the upgrade
  // prompt when this device is the older one.
  void eventUpgrade(bool senderIsOlder);
  // The version level of a topic: the number at the start of its second level, 0 when none.
  static long long versionOfTopic(const std::string& topic);

  // Starts a pull cycle unless one runs (then `complete` is dropped). An unbound device completes at
  // once without asking.
  void startPullMessageWithComplete(Completion complete);
  // One exchange and its continuation.
  void pushMessagesWithID(const Json& messageId, const std::string& status);
  bool isPushMessage() const { return isPushMessage_.load(); }

 private:
  void finish(const std::optional<Error>& error);

  PushChannel& channel_;
  ApiClient& api_;
  MainLoop& loop_;
  const Clock& clock_;
  const CommandRouter& commands_;
  std::atomic<bool> isPushMessage_{false};
  Completion result_;
};

}  // namespace twig
