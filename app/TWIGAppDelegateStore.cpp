#include "app/TWIGAppDelegateStore.h"

#include <algorithm>
#include <any>

#include "api/TWIGRequest.h"
#include "api/TWIGUtils.h"
#include "app/AgentServices.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "frame/TWIGBaseViewController.h"
#include "identity/TWIGChildUser.h"
#include "messaging/PushChannel.h"
#include "platform/Analytics.h"
#include "platform/ApplicationShell.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/Reachability.h"

namespace twig {

void TWIGAppDelegateStore::umeng() {
  auto& analytics = port::analytics();
  analytics.start(kAnalyticsKey, 1, "");
  analytics.setAppVersion(port::device().shortVersion());
  analytics.setCrashReportEnabled(false);
}

void TWIGAppDelegateStore::registration() {
  auto& shell = port::applicationShell();
  shell.registerForRemoteNotifications(7);
  shell.setStatusBarStyle(1);
  shell.setBadgeNumber(0);
  shell.cancelAllLocalNotifications();
}

void TWIGAppDelegateStore::netWorkReachability() {
  TWIGRequest::sharedRequest().setNetworkReachabilityStatus([](bool reachable) {
    auto& user = TWIGChildUser::sharedChildUser();
    if (reachable) {
      user.dismisNetWork();
      return;
    }
    user.showNetWorkWithClick([] {
      auto& host = port::screenHost();
      // A second tap while the help screen is up opens nothing more.
      const auto top = host.topScreen();
      if (top && top->storyboardName() == "NotNetWork") return;
      if (auto screen = ScreenRegistry::shared().make("NotNetWork", "NotNetWorkViewControllerID")) {
        host.present(screen, true);
      }
    });
  });
}

Json TWIGAppDelegateStore::configurationBody() {
  auto& device = port::device();
  Json body = Json::object();
  body["platform"] = "2";
  body["uuid"] = device.vendorIdentifier();
  body["advertisingIdentifier"] = device.advertisingIdentifier();
  body["clientVersion"] = "v" + device.shortVersion();
  body["bundleId"] = device.bundleIdentifier();
  return body;
}

void TWIGAppDelegateStore::configuration(Completion completion) {
  TWIGRequest::sharedRequest().requestWithPath(
      "config", configurationBody(), HttpMethod::Post,
      [this, completion](const TWIGRequest::Operation& operation, const std::optional<Json>& answer) {
        if (operation->statusCode != 200) {
          retryLater(completion);
          return;
        }
        nextDelay_ = kFirstRetryDelay;
        long long approval = 0;
        if (answer && answer->is_object()) {
          if (auto it = answer->find("approvalStatus"); it != answer->end())
            approval = TWIGUtils::integerValue(*it);
        }
        if (approval == 1) {
          completion(TWIGError{"error", 200, "approved"});
        } else {
          completion(std::nullopt);
        }
      },
      [this, completion](const TWIGRequest::Operation&, const TWIGError&) {
        if (TWIGRequest::sharedRequest().isConnectionAvailable()) {
          retryLater(completion);
        } else {
          retryWhenReachable(completion);
        }
      });
}

void TWIGAppDelegateStore::retryLater(Completion completion) {
  const auto delay = nextDelay_;
  nextDelay_ = std::min(nextDelay_ * 2, std::chrono::seconds(kLongestRetryDelay));
  port::mainLoop().postAfter(delay, [this, completion] { configuration(completion); });
}

void TWIGAppDelegateStore::retryWhenReachable(Completion completion) {
  waitingForNetwork_ = port::notifications().addObserver(
      TWIGRequest::kReachabilityNotification, [this, completion](const Notification& notification) {
        const auto* status = std::any_cast<int>(&notification.object);
        if (status == nullptr || *status == static_cast<int>(ReachabilityStatus::NotReachable)) return;
        // The network may come back more than once before the main loop turns: one request only.
        if (retryPosted_) return;
        retryPosted_ = true;
        // In the next turn: this observer is removed before the request goes out again.
        port::mainLoop().post([this, completion] {
          retryPosted_ = false;
          waitingForNetwork_.reset();
          configuration(completion);
        });
      });
}

std::string TWIGAppDelegateStore::normaliseToken(std::string_view describedToken) {
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

void TWIGAppDelegateStore::saveApnsToken(const std::string& describedToken) {
  const std::string token = normaliseToken(describedToken);
  TWIGChildUser::sharedChildUser().updateChildInfo(
      [&](TWIGChildInfo& info) { info.child_apnsToken = token; });
}

void TWIGAppDelegateStore::disconnecMQTT() {
  auto* push = AgentServices::current().pushChannel;
  if (push == nullptr || push->isConnect()) return;
  push->startPullMessage();
  push->connectToHost();
}

}  // namespace twig
