#pragma once

namespace twig {

// What the application frame and the binding screen ask of the push channel.
class PushChannel {
 public:
  virtual ~PushChannel() = default;
  // Creates the session and starts it; once per launch.
  virtual void initializeMQTT() = 0;
  // Asked at launch and on return to the foreground; pulling is not started by it.
  virtual void startPullMessage() = 0;
  virtual void connectToHost() = 0;
  virtual bool isConnect() const = 0;
  // Announces the device online to its parent.
  virtual void setMqttEventOnline() = 0;
};

}  // namespace twig
