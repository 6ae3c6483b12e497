#pragma once

#include <functional>
#include <optional>
#include <string>

#include "api/Error.h"
#include "messaging/ChannelContext.h"
#include "platform/Json.h"

namespace twig {

// The push channel as the rest of the agent uses it: the session's life and the publication of
// messages to the parent.
class PushChannel {
 public:
  using PublishCompletion = std::function<void(const std::optional<Error>& error)>;

  virtual ~PushChannel() = default;
  // Creates the session for the device and parent in `context` and starts it; once per launch.
  virtual void initializeMQTT(const ChannelContext& context) = 0;
  // The parent publications go to from now on (a binding names a new one). True when the channel
  // announces the device online to it by itself: a new parent makes a live session connect again,
  // so that the connection carries the will ("EventOffline") addressed to that parent.
  virtual bool setParentDN(const std::string& parentDN) = 0;
  // What the channel was initialised with (the parent as last set).
  virtual ChannelContext channelContext() const = 0;
  // Asked at launch and on return to the foreground; pulling is not started by it.
  virtual void startPullMessage() = 0;
  virtual void connectToHost() = 0;
  virtual bool isConnect() const = 0;
  // Announces the device online to its parent.
  virtual void setMqttEventOnline() = 0;
  // Publishes now at `qos` (retained unless QoS 0) or fails with Error::kPushNetworkDown /
  // kPushNotConnected.
  virtual void publishWithParameter(const Json& message, int qos, PublishCompletion completion) = 0;
  // QoS 1; a message that cannot go now waits in the backlog for the next connection.
  virtual void publishWithParameter(const Json& message, PublishCompletion completion) = 0;
  // A command named `name` arrived with `payload`. False when a command with this "commandUuid"
  // arrived lately already (a redelivery): it is not run again. Empty identifiers are always new.
  // A channel may record the command here, before it runs, to run it again after a crash.
  virtual bool admitCommand(const std::string& name, const std::string& commandUuid,
                            const std::string& payload) = 0;
};

}  // namespace twig
