#pragma once

#include <string>
#include <vector>

#include "control/AppControl.h"
#include "messaging/PushChannel.h"

namespace twig::test {

// The push channel and app-control manager as the application frame sees them, recording each call
// ("push initializeMQTT", "control ts_start", ...) into one log shared by both.
class FakePushChannel final : public PushChannel {
 public:
  explicit FakePushChannel(std::vector<std::string>& log) : log_(log) {}
  void initializeMQTT() override { log_.push_back("push initializeMQTT"); }
  void startPullMessage() override { log_.push_back("push startPullMessage"); }
  void connectToHost() override { log_.push_back("push connectToHost"); }
  bool isConnect() const override { return connected; }
  void setMqttEventOnline() override { log_.push_back("push setMqttEventOnline"); }
  bool connected = false;

 private:
  std::vector<std::string>& log_;
};

class FakeAppControl final : public AppControl {
 public:
  explicit FakeAppControl(std::vector<std::string>& log) : log_(log) {}
  void ts_start() override { log_.push_back("control ts_start"); }
  void ts_openApplicationWithTessel() override { log_.push_back("control ts_openApplicationWithTessel"); }

 private:
  std::vector<std::string>& log_;
};

}  // namespace twig::test
