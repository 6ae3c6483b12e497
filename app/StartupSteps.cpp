#include "app/StartupSteps.h"

#include <algorithm>
#include <any>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "app/Agent.h"
#include "frame/RouteNames.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "frame/StackScreenHost.h"
#include "frame/ViewModel.h"
#include "identity/ChildIdentity.h"
#include "messaging/PushChannel.h"
#include "platform/Analytics.h"
#include "platform/ApplicationShell.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/Reachability.h"

namespace twig {

StartupSteps::StartupSteps(Agent& agent) : agent_(agent) {}

void StartupSteps::umeng() {
  auto& analytics = agent_.ports().analytics;
  analytics.start(kAnalyticsKey, 1, "");
  analytics.setAppVersion(agent_.ports().device.shortVersion());
  analytics.setCrashReportEnabled(false);
}

void StartupSteps::registration() {
  auto& shell = agent_.ports().applicationShell;
  shell.registerForRemoteNotifications(7);
  shell.setStatusBarStyle(1);
  shell.setBadgeNumber(0);
  shell.cancelAllLocalNotifications();
}

void StartupSteps::netWorkReachability() {
  reachability_ = agent_.api().onReachabilityChange([this](bool reachable) {
    auto& host = agent_.host();
    if (reachable) {
      host.hideNoNetworkBar();
      return;
    }
    host.endEditing();
    host.showNoNetworkBar([this] {
      auto& shown = agent_.host();
      // A second tap while the help screen is up opens nothing more.
      const auto top = shown.topScreen();
      if (top && top->routeName() == routes::kNoNetwork.name) return;
      if (auto screen = agent_.screens().make(routes::kNoNetwork)) {
        shown.present(screen, true);
      }
    });
  });
}

Json StartupSteps::configurationBody(DeviceFacts& device) {
  Json body = Json::object();
  body["platform"] = "2";
  body["uuid"] = device.vendorIdentifier();
  body["advertisingIdentifier"] = device.advertisingIdentifier();
  body["clientVersion"] = "v" + device.shortVersion();
  body["bundleId"] = device.bundleIdentifier();
  return body;
}

void StartupSteps::configuration(Completion completion) {
  agent_.api().requestWithPath(
      "config", configurationBody(agent_.ports().device), HttpMethod::Post,
      [this, completion](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        if (operation->statusCode != 200) {
          retryLater(completion);
          return;
        }
        nextDelay_ = kFirstRetryDelay;
        long long approval = 0;
        if (answer && answer->is_object()) {
          if (auto it = answer->find("approvalStatus"); it != answer->end())
            approval = Utils::integerValue(*it);
        }
        if (approval == 1) {
          completion(Error{"error", 200, "approved"});
        } else {
          completion(std::nullopt);
        }
      },
      [this, completion](const ApiClient::Operation&, const Error&) {
        if (agent_.api().isConnectionAvailable()) {
          retryLater(completion);
        } else {
          retryWhenReachable(completion);
        }
      });
}

void StartupSteps::retryLater(Completion completion) {
  const auto delay = nextDelay_;
  nextDelay_ = std::min(nextDelay_ * 2, std::chrono::seconds(kLongestRetryDelay));
  agent_.ports().mainLoop.postAfter(delay, [this, completion] { configuration(completion); });
}

void StartupSteps::retryWhenReachable(Completion completion) {
  waitingForNetwork_ = agent_.api().onReachabilityChange([this, completion](bool reachable) {
    if (!reachable) return;
    // The network may come back more than once before the main loop turns: one request only.
    if (retryPosted_) return;
    retryPosted_ = true;
    // In the next turn: this observer is removed before the request goes out again.
    agent_.ports().mainLoop.post([this, completion] {
      retryPosted_ = false;
      waitingForNetwork_.reset();
      configuration(completion);
    });
  });
}

std::string StartupSteps::normaliseToken(std::string_view describedToken) {
  while (!describedToken.empty() && (describedToken.front() == '<' || describedToken.front() == '>')) {
    describedToken.remove_prefix(1);
  }
  while (!describedToken.empty() && (describedToken.back() == '<' || describedToken.back() == '>')) {
    describedToken.remove_suffix(1);
  }
  std::string token;
  for (char c : describedToken) {
    if (c != ' ') token.push_back(c);
  }
  return token;
}

void StartupSteps::saveApnsToken(const std::string& describedToken) {
  const std::string token = normaliseToken(describedToken);
  agent_.child().updateChildInfo([&](ChildInfo& info) { info.pushToken = token; });
}

void StartupSteps::reconnectPushChannel() {
  auto& push = agent_.channel();
  if (push.isConnect()) return;
  push.startPullMessage();
  push.connectToHost();
}

}  // namespace twig
