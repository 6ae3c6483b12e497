#pragma once

#include <functional>
#include <string>

#include "messaging/PushChannel.h"
#include "platform/Json.h"

namespace twig {

class Clock;
class MainLoop;

// What a command handler may touch, handed to it when it is made, so that a handler needs no
// process-wide object: who this device and its parent are, how to answer the parent, and the main
// loop (where the app-control tables live).
struct CommandContext {
  std::string deviceId;
  std::string parentDN;
  // QoS 1 through the push channel, with the backlog when it cannot go now.
  std::function<void(const Json& message, PushChannel::PublishCompletion completion)> publish;
  MainLoop* mainLoop = nullptr;
  // The time of the answers' "updateTime" and the events' "createTime".
  const Clock* clock = nullptr;
  // Told of every command before it runs; false for one that was delivered before (see
  // PushChannel::admitCommand). Unset: every command runs.
  std::function<bool(const std::string& name, const std::string& commandUuid, const std::string& payload)>
      admit;
};

}  // namespace twig
