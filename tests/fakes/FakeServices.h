#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "messaging/PushChannel.h"
#include "messaging/RecentCommands.h"

namespace twig::test {

// The push channel and app-control manager as the application frame sees them, recording each call
// ("push initializeMQTT", "control start", ...) into one log shared by both.
class FakePushChannel final : public PushChannel {
 public:
  explicit FakePushChannel(std::vector<std::string>& log) : log_(log) {}
  void initializeMQTT(const ChannelContext& initial) override {
    log_.push_back("push initializeMQTT");
    std::lock_guard lock(mutex_);
    context_ = initial;
  }
  bool setParentDN(const std::string& parentDN) override {
    std::lock_guard lock(mutex_);
    context_.parentDN = parentDN;
    return false;
  }
  ChannelContext channelContext() const override {
    std::lock_guard lock(mutex_);
    return context_;
  }
  void startPullMessage() override { log_.push_back("push startPullMessage"); }
  void connectToHost() override { log_.push_back("push connectToHost"); }
  bool isConnect() const override { return connected; }
  void setMqttEventOnline() override { log_.push_back("push setMqttEventOnline"); }
  // Records {"qos", "message"}; fails with `failWith` when set.
  void publishWithParameter(const Json& message, int qos, PublishCompletion completion) override {
    {
      std::lock_guard lock(mutex_);
      published_.push_back(Json{{"qos", qos}, {"message", message}});
    }
    if (completion) completion(failWith);
  }
  void publishWithParameter(const Json& message, PublishCompletion completion) override {
    publishWithParameter(message, 1, std::move(completion));
  }
  bool admitCommand(const std::string&, const std::string& commandUuid, const std::string&) override {
    return recent_.firstSighting(commandUuid, std::chrono::steady_clock::now());
  }
  std::vector<Json> published() const {
    std::lock_guard lock(mutex_);
    return published_;
  }
  bool connected = false;
  std::optional<Error> failWith;

 private:
  std::vector<std::string>& log_;
  RecentCommands recent_;
  mutable std::mutex mutex_;
  std::vector<Json> published_;
  ChannelContext context_;
};

}  // namespace twig::test
