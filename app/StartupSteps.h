#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "api/Error.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"

namespace twig {

class Agent;
class DeviceFacts;

// The start-up operations of the application: analytics, notification registration, the
// reachability reaction, the configuration request that decides the first screen, the push token,
// and reconnecting the push channel on return to the foreground. Main loop only.
class StartupSteps {
 public:
  using Completion = std::function<void(const std::optional<Error>& error)>;
  static constexpr const char* kAnalyticsKey = "a7c41e09b3d25f6e8a0c1b94";
  static constexpr auto kFirstRetryDelay = std::chrono::seconds(1);
  static constexpr auto kLongestRetryDelay = std::chrono::seconds(60);

  explicit StartupSteps(Agent& agent);

  void umeng();
  void registration();
  void netWorkReachability();
  // Asks the service for the client configuration. The completion gets an error of domain "error"
  // and code 200 when the answer's "approvalStatus" is 1, and no error for any other value. A refusal
  // or a failure is asked again after 1 s, doubling up to 60 s, until it succeeds; a failure while
  // the network is down is asked again as soon as the network is reported back.
  void configuration(Completion completion);
  // The platform's printed token ("<ab12cd34 ef56...>") stored without brackets and spaces.
  void saveApnsToken(const std::string& describedToken);
  static std::string normaliseToken(std::string_view describedToken);
  // Reconnects the push channel when it is down (despite the name).
  void reconnectPushChannel();

  static Json configurationBody(DeviceFacts& device);

 private:
  void retryLater(Completion completion);
  void retryWhenReachable(Completion completion);

  Agent& agent_;
  ObserverToken reachability_;
  std::chrono::seconds nextDelay_ = kFirstRetryDelay;
  ObserverToken waitingForNetwork_;
  bool retryPosted_ = false;  // a request for the network's return waits for its turn
};

}  // namespace twig
