#pragma once

#include <functional>
#include <optional>

#include "api/TWIGError.h"
#include "platform/Json.h"

namespace twig {

// The push channel as the rest of the agent uses it: the session's life and the publication of
// messages to the parent.
class PushChannel {
 public:
  using PublishCompletion = std::function<void(const std::optional<TWIGError>& error)>;

  virtual ~PushChannel() = default;
  // Creates the session and starts it; once per launch.
  virtual void initializeMQTT() = 0;
  // Asked at launch and on return to the foreground; pulling is not started by it.
  virtual void startPullMessage() = 0;
  virtual void connectToHost() = 0;
  virtual bool isConnect() const = 0;
  // Announces the device online to its parent.
  virtual void setMqttEventOnline() = 0;
  // Publishes now at `qos` (retained unless QoS 0) or fails with "无网" / "mqtt没有连接上".
  virtual void publishWithParameter(const Json& message, int qos, PublishCompletion completion) = 0;
  // QoS 1; a message that cannot go now waits in the backlog for the next connection.
  virtual void publishWithParameter(const Json& message, PublishCompletion completion) = 0;
};

}  // namespace twig
