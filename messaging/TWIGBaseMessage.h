#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "messaging/CommandHandler.h"
#include "messaging/PushChannel.h"

namespace twig {

// The base of command handlers: the routing from command names to handlers, and the envelopes of
// everything the device publishes.
class TWIGBaseMessage : public CommandHandler {
 public:
  using Factory = std::function<std::shared_ptr<CommandHandler>()>;

  // A new handler for the command name; null for any name outside the routing table.
  static std::shared_ptr<CommandHandler> messageStatus(const std::string& commandName);
  // The names the routing table knows.
  static std::vector<std::string> routedCommandNames();
  // Tests only: makes a routed name use another handler; false for a name outside the table.
  static bool replaceRouteForTesting(const std::string& commandName, Factory factory);

  void receiveMessagePayload(const Json&) override {}

  // Through the push channel at QoS 1, with the backlog when it cannot go now.
  static void publish(const Json& message, PushChannel::PublishCompletion completion);

  // {"<name>": {"commandUuid", "status": "Acknowledged", "thisDeviceId", "updateTime", ...fields}}
  static Json responseMessage(const std::string& name, const std::string& commandUuid,
                              const Json& fields = Json::object());
  // {"<name>": {"commandUuid" (new), "thisDeviceId", "createTime", ...fields}}
  static Json eventMessage(const std::string& name, const Json& fields = Json::object());
  // The command's fields: the value under the payload's first key (an empty object if there is none).
  static Json commandBody(const Json& payload);
  // The command's "commandUuid" as text ("" when absent).
  static std::string commandUuid(const Json& payload);
};

}  // namespace twig
